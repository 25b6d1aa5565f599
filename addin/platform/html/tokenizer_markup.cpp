// The comment, doctype and CDATA section states of the tokenizer.
#include <optional>

#include "addin/platform/html/tokenizer_impl.h"

namespace tervane::html {
namespace {

constexpr ByteSet kBogusCommentSpecial{std::string_view(">\0", 2)};
constexpr ByteSet kCommentSpecial{std::string_view("<-\0", 3)};
constexpr ByteSet kCdataSpecial{std::string_view("]\0", 2)};

bool StartsWithAsciiCaseless(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t k = 0; k < lowerPrefix.size(); ++k) {
    if (ToAsciiLower(static_cast<unsigned char>(text[k])) !=
        static_cast<unsigned char>(lowerPrefix[k])) {
      return false;
    }
  }
  return true;
}

char32_t NotNull(char32_t code) { return code == 0 ? kReplacement : code; }

}  // namespace

void Tokenizer::Impl::BeginComment() {
  token->kind = TokenKind::kComment;
  token->offset = tokenStart;
  token->data.clear();
}

void Tokenizer::Impl::BeginDoctype() {
  token->kind = TokenKind::kDoctype;
  token->offset = tokenStart;
}

bool Tokenizer::Impl::EmitDoctype(bool forceQuirks) {
  if (forceQuirks) token->forceQuirks = true;
  state = State::kData;
  return true;
}

bool Tokenizer::Impl::StepMarkup() {
  std::string& data = token->data;
  const InputChar c = Peek();
  // The comment states that end the comment at the end of the input. The
  // end of file follows, read in the data state.
  const auto emitComment = [this] {
    state = State::kData;
    return true;
  };
  switch (state) {
    case State::kBogusComment:
      CopyPlainText(kBogusCommentSpecial, data);
      if (Peek().code == '>') {
        ++pos;
        return emitComment();
      }
      if (Peek().code == kEndOfInput) return emitComment();
      AppendUtf8(data, NotNull(Peek().code));
      Take(Peek());
      return false;
    case State::kMarkupDeclarationOpen: {
      const std::string_view rest = input.substr(pos);
      if (rest.starts_with("--")) {
        pos += 2;
        BeginComment();
        state = State::kCommentStart;
      } else if (StartsWithAsciiCaseless(rest, "doctype")) {
        pos += 7;
        BeginDoctype();
        state = State::kDoctype;
      } else if (cdataAllowed && rest.starts_with("[CDATA[")) {
        pos += 7;
        state = State::kCdataSection;
      } else {
        BeginComment();
        state = State::kBogusComment;
      }
      return false;
    }
    case State::kCommentStart:
    case State::kCommentStartDash:
      if (c.code == '-') {
        Take(c);
        state = state == State::kCommentStart ? State::kCommentStartDash : State::kCommentEnd;
      } else if (c.code == '>') {
        Take(c);
        return emitComment();
      } else if (c.code == kEndOfInput && state == State::kCommentStartDash) {
        return emitComment();
      } else {
        if (state == State::kCommentStartDash) data.push_back('-');
        state = State::kComment;
      }
      return false;
    case State::kComment:
      CopyPlainText(kCommentSpecial, data);
      if (Peek().code == '<') {
        data.push_back('<');
        ++pos;
        state = State::kCommentLessThanSign;
      } else if (Peek().code == '-') {
        ++pos;
        state = State::kCommentEndDash;
      } else if (Peek().code == kEndOfInput) {
        return emitComment();
      } else {
        AppendUtf8(data, NotNull(Peek().code));
        Take(Peek());
      }
      return false;
    case State::kCommentLessThanSign:
      if (c.code == '!') {
        data.push_back('!');
        Take(c);
        state = State::kCommentLessThanSignBang;
      } else if (c.code == '<') {
        data.push_back('<');
        Take(c);
      } else {
        state = State::kComment;
      }
      return false;
    case State::kCommentLessThanSignBang:
      if (c.code == '-') {
        Take(c);
        state = State::kCommentLessThanSignBangDash;
      } else {
        state = State::kComment;
      }
      return false;
    case State::kCommentLessThanSignBangDash:
      if (c.code == '-') {
        Take(c);
        state = State::kCommentLessThanSignBangDashDash;
      } else {
        state = State::kCommentEndDash;
      }
      return false;
    case State::kCommentLessThanSignBangDashDash:
      // "<!--" nested in a comment: an error, but the comment still ends at
      // the next "-->" (or "--!>").
      state = State::kCommentEnd;
      return false;
    case State::kCommentEndDash:
      if (c.code == '-') {
        Take(c);
        state = State::kCommentEnd;
      } else if (c.code == kEndOfInput) {
        return emitComment();
      } else {
        data.push_back('-');
        state = State::kComment;
      }
      return false;
    case State::kCommentEnd:
      if (c.code == '>') {
        Take(c);
        return emitComment();
      } else if (c.code == '!') {
        Take(c);
        state = State::kCommentEndBang;
      } else if (c.code == '-') {
        Take(c);
        data.push_back('-');
      } else if (c.code == kEndOfInput) {
        return emitComment();
      } else {
        data.append("--");
        state = State::kComment;
      }
      return false;
    case State::kCommentEndBang:
      if (c.code == '-') {
        Take(c);
        data.append("--!");
        state = State::kCommentEndDash;
      } else if (c.code == '>') {
        Take(c);
        return emitComment();
      } else if (c.code == kEndOfInput) {
        return emitComment();
      } else {
        data.append("--!");
        state = State::kComment;
      }
      return false;

    case State::kDoctype:
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      }
      state = State::kBeforeDoctypeName;
      return false;
    case State::kBeforeDoctypeName:
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(true);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else {
        token->hasName = true;
        AppendUtf8(token->name, NotNull(ToAsciiLower(c.code)));
        Take(c);
        state = State::kDoctypeName;
      }
      return false;
    case State::kDoctypeName:
      if (IsHtmlSpace(c.code)) {
        Take(c);
        state = State::kAfterDoctypeName;
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(false);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else {
        AppendUtf8(token->name, NotNull(ToAsciiLower(c.code)));
        Take(c);
      }
      return false;
    case State::kAfterDoctypeName:
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(false);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else if (StartsWithAsciiCaseless(input.substr(pos), "public")) {
        pos += 6;
        state = State::kAfterDoctypePublicKeyword;
      } else if (StartsWithAsciiCaseless(input.substr(pos), "system")) {
        pos += 6;
        state = State::kAfterDoctypeSystemKeyword;
      } else {
        token->forceQuirks = true;
        state = State::kBogusDoctype;
      }
      return false;
    case State::kAfterDoctypePublicKeyword:
    case State::kBeforeDoctypePublicIdentifier:
    case State::kAfterDoctypeSystemKeyword:
    case State::kBeforeDoctypeSystemIdentifier: {
      const bool isPublic = state == State::kAfterDoctypePublicKeyword ||
                            state == State::kBeforeDoctypePublicIdentifier;
      const bool afterKeyword =
          state == State::kAfterDoctypePublicKeyword || state == State::kAfterDoctypeSystemKeyword;
      std::optional<std::string>& identifier = isPublic ? token->publicId : token->systemId;
      if (IsHtmlSpace(c.code)) {
        Take(c);
        if (afterKeyword) {
          state = isPublic ? State::kBeforeDoctypePublicIdentifier
                           : State::kBeforeDoctypeSystemIdentifier;
        }
      } else if (c.code == '"' || c.code == '\'') {
        Take(c);
        identifier.emplace();
        const bool doubleQuoted = c.code == '"';
        if (isPublic) {
          state = doubleQuoted ? State::kDoctypePublicIdentifierDoubleQuoted
                               : State::kDoctypePublicIdentifierSingleQuoted;
        } else {
          state = doubleQuoted ? State::kDoctypeSystemIdentifierDoubleQuoted
                               : State::kDoctypeSystemIdentifierSingleQuoted;
        }
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(true);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else {
        token->forceQuirks = true;
        state = State::kBogusDoctype;
      }
      return false;
    }
    case State::kDoctypePublicIdentifierDoubleQuoted:
    case State::kDoctypePublicIdentifierSingleQuoted:
    case State::kDoctypeSystemIdentifierDoubleQuoted:
    case State::kDoctypeSystemIdentifierSingleQuoted: {
      const bool isPublic = state == State::kDoctypePublicIdentifierDoubleQuoted ||
                            state == State::kDoctypePublicIdentifierSingleQuoted;
      const char32_t quote = state == State::kDoctypePublicIdentifierDoubleQuoted ||
                                     state == State::kDoctypeSystemIdentifierDoubleQuoted
                                 ? U'"'
                                 : U'\'';
      if (c.code == quote) {
        Take(c);
        state =
            isPublic ? State::kAfterDoctypePublicIdentifier : State::kAfterDoctypeSystemIdentifier;
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(true);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else {
        AppendUtf8(*(isPublic ? token->publicId : token->systemId), NotNull(c.code));
        Take(c);
      }
      return false;
    }
    case State::kAfterDoctypePublicIdentifier:
    case State::kBetweenDoctypePublicAndSystemIdentifiers:
      if (IsHtmlSpace(c.code)) {
        Take(c);
        state = State::kBetweenDoctypePublicAndSystemIdentifiers;
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(false);
      } else if (c.code == '"' || c.code == '\'') {
        Take(c);
        token->systemId.emplace();
        state = c.code == '"' ? State::kDoctypeSystemIdentifierDoubleQuoted
                              : State::kDoctypeSystemIdentifierSingleQuoted;
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else {
        token->forceQuirks = true;
        state = State::kBogusDoctype;
      }
      return false;
    case State::kAfterDoctypeSystemIdentifier:
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == '>') {
        Take(c);
        return EmitDoctype(false);
      } else if (c.code == kEndOfInput) {
        return EmitDoctype(true);
      } else {
        state = State::kBogusDoctype;  // without forcing quirks mode
      }
      return false;
    case State::kBogusDoctype:
      if (c.code == '>') {
        Take(c);
        return EmitDoctype(false);
      }
      if (c.code == kEndOfInput) return EmitDoctype(false);
      Take(c);
      return false;

    case State::kCdataSection:
      AppendPlainText(kCdataSpecial, tokenStart);
      if (Peek().code == ']') {
        ++pos;
        state = State::kCdataSectionBracket;
      } else if (Peek().code == kEndOfInput) {
        return TextAtEnd();
      } else {
        AppendText(NotNull(Peek().code), tokenStart);
        Take(Peek());
      }
      return false;
    case State::kCdataSectionBracket:
      if (c.code == ']') {
        Take(c);
        state = State::kCdataSectionEnd;
      } else {
        AppendText(']', tokenStart);
        state = State::kCdataSection;
      }
      return false;
    case State::kCdataSectionEnd:
      if (c.code == ']') {
        Take(c);
        AppendText(']', tokenStart);
      } else if (c.code == '>') {
        Take(c);
        state = State::kData;
        // The section's text is a token of its own.
        return !token->data.empty();
      } else {
        Text(tokenStart).append("]]");
        state = State::kCdataSection;
      }
      return false;
    default:
      return false;  // a state of tokenizer.cpp
  }
}

}  // namespace tervane::html
