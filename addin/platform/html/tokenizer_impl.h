// The tokenizer's state machine, shared by the files that implement its
// states: tokenizer.cpp (text, tags and attributes) and tokenizer_markup.cpp
// (comments, doctypes, CDATA sections).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "addin/platform/html/input_text.h"
#include "addin/platform/html/token.h"
#include "addin/platform/html/tokenizer.h"

namespace tervane::html {

// The WHATWG standard's tokenizer states. The RCDATA, RAWTEXT and script
// data "less-than sign", "end tag open" and "end tag name" states are not
// here: a look ahead for the appropriate end tag decides at the "<" what
// they would, so that a run of text can end before the tag begins.
// Character references are decoded at the "&" (character_reference.h).
enum class State : unsigned char {
  kData,
  kRcdata,
  kRawtext,
  kScriptData,
  kPlaintext,
  kTagOpen,
  kEndTagOpen,
  kTagName,
  kScriptDataEscapeStart,
  kScriptDataEscapeStartDash,
  kScriptDataEscaped,
  kScriptDataEscapedDash,
  kScriptDataEscapedDashDash,
  kScriptDataEscapedLessThanSign,
  kScriptDataDoubleEscapeStart,
  kScriptDataDoubleEscaped,
  kScriptDataDoubleEscapedDash,
  kScriptDataDoubleEscapedDashDash,
  kScriptDataDoubleEscapedLessThanSign,
  kScriptDataDoubleEscapeEnd,
  kBeforeAttributeName,
  kAttributeName,
  kAfterAttributeName,
  kBeforeAttributeValue,
  kAttributeValueDoubleQuoted,
  kAttributeValueSingleQuoted,
  kAttributeValueUnquoted,
  kAfterAttributeValueQuoted,
  kSelfClosingStartTag,
  // From here on: tokenizer_markup.cpp.
  kBogusComment,
  kMarkupDeclarationOpen,
  kCommentStart,
  kCommentStartDash,
  kComment,
  kCommentLessThanSign,
  kCommentLessThanSignBang,
  kCommentLessThanSignBangDash,
  kCommentLessThanSignBangDashDash,
  kCommentEndDash,
  kCommentEnd,
  kCommentEndBang,
  kDoctype,
  kBeforeDoctypeName,
  kDoctypeName,
  kAfterDoctypeName,
  kAfterDoctypePublicKeyword,
  kBeforeDoctypePublicIdentifier,
  kDoctypePublicIdentifierDoubleQuoted,
  kDoctypePublicIdentifierSingleQuoted,
  kAfterDoctypePublicIdentifier,
  kBetweenDoctypePublicAndSystemIdentifiers,
  kAfterDoctypeSystemKeyword,
  kBeforeDoctypeSystemIdentifier,
  kDoctypeSystemIdentifierDoubleQuoted,
  kDoctypeSystemIdentifierSingleQuoted,
  kAfterDoctypeSystemIdentifier,
  kBogusDoctype,
  kCdataSection,
  kCdataSectionBracket,
  kCdataSectionEnd,
};

struct Tokenizer::Impl {
  explicit Impl(std::string_view text)
      : input(text), pos(text.starts_with("\xEF\xBB\xBF") ? 3 : 0) {}

  /// Runs the state machine until `token` holds a token to hand out.
  void Run();
  /// One step of the state machine; true when a token is ready. The text,
  /// tag and attribute states are here, the others in StepMarkup.
  bool StepTextOrTag();
  /// One step of a comment, doctype or CDATA state.
  bool StepMarkup();

  InputChar Peek() const { return ReadChar(input, pos); }
  void Take(InputChar c) { pos += c.length; }

  /// The run of characters being read, begun at `at` if it is empty.
  std::string& Text(std::size_t at);
  void AppendText(char32_t code, std::size_t at) { AppendUtf8(Text(at), code); }
  /// Copies the plain text from `pos` (see PlainTextEnd) into the run.
  void AppendPlainText(const ByteSet& special, std::size_t at);
  /// Copies the plain text from `pos` into `out`.
  void CopyPlainText(const ByteSet& special, std::string& out);
  /// Decodes the character reference at the "&" at `pos` into `out`.
  void ReadCharacterReference(std::string& out, bool inAttribute);
  /// The end of the input in a text state: the run if there is one, else
  /// the end of file.
  bool TextAtEnd();
  /// Ends the token as an end of file, dropping what was read of it.
  bool EmitEndOfFile();

  void BeginTag(TokenKind kind);
  bool EmitTag();
  /// The length of "</name" at `at` when it begins an end tag for the last
  /// start tag (followed by whitespace, "/" or ">"); 0 otherwise.
  std::size_t AppropriateEndTagAt(std::size_t at) const;
  /// Begins the end tag AppropriateEndTagAt found at `pos`.
  void BeginAppropriateEndTag(std::size_t length);
  /// At a "<" in script data escaped states.
  bool ScriptDataEscapedLessThan();
  void StartAttribute();
  Attribute& CurrentAttribute() { return token->attributes[attributeCount - 1]; }
  /// Drops the current attribute if an earlier one has its name.
  void FinishAttributeName();
  /// Leaves exactly the attributes the token has in its vector, keeping the
  /// others' storage for later tags.
  void TrimAttributes();

  void BeginComment();
  void BeginDoctype();
  bool EmitDoctype(bool forceQuirks);

  std::string_view input;
  std::size_t pos = 0;
  State state = State::kData;
  bool cdataAllowed = false;
  bool ended = false;
  Token* token = nullptr;
  /// Offset of the "<" that began the token being read.
  std::size_t tokenStart = 0;
  std::string lastStartTag;
  /// The script data double escape states' temporary buffer.
  std::string tempBuffer;

  /// The token's attributes in use: the first attributeCount of its vector,
  /// the last of which is the one being read.
  std::size_t attributeCount = 0;
  bool currentAttributeDropped = false;
  std::vector<Attribute> spareAttributes;
  /// Names of the tag's attributes once there are many, so that finding
  /// duplicates stays linear.
  std::unordered_set<std::string> attributeNames;
  bool attributeNamesFilled = false;
};

}  // namespace tervane::html
