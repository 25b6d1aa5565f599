#include "addin/platform/html/tokenizer.h"

#include <utility>

#include "addin/platform/html/character_reference.h"
#include "addin/platform/html/tokenizer_impl.h"

namespace tervane::html {
namespace {

constexpr ByteSet kDataSpecial{"<&"};
constexpr ByteSet kRcdataSpecial{std::string_view("<&\0", 3)};
constexpr ByteSet kRawtextSpecial{std::string_view("<\0", 2)};
constexpr ByteSet kPlaintextSpecial{std::string_view("\0", 1)};
constexpr ByteSet kScriptEscapedSpecial{std::string_view("-<\0", 3)};
constexpr ByteSet kDoubleQuotedSpecial{std::string_view("\"&\0", 3)};
constexpr ByteSet kSingleQuotedSpecial{std::string_view("'&\0", 3)};
constexpr ByteSet kUnquotedSpecial{std::string_view("\t\n\f &>\0", 8)};

// Up to a few attributes, duplicates are found by comparing names.
constexpr std::size_t kFewAttributes = 16;

bool IsTagEnd(char byte) {
  return byte == '\t' || byte == '\n' || byte == '\f' || byte == ' ' || byte == '\r' ||
         byte == '/' || byte == '>';
}

// Appends the tag or attribute name character `code` to `name`.
void AppendNameChar(std::string& name, char32_t code) {
  AppendUtf8(name, code == 0 ? kReplacement : ToAsciiLower(code));
}

}  // namespace

Tokenizer::Tokenizer(std::string_view input) : impl_(std::make_unique<Impl>(input)) {}

Tokenizer::~Tokenizer() = default;

void Tokenizer::Next(Token& token) {
  Impl& impl = *impl_;
  token.kind = TokenKind::kEndOfFile;
  token.offset = impl.input.size();
  token.name.clear();
  token.selfClosing = false;
  token.data.clear();
  token.hasName = false;
  token.forceQuirks = false;
  token.publicId.reset();
  token.systemId.reset();
  impl.token = &token;
  impl.attributeCount = 0;
  impl.currentAttributeDropped = false;
  if (!impl.ended) impl.Run();
  impl.TrimAttributes();
  impl.token = nullptr;
}

void Tokenizer::SwitchTo(TextState state) {
  switch (state) {
    case TextState::kData:
      impl_->state = State::kData;
      return;
    case TextState::kRcdata:
      impl_->state = State::kRcdata;
      return;
    case TextState::kRawtext:
      impl_->state = State::kRawtext;
      return;
    case TextState::kScriptData:
      impl_->state = State::kScriptData;
      return;
    case TextState::kPlaintext:
      impl_->state = State::kPlaintext;
      return;
  }
}

void Tokenizer::SetCdataAllowed(bool allowed) { impl_->cdataAllowed = allowed; }

void Tokenizer::Impl::Run() {
  while (!StepTextOrTag()) {
  }
}

std::string& Tokenizer::Impl::Text(std::size_t at) {
  if (token->data.empty()) {
    token->kind = TokenKind::kCharacters;
    token->offset = at;
  }
  return token->data;
}

void Tokenizer::Impl::AppendPlainText(const ByteSet& special, std::size_t at) {
  const std::size_t end = PlainTextEnd(input, pos, special);
  if (end == pos) return;
  Text(at).append(input.substr(pos, end - pos));
  pos = end;
}

void Tokenizer::Impl::CopyPlainText(const ByteSet& special, std::string& out) {
  const std::size_t end = PlainTextEnd(input, pos, special);
  out.append(input.substr(pos, end - pos));
  pos = end;
}

void Tokenizer::Impl::ReadCharacterReference(std::string& out, bool inAttribute) {
  const std::size_t length = DecodeCharacterReference(input.substr(pos + 1), inAttribute, out);
  if (length == 0) out.push_back('&');
  pos += 1 + length;
}

bool Tokenizer::Impl::TextAtEnd() {
  if (!token->data.empty()) return true;
  return EmitEndOfFile();
}

bool Tokenizer::Impl::EmitEndOfFile() {
  token->kind = TokenKind::kEndOfFile;
  token->offset = input.size();
  token->name.clear();
  token->selfClosing = false;
  token->data.clear();
  attributeCount = 0;
  currentAttributeDropped = false;
  ended = true;
  return true;
}

void Tokenizer::Impl::BeginTag(TokenKind kind) {
  token->kind = kind;
  token->offset = tokenStart;
  attributeCount = 0;
  currentAttributeDropped = false;
  if (attributeNamesFilled) {
    attributeNames.clear();
    attributeNamesFilled = false;
  }
}

bool Tokenizer::Impl::EmitTag() {
  state = State::kData;
  if (token->kind == TokenKind::kStartTag) lastStartTag.assign(token->name);
  return true;
}

std::size_t Tokenizer::Impl::AppropriateEndTagAt(std::size_t at) const {
  const std::size_t length = 2 + lastStartTag.size();
  if (lastStartTag.empty() || input.size() - at <= length) return 0;
  if (input[at] != '<' || input[at + 1] != '/') return 0;
  for (std::size_t k = 0; k < lastStartTag.size(); ++k) {
    const auto c = static_cast<unsigned char>(input[at + 2 + k]);
    // The end tag name states take only ASCII letters.
    if (!IsAsciiAlpha(c) || ToAsciiLower(c) != static_cast<unsigned char>(lastStartTag[k])) {
      return 0;
    }
  }
  return IsTagEnd(input[at + length]) ? length : 0;
}

void Tokenizer::Impl::BeginAppropriateEndTag(std::size_t length) {
  tokenStart = pos;
  BeginTag(TokenKind::kEndTag);
  token->name.assign(lastStartTag);
  pos += length;
  state = State::kTagName;
}

bool Tokenizer::Impl::ScriptDataEscapedLessThan() {
  if (const std::size_t length = AppropriateEndTagAt(pos)) {
    if (!token->data.empty()) return true;
    BeginAppropriateEndTag(length);
    return false;
  }
  AppendText('<', pos);
  ++pos;
  state = State::kScriptDataEscapedLessThanSign;
  return false;
}

void Tokenizer::Impl::StartAttribute() {
  std::vector<Attribute>& attributes = token->attributes;
  if (currentAttributeDropped) {
    currentAttributeDropped = false;
  } else {
    if (attributeCount == attributes.size()) {
      if (spareAttributes.empty()) {
        attributes.emplace_back();
      } else {
        attributes.push_back(std::move(spareAttributes.back()));
        spareAttributes.pop_back();
      }
    }
    ++attributeCount;
  }
  CurrentAttribute().name.clear();
  CurrentAttribute().value.clear();
}

void Tokenizer::Impl::FinishAttributeName() {
  const std::string& name = CurrentAttribute().name;
  const std::size_t earlier = attributeCount - 1;
  if (earlier < kFewAttributes) {
    for (std::size_t k = 0; k < earlier; ++k) {
      if (token->attributes[k].name == name) {
        currentAttributeDropped = true;
        return;
      }
    }
    return;
  }
  if (!attributeNamesFilled) {
    for (std::size_t k = 0; k < earlier; ++k) attributeNames.insert(token->attributes[k].name);
    attributeNamesFilled = true;
  }
  if (!attributeNames.insert(name).second) currentAttributeDropped = true;
}

void Tokenizer::Impl::TrimAttributes() {
  std::vector<Attribute>& attributes = token->attributes;
  std::size_t keep = 0;
  if (token->kind == TokenKind::kStartTag) {
    keep = attributeCount - (currentAttributeDropped ? 1 : 0);
  }
  while (attributes.size() > keep) {
    spareAttributes.push_back(std::move(attributes.back()));
    attributes.pop_back();
  }
}

bool Tokenizer::Impl::StepTextOrTag() {
  switch (state) {
    case State::kData: {
      AppendPlainText(kDataSpecial, pos);
      const InputChar c = Peek();
      if (c.code == '&') {
        ReadCharacterReference(Text(pos), false);
      } else if (c.code == '<') {
        const char next = pos + 1 < input.size() ? input[pos + 1] : '\0';
        if (next == '!' || next == '/' || next == '?' || IsAsciiAlpha(next)) {
          // A tag, comment or doctype begins: the text before it is a token.
          if (!token->data.empty()) return true;
          tokenStart = pos;
          ++pos;
          state = State::kTagOpen;
        } else {
          AppendText('<', pos);
          ++pos;
        }
      } else if (c.code == kEndOfInput) {
        return TextAtEnd();
      } else {
        AppendText(c.code, pos);  // U+0000 stays
        Take(c);
      }
      return false;
    }
    case State::kRcdata:
    case State::kRawtext:
    case State::kScriptData: {
      AppendPlainText(state == State::kRcdata ? kRcdataSpecial : kRawtextSpecial, pos);
      const InputChar c = Peek();
      if (c.code == '&' && state == State::kRcdata) {
        ReadCharacterReference(Text(pos), false);
      } else if (c.code == '<') {
        if (const std::size_t length = AppropriateEndTagAt(pos)) {
          if (!token->data.empty()) return true;
          BeginAppropriateEndTag(length);
        } else if (state == State::kScriptData && pos + 1 < input.size() && input[pos + 1] == '!') {
          Text(pos).append("<!");
          pos += 2;
          state = State::kScriptDataEscapeStart;
        } else {
          AppendText('<', pos);
          ++pos;
        }
      } else if (c.code == kEndOfInput) {
        return TextAtEnd();
      } else {
        AppendText(c.code == 0 ? kReplacement : c.code, pos);
        Take(c);
      }
      return false;
    }
    case State::kPlaintext: {
      AppendPlainText(kPlaintextSpecial, pos);
      const InputChar c = Peek();
      if (c.code == kEndOfInput) return TextAtEnd();
      AppendText(c.code == 0 ? kReplacement : c.code, pos);
      Take(c);
      return false;
    }
    case State::kTagOpen: {
      const InputChar c = Peek();
      if (c.code == '!') {
        Take(c);
        state = State::kMarkupDeclarationOpen;
      } else if (c.code == '/') {
        Take(c);
        state = State::kEndTagOpen;
      } else if (IsAsciiAlpha(c.code)) {
        BeginTag(TokenKind::kStartTag);
        state = State::kTagName;
      } else if (c.code == '?') {
        BeginComment();
        state = State::kBogusComment;
      } else {
        AppendText('<', tokenStart);
        state = State::kData;
      }
      return false;
    }
    case State::kEndTagOpen: {
      const InputChar c = Peek();
      if (IsAsciiAlpha(c.code)) {
        BeginTag(TokenKind::kEndTag);
        state = State::kTagName;
      } else if (c.code == '>') {
        Take(c);
        state = State::kData;
      } else if (c.code == kEndOfInput) {
        Text(tokenStart).append("</");
        state = State::kData;
      } else {
        BeginComment();
        state = State::kBogusComment;
      }
      return false;
    }
    case State::kTagName: {
      for (;;) {
        const InputChar c = Peek();
        if (IsHtmlSpace(c.code)) {
          Take(c);
          state = State::kBeforeAttributeName;
          return false;
        }
        if (c.code == '/') {
          Take(c);
          state = State::kSelfClosingStartTag;
          return false;
        }
        if (c.code == '>') {
          Take(c);
          return EmitTag();
        }
        if (c.code == kEndOfInput) return EmitEndOfFile();
        AppendNameChar(token->name, c.code);
        Take(c);
      }
    }
    case State::kScriptDataEscapeStart:
    case State::kScriptDataEscapeStartDash: {
      const InputChar c = Peek();
      if (c.code == '-') {
        AppendText('-', pos);
        Take(c);
        state = state == State::kScriptDataEscapeStart ? State::kScriptDataEscapeStartDash
                                                       : State::kScriptDataEscapedDashDash;
      } else {
        state = State::kScriptData;
      }
      return false;
    }
    case State::kScriptDataEscaped:
    case State::kScriptDataEscapedDash:
    case State::kScriptDataEscapedDashDash: {
      if (state == State::kScriptDataEscaped) AppendPlainText(kScriptEscapedSpecial, pos);
      const InputChar c = Peek();
      if (c.code == '-') {
        AppendText('-', pos);
        Take(c);
        if (state != State::kScriptDataEscapedDashDash) {
          state = state == State::kScriptDataEscaped ? State::kScriptDataEscapedDash
                                                     : State::kScriptDataEscapedDashDash;
        }
      } else if (c.code == '<') {
        return ScriptDataEscapedLessThan();
      } else if (c.code == '>' && state == State::kScriptDataEscapedDashDash) {
        AppendText('>', pos);
        Take(c);
        state = State::kScriptData;
      } else if (c.code == kEndOfInput) {
        return TextAtEnd();
      } else {
        AppendText(c.code == 0 ? kReplacement : c.code, pos);
        Take(c);
        state = State::kScriptDataEscaped;
      }
      return false;
    }
    case State::kScriptDataEscapedLessThanSign: {
      // The "<" is taken; "</" not followed by the appropriate end tag reads
      // as text in the escaped state.
      if (IsAsciiAlpha(Peek().code)) {
        tempBuffer.clear();
        state = State::kScriptDataDoubleEscapeStart;
      } else {
        state = State::kScriptDataEscaped;
      }
      return false;
    }
    case State::kScriptDataDoubleEscapeStart:
    case State::kScriptDataDoubleEscapeEnd: {
      const bool start = state == State::kScriptDataDoubleEscapeStart;
      const State outside = start ? State::kScriptDataEscaped : State::kScriptDataDoubleEscaped;
      const InputChar c = Peek();
      if (IsHtmlSpace(c.code) || c.code == '/' || c.code == '>') {
        const bool script = tempBuffer == "script";
        state = script == start ? State::kScriptDataDoubleEscaped : State::kScriptDataEscaped;
        AppendText(c.code, pos);
        Take(c);
      } else if (IsAsciiAlpha(c.code)) {
        // Past six letters the buffer can no longer be "script".
        if (tempBuffer.size() <= 6) tempBuffer.push_back(static_cast<char>(ToAsciiLower(c.code)));
        AppendText(c.code, pos);
        Take(c);
      } else {
        state = outside;
      }
      return false;
    }
    case State::kScriptDataDoubleEscaped:
    case State::kScriptDataDoubleEscapedDash:
    case State::kScriptDataDoubleEscapedDashDash: {
      if (state == State::kScriptDataDoubleEscaped) AppendPlainText(kScriptEscapedSpecial, pos);
      const InputChar c = Peek();
      if (c.code == '-') {
        AppendText('-', pos);
        Take(c);
        if (state != State::kScriptDataDoubleEscapedDashDash) {
          state = state == State::kScriptDataDoubleEscaped
                      ? State::kScriptDataDoubleEscapedDash
                      : State::kScriptDataDoubleEscapedDashDash;
        }
      } else if (c.code == '<') {
        AppendText('<', pos);
        Take(c);
        state = State::kScriptDataDoubleEscapedLessThanSign;
      } else if (c.code == '>' && state == State::kScriptDataDoubleEscapedDashDash) {
        AppendText('>', pos);
        Take(c);
        state = State::kScriptData;
      } else if (c.code == kEndOfInput) {
        return TextAtEnd();
      } else {
        AppendText(c.code == 0 ? kReplacement : c.code, pos);
        Take(c);
        state = State::kScriptDataDoubleEscaped;
      }
      return false;
    }
    case State::kScriptDataDoubleEscapedLessThanSign: {
      const InputChar c = Peek();
      if (c.code == '/') {
        tempBuffer.clear();
        AppendText('/', pos);
        Take(c);
        state = State::kScriptDataDoubleEscapeEnd;
      } else {
        state = State::kScriptDataDoubleEscaped;
      }
      return false;
    }
    case State::kBeforeAttributeName: {
      const InputChar c = Peek();
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == '/' || c.code == '>' || c.code == kEndOfInput) {
        state = State::kAfterAttributeName;
      } else {
        StartAttribute();
        if (c.code == '=') {
          CurrentAttribute().name.push_back('=');
          Take(c);
        }
        state = State::kAttributeName;
      }
      return false;
    }
    case State::kAttributeName: {
      for (;;) {
        const InputChar c = Peek();
        if (IsHtmlSpace(c.code) || c.code == '/' || c.code == '>' || c.code == kEndOfInput) {
          FinishAttributeName();
          state = State::kAfterAttributeName;
          return false;
        }
        if (c.code == '=') {
          FinishAttributeName();
          Take(c);
          state = State::kBeforeAttributeValue;
          return false;
        }
        AppendNameChar(CurrentAttribute().name, c.code);
        Take(c);
      }
    }
    case State::kAfterAttributeName: {
      const InputChar c = Peek();
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == '/') {
        Take(c);
        state = State::kSelfClosingStartTag;
      } else if (c.code == '=') {
        Take(c);
        state = State::kBeforeAttributeValue;
      } else if (c.code == '>') {
        Take(c);
        return EmitTag();
      } else if (c.code == kEndOfInput) {
        return EmitEndOfFile();
      } else {
        StartAttribute();
        state = State::kAttributeName;
      }
      return false;
    }
    case State::kBeforeAttributeValue: {
      const InputChar c = Peek();
      if (IsHtmlSpace(c.code)) {
        Take(c);
      } else if (c.code == '"') {
        Take(c);
        state = State::kAttributeValueDoubleQuoted;
      } else if (c.code == '\'') {
        Take(c);
        state = State::kAttributeValueSingleQuoted;
      } else if (c.code == '>') {
        Take(c);
        return EmitTag();
      } else {
        state = State::kAttributeValueUnquoted;
      }
      return false;
    }
    case State::kAttributeValueDoubleQuoted:
    case State::kAttributeValueSingleQuoted: {
      const bool doubleQuoted = state == State::kAttributeValueDoubleQuoted;
      std::string& value = CurrentAttribute().value;
      CopyPlainText(doubleQuoted ? kDoubleQuotedSpecial : kSingleQuotedSpecial, value);
      const InputChar c = Peek();
      if (c.code == (doubleQuoted ? U'"' : U'\'')) {
        Take(c);
        state = State::kAfterAttributeValueQuoted;
      } else if (c.code == '&') {
        ReadCharacterReference(value, true);
      } else if (c.code == kEndOfInput) {
        return EmitEndOfFile();
      } else {
        AppendUtf8(value, c.code == 0 ? kReplacement : c.code);
        Take(c);
      }
      return false;
    }
    case State::kAttributeValueUnquoted: {
      std::string& value = CurrentAttribute().value;
      CopyPlainText(kUnquotedSpecial, value);
      const InputChar c = Peek();
      if (IsHtmlSpace(c.code)) {
        Take(c);
        state = State::kBeforeAttributeName;
      } else if (c.code == '&') {
        ReadCharacterReference(value, true);
      } else if (c.code == '>') {
        Take(c);
        return EmitTag();
      } else if (c.code == kEndOfInput) {
        return EmitEndOfFile();
      } else {
        AppendUtf8(value, c.code == 0 ? kReplacement : c.code);
        Take(c);
      }
      return false;
    }
    case State::kAfterAttributeValueQuoted:
    case State::kSelfClosingStartTag: {
      const InputChar c = Peek();
      const bool afterValue = state == State::kAfterAttributeValueQuoted;
      if (afterValue && IsHtmlSpace(c.code)) {
        Take(c);
        state = State::kBeforeAttributeName;
      } else if (afterValue && c.code == '/') {
        Take(c);
        state = State::kSelfClosingStartTag;
      } else if (c.code == '>') {
        Take(c);
        token->selfClosing = !afterValue;
        return EmitTag();
      } else if (c.code == kEndOfInput) {
        return EmitEndOfFile();
      } else {
        state = State::kBeforeAttributeName;
      }
      return false;
    }
    default:
      return StepMarkup();
  }
}

}  // namespace tervane::html
