// The tree construction stage of the WHATWG HTML parser for a whole
// document: it drives the tokenizer and builds the Document. Internal to the
// library; Parse() is its public face.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "addin/platform/html/active_formatting.h"
#include "addin/platform/html/document.h"
#include "addin/platform/html/open_elements.h"
#include "addin/platform/html/tags.h"
#include "addin/platform/html/tokenizer.h"

namespace tervane::html {

enum class Mode : unsigned char {
  kInitial,
  kBeforeHtml,
  kBeforeHead,
  kInHead,
  kInHeadNoscript,
  kAfterHead,
  kInBody,
  kText,
  kInTable,
  kInTableText,
  kInCaption,
  kInColumnGroup,
  kInTableBody,
  kInRow,
  kInCell,
  kInSelect,
  kInSelectInTable,
  kInTemplate,
  kAfterBody,
  kInFrameset,
  kAfterFrameset,
  kAfterAfterBody,
  kAfterAfterFrameset,
};

class TreeBuilder {
 public:
  TreeBuilder(std::string_view input, const ParseOptions& options, ParseResult& result);
  TreeBuilder(const TreeBuilder&) = delete;
  TreeBuilder& operator=(const TreeBuilder&) = delete;

  /// Reads the whole input and builds the tree.
  void Run();

 private:
  // Where a node goes: appended to `parent`, or inserted before `before`.
  struct Place {
    Node* parent;
    Node* before;
  };

  void Dispatch(Token& token);
  bool BelongsToForeignContent(const Token& token) const;
  void Process(Mode mode, Token& token);

  // Insertion modes (tree_builder_head.cpp, tree_builder_body.cpp,
  // tree_builder_table.cpp, tree_builder_select.cpp, tree_builder_after.cpp).
  void Initial(Token& token);
  void BeforeHtml(Token& token);
  void BeforeHead(Token& token);
  void InHead(Token& token);
  void InHeadNoscript(Token& token);
  void AfterHead(Token& token);
  void InBody(Token& token);
  void InBodyText(Token& token);
  void InBodyStartTag(Token& token);
  void InBodyEndTag(Token& token);
  void InBodyOtherEndTag(Token& token);
  void InBodyEndOfFile(Token& token);
  void Text(Token& token);
  void InTable(Token& token);
  void InTableText(Token& token);
  void InCaption(Token& token);
  void InColumnGroup(Token& token);
  void InTableBody(Token& token);
  void InRow(Token& token);
  void InCell(Token& token);
  void InSelect(Token& token);
  void InSelectInTable(Token& token);
  void InTemplate(Token& token);
  void AfterBody(Token& token);
  void InFrameset(Token& token);
  void AfterFrameset(Token& token);
  void AfterAfterBody(Token& token);
  void AfterAfterFrameset(Token& token);
  void ForeignContent(Token& token);
  void ForeignContentStartTag(Token& token);
  void ForeignContentEndTag(Token& token);

  // Building the tree (tree_builder_insert.cpp).
  Place AppropriatePlace(Node* target = nullptr) const;
  Node* CreateElement(Token& token, Namespace ns);
  /// `before` followed by copies of `attributes`, in the arena.
  std::span<const ElementAttribute> CopyAttributes(const std::vector<Attribute>& attributes,
                                                   std::span<const ElementAttribute> before);
  void InsertAt(Place place, Node* node);
  Node* InsertHtmlElement(Token& token);
  /// `name` is kept, not copied: a literal.
  Node* InsertSyntheticElement(Tag tag, std::string_view name, std::size_t offset);
  Node* InsertForeignElement(Token& token, Namespace ns);
  void InsertText(std::string_view text, std::size_t offset);
  // The leading whitespace of a characters token, inserted as text or handed
  // to the in body rules, then dropped from the token; true when nothing is
  // left of it.
  bool InsertLeadingWhitespace(Token& token);
  bool LeadingWhitespaceInBody(Token& token);
  void InsertComment(Token& token, Node* parent = nullptr);
  void AppendChild(Node* parent, Node* child);
  void Detach(Node* node);
  /// Appends `text` to the data of the text node `node`.
  void AppendText(Node& node, std::string_view text);
  /// Moves every child of `from`, in order, to the end of `to`'s children.
  void MoveChildren(Node* from, Node* to);
  void MergeAttributes(Token& token, Node* element);

  // Shared steps (tree_builder.cpp).
  void GenerateImpliedEndTags(Tag except = Tag::kOther);
  void GenerateAllImpliedEndTagsThoroughly();
  void ClosePElement();
  void ResetInsertionMode();
  void ParseGenericText(Token& token, TextState state);
  void CloseCell();
  void CloseTemplate();
  void StopParsing();
  void PushTemplateMode(Mode mode);

  // The list of active formatting elements (formatting_list.cpp,
  // adoption_agency.cpp).
  void ReconstructFormatting();
  Node* CloneFormatting(const Node* element);
  /// Runs the adoption agency algorithm for an end tag; false when the
  /// caller must treat the token as "any other end tag".
  bool AdoptionAgency(Token& token);

  Tokenizer tokenizer_;
  ParseOptions options_;
  ParseResult& result_;
  Document& document_;
  Mode mode_ = Mode::kInitial;
  Mode originalMode_ = Mode::kInitial;
  OpenElements open_;
  ActiveFormatting formatting_;
  std::vector<Mode> templateModes_;
  Node* head_ = nullptr;
  Node* form_ = nullptr;
  /// The tag and offset of the token being processed.
  Tag tag_ = Tag::kOther;
  std::size_t offset_ = 0;
  bool framesetOk_ = true;
  bool fosterParenting_ = false;
  bool skipNewline_ = false;
  bool stopped_ = false;
  /// Text nodes that were moved to grow, with the bytes of the arena free
  /// right after their data.
  std::unordered_map<const Node*, std::size_t> textRoom_;
  std::string pendingTableText_;
  bool pendingTableTextIsSpace_ = true;
  std::size_t pendingTableTextOffset_ = 0;
};

/// The length of the run of ASCII whitespace (tab, LF, FF, CR, space) that
/// begins `text`.
std::size_t LeadingWhitespace(std::string_view text);

}  // namespace tervane::html
