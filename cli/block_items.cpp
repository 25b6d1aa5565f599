#include "cli/block_items.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <unordered_map>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/dialog/linkaddress/list_pattern.h"
#include "addin/dialog/linkaddress/markup.h"
#include "addin/dialog/linkaddress/thumbnail_rules.h"
#include "addin/platform/codec/lenient_decode.h"
#include "addin/platform/filepage/page_charset.h"
#include "addin/platform/html/tokenizer.h"
#include "cli/options.h"

namespace tervane::cli {
namespace {

constexpr std::string_view kBlanks = " \t\f";

std::string_view Trimmed(std::string_view text, const PageAscii& ascii) {
  const std::size_t w = ascii.Width();
  while (text.size() >= w && ascii.IsAnyOf(text, 0, kBlanks)) text.remove_prefix(w);
  while (text.size() >= w && ascii.IsAnyOf(text, text.size() - w, kBlanks)) text.remove_suffix(w);
  return text;
}

struct Line {
  std::size_t offset = 0;
  std::string_view bytes;  // without its end
  std::string_view end;    // "\r\n", "\n", "\r", or empty for the last
  std::string text;        // UTF-8, trimmed
  std::string indent;      // the bytes before the text
  bool whole = true;       // false for one item of a line that held several
};

std::vector<Line> SplitLines(std::string_view contents, Charset charset) {
  const PageAscii ascii(charset);
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < contents.size() || lines.empty()) {
    Line line;
    line.offset = at;
    std::size_t end = ascii.FindAnyOf(contents, "\r\n", at);
    if (end == std::string_view::npos) end = contents.size();
    line.bytes = contents.substr(at, end - at);
    std::size_t next = end;
    if (end < contents.size()) next += ascii.Width() * (ascii.At(contents, end, "\r\n") ? 2 : 1);
    line.end = contents.substr(end, next - end);
    const std::string_view trimmed = Trimmed(line.bytes, ascii);
    if (!trimmed.empty()) line.indent = line.bytes.substr(0, trimmed.data() - line.bytes.data());
    line.text = DecodeLenient(charset, trimmed);
    lines.push_back(std::move(line));
    at = next;
  }
  return lines;
}

// The start tags of a piece of markup, read as the page's parser reads them.
std::vector<html::Token> StartTags(std::string_view markup) {
  std::vector<html::Token> tags;
  html::Tokenizer tokenizer(markup);
  for (html::Token token;;) {
    tokenizer.Next(token);
    if (token.kind == html::TokenKind::kEndOfFile) break;
    if (token.kind == html::TokenKind::kStartTag) tags.push_back(token);
  }
  return tags;
}

// The addresses a piece of markup links to or shows, in order.
std::vector<std::string> Addresses(std::string_view markup) {
  std::vector<std::string> addresses;
  for (Reference& reference : ReferencesIn(markup))
    addresses.push_back(std::move(reference.address));
  return addresses;
}

// The width and height a line gives its picture, if it gives both.
std::optional<PictureSize> SizeIn(std::string_view markup) {
  for (const html::Token& tag : StartTags(markup)) {
    if (tag.name != "img") continue;
    std::optional<std::uint32_t> width, height;
    for (const html::Attribute& attribute : tag.attributes) {
      std::uint32_t value = 0;
      const char* end = attribute.value.data() + attribute.value.size();
      if (std::from_chars(attribute.value.data(), end, value).ptr != end) continue;
      if (attribute.name == "width") width = value;
      if (attribute.name == "height") height = value;
    }
    if (width && height) return PictureSize{*width, *height};
    return std::nullopt;
  }
  return std::nullopt;
}

// Markup as a line of the page holds it, read back: what the page's
// encoding cannot hold (and in an undeclared page, all but ASCII) written
// as references and percent-encoding.
std::string PageForm(const PageEncoding& encoding, std::string_view markup) {
  return DecodeLenient(encoding.charset, EncodeForPage(encoding, markup));
}

std::string PercentDecoded(std::string_view address);

// The name of the original whose thumbnail `address` (as read back) shows,
// when it lies in the thumbnail folder, whose address is `thumbsAddress`.
std::optional<std::string> ThumbnailOriginal(std::string_view address,
                                             std::string_view thumbsAddress) {
  if (thumbsAddress.empty() || !address.starts_with(thumbsAddress)) return std::nullopt;
  const std::string name = PercentDecoded(address.substr(thumbsAddress.size()));
  const std::optional<std::string_view> original = OriginalOfThumbnail(name);
  if (!original) return std::nullopt;
  return std::string(*original);
}

// `plain` showing the thumbnail that the img element of `text` shows, as
// AddThumbnails writes it; nullopt when that element shows neither a
// thumbnail of `name` in the thumbnail folder nor the original itself (a
// picture too small to shrink), or lacks the thumbnail's size.
std::optional<std::string> WithThumbnailOf(std::string_view text, const std::string& name,
                                           const std::string& plain,
                                           std::string_view thumbsAddress) {
  const std::vector<html::Token> images = [&] {
    std::vector<html::Token> tags = StartTags(text);
    std::erase_if(tags, [](const html::Token& tag) { return tag.name != "img"; });
    return tags;
  }();
  if (images.size() != 1) return std::nullopt;
  std::optional<std::string> src, srcset;
  for (const html::Attribute& attribute : images.front().attributes) {
    if (attribute.name == "src") src = attribute.value;
    if (attribute.name == "srcset") srcset = attribute.value;
  }
  const std::optional<PictureSize> size = SizeIn(text);
  const std::vector<std::string> own = Addresses(plain);
  if (!src || !size) return std::nullopt;
  const std::string shown = AddressAsRead(*src);
  if (ThumbnailOriginal(shown, thumbsAddress) != name &&
      (own.empty() || shown != own.back() || srcset)) {
    return std::nullopt;
  }
  std::optional<std::string> candidate;
  if (srcset) {
    if (!srcset->ends_with(" 2x")) return std::nullopt;
    candidate = srcset->substr(0, srcset->size() - 3);
  }
  return WithThumbnail(plain, *src, candidate, *size);
}

// The alt text of the picture that `markup` shows, if it has one.
std::optional<std::string> AltIn(std::string_view markup) {
  for (const html::Token& tag : StartTags(markup)) {
    if (tag.name != "img") continue;
    for (const html::Attribute& attribute : tag.attributes) {
      if (attribute.name == "alt") return attribute.value;
    }
  }
  return std::nullopt;
}

// Whether `text` is what Tervane writes for the file whose link builder
// markup is `plain`, under `settings`, with `alt` for its alt text: the
// size is the one the line states, so that a picture whose size changed is
// not taken for an edit, and so is the thumbnail shown, which changes with
// it.
bool WrittenByTervane(std::string_view text, const std::string& name, const std::string& plain,
                      const std::optional<std::string>& alt, const BlockSettings& settings,
                      const PageEncoding& encoding, std::string_view thumbsAddress) {
  std::vector<std::optional<std::string_view>> alts{std::nullopt};
  if (settings.alt && alt) {
    alts = {*alt};
    // A picture given a title after its line was written had its file name
    // there, which Tervane wrote too.
    const std::string_view fileName = NameWithoutExtension(name);
    if (*alt != fileName) alts.push_back(fileName);
  }
  std::string shown = plain;
  std::optional<PictureSize> size;
  if (settings.thumbs) {
    const std::optional<std::string> thumbnail = WithThumbnailOf(text, name, plain, thumbsAddress);
    if (!thumbnail) return false;
    shown = *thumbnail;
  } else if (settings.size) {
    size = SizeIn(text);
  }
  return std::any_of(alts.begin(), alts.end(), [&](const std::optional<std::string_view>& a) {
    const std::string item = WithImageAttributes(shown, size, a);
    return text == PageForm(encoding, WithItemAttributes(item, settings.lazy, settings.className));
  });
}

std::string PercentDecoded(std::string_view address) {
  std::string text;
  for (std::size_t i = 0; i < address.size(); ++i) {
    unsigned value = 0;
    if (address[i] == '%' && i + 2 < address.size() + 0 &&
        std::from_chars(address.data() + i + 1, address.data() + i + 3, value, 16).ptr ==
            address.data() + i + 3) {
      text += static_cast<char>(value);
      i += 2;
    } else {
      text += address[i];
    }
  }
  return text;
}

enum class Kind { kBlank, kItem, kText };

struct Classified {
  Kind kind = Kind::kText;
  std::string name;
  bool edited = false;
};

class Classifier {
 public:
  Classifier(const BlockFiles& before, std::string_view folderAddress, const PageEncoding& encoding)
      : before_(before),
        encoding_(encoding),
        folderAddress_(folderAddress),
        pattern_(ListPattern(before.settings.kinds)) {
    if (before.settings.thumbs) {
      // Where the thumbnails of the folder's files lie, as read back.
      thumbsAddress_ = ThumbnailAddress(folderAddress_ + "x", before.settings.thumbs->folder, "x");
      thumbsAddress_.pop_back();
      thumbsAddress_ = AddressAsRead(thumbsAddress_);
    }
    written_.reserve(before.items.size());
    for (const FileItem& item : before.items) written_.push_back(PageForm(encoding, item.markup));
    for (std::size_t i = 0; i < before.items.size(); ++i) {
      byOpening_.emplace(Opening(written_[i], 0), i);
      byWritten_.emplace(written_[i], i);
      names_.insert(before.items[i].name);
      byName_.emplace(before.items[i].name, i);
      const std::vector<std::string> addresses = Addresses(before.items[i].markup);
      if (!addresses.empty()) byAddress_.emplace(addresses.front(), i);
    }
  }

  // The items of a line that holds nothing but two or more items as Tervane
  // writes them, one after the other, as `link` writes them.
  std::vector<std::string> Pieces(const std::string& text) const {
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < text.size();) {
      const auto found = byOpening_.find(Opening(text, at));
      if (found == byOpening_.end()) return {};
      const std::string& markup = written_[found->second];
      if (text.compare(at, markup.size(), markup) != 0) return {};
      pieces.push_back(markup);
      at += markup.size();
    }
    return pieces.size() > 1 ? pieces : std::vector<std::string>();
  }

  // The file a line is the item of, by the first address it holds that
  // belongs to a file; for a file that is no longer listed, whether the
  // line is still what Tervane wrote for it.
  Classified Classify(const Line& line) const {
    if (line.text.empty()) return {Kind::kBlank, {}, false};
    if (const auto found = byWritten_.find(line.text); found != byWritten_.end()) {
      return {Kind::kItem, before_.items[found->second].name, false};
    }
    for (const std::string& written : Addresses(line.text)) {
      const std::string address = AddressAsRead(written);
      std::optional<std::size_t> listed;
      if (const auto found = byAddress_.find(address); found != byAddress_.end()) {
        listed = found->second;
      }
      // A picture shown by its thumbnail, with no link to the original.
      const std::optional<std::string> original = ThumbnailOriginal(address, thumbsAddress_);
      if (original && !listed) {
        if (const auto found = byName_.find(*original); found != byName_.end()) {
          listed = found->second;
        }
      }
      if (listed) {
        const FileItem& item = before_.items[*listed];
        return {Kind::kItem, item.name,
                !WrittenByTervane(line.text, item.name, item.plain, AltIn(item.markup),
                                  before_.settings, encoding_, thumbsAddress_)};
      }
      std::optional<std::string> gone = GoneName(address);
      if (!gone && original && !names_.contains(*original) && pattern_.Matches(*original)) {
        gone = original;
      }
      if (gone) {
        const std::string plain =
            FileMarkup(before_.settings.mode, LinkAddress(folderAddress_, *gone), *gone);
        // A gone picture's title cannot be read again: its line's own alt
        // text counts as written by Tervane.
        return {Kind::kItem, *gone,
                !WrittenByTervane(line.text, *gone, plain, AltIn(line.text), before_.settings,
                                  encoding_, thumbsAddress_)};
      }
    }
    if (std::optional<std::string> gone = GoneShortcut(line.text)) {
      return {Kind::kItem, *gone, false};
    }
    return {Kind::kText, {}, false};
  }

 private:
  // The name of a file of the block's kinds that `address` would link to in
  // the block's folder, when no such file is listed.
  std::optional<std::string> GoneName(const std::string& address) const {
    if (!address.starts_with(folderAddress_)) return std::nullopt;
    const std::string name =
        PercentDecoded(std::string_view(address).substr(folderAddress_.size()));
    if (name.empty() || name.find('/') != std::string::npos || names_.contains(name) ||
        !pattern_.Matches(name) || LinkAddress(folderAddress_, name) != address) {
      return std::nullopt;
    }
    return name;
  }

  // An Internet Shortcut's item links to the shortcut's target, not into
  // the folder: a line is one of a shortcut no longer listed when it is
  // exactly what Tervane writes for a shortcut of its link's text.
  std::optional<std::string> GoneShortcut(const std::string& text) const {
    if (!pattern_.Matches("a.url")) return std::nullopt;
    const std::vector<std::string> addresses = Addresses(text);
    const std::size_t open = text.find('>'), close = text.rfind("</a>");
    if (addresses.size() != 1 || open == std::string::npos || close == std::string::npos ||
        close < open) {
      return std::nullopt;
    }
    std::string name = text.substr(open + 1, close - open - 1) + ".url";
    for (const auto& [reference, c] : {std::pair<std::string_view, std::string_view>{"&lt;", "<"},
                                       {"&gt;", ">"},
                                       {"&quot;", "\""},
                                       {"&amp;", "&"}}) {
      for (std::size_t at = name.find(reference); at != std::string::npos;
           at = name.find(reference, at + 1)) {
        name.replace(at, reference.size(), c);
      }
    }
    if (names_.contains(name) ||
        PageForm(encoding_, ShortcutMarkup(addresses.front(), name)) != text) {
      return std::nullopt;
    }
    return name;
  }

  // A piece of markup up to the end of its first quoted value, which holds
  // the file's address: enough to tell the items apart.
  static std::string_view Opening(std::string_view text, std::size_t at) {
    const std::size_t open = text.find('"', at);
    const std::size_t close = open == text.npos ? open : text.find('"', open + 1);
    return close == text.npos ? text.substr(at) : text.substr(at, close + 1 - at);
  }

  const BlockFiles& before_;
  const PageEncoding& encoding_;
  std::vector<std::string> written_;  // each item as the page holds it
  std::map<std::string_view, std::size_t, std::less<>> byOpening_;
  std::string folderAddress_;
  FilePattern pattern_;
  std::set<std::string, std::less<>> names_;
  std::map<std::string, std::size_t, std::less<>> byAddress_;
  std::map<std::string, std::size_t, std::less<>> byName_;
  // Each item as the page holds it: the first of equal ones counts.
  std::unordered_map<std::string_view, std::size_t> byWritten_;
  std::string thumbsAddress_;  // empty without thumbnails
};

const char* kMoveOrForce =
    ": move it out of the block or into an item's line, or give --force to write the block anew";

}  // namespace

std::vector<Reference> ReferencesIn(std::string_view markup) {
  std::vector<Reference> references;
  html::Tokenizer tokenizer(markup);
  for (html::Token token;;) {
    tokenizer.Next(token);
    if (token.kind == html::TokenKind::kEndOfFile) break;
    if (token.kind != html::TokenKind::kStartTag) continue;
    if (token.name == "script") tokenizer.SwitchTo(html::TextState::kScriptData);
    if (token.name == "style" || token.name == "xmp" || token.name == "noscript") {
      tokenizer.SwitchTo(html::TextState::kRawtext);
    }
    if (token.name == "title" || token.name == "textarea") {
      tokenizer.SwitchTo(html::TextState::kRcdata);
    }
    const std::string_view wanted = token.name == "a" || token.name == "area" ? "href"
                                    : token.name == "img"                     ? "src"
                                                                              : "";
    for (html::Attribute& attribute : token.attributes) {
      if (!wanted.empty() && attribute.name == wanted) {
        references.push_back({token.offset, token.name, std::move(attribute.value)});
      }
    }
  }
  return references;
}

std::size_t LineCounter::LineAt(std::size_t offset) {
  if (offset < counted_) counted_ = 0, line_ = 1;
  const std::size_t w = ascii_.Width();
  while (counted_ < offset && counted_ < text_.size()) {
    const std::size_t end = ascii_.FindAnyOf(text_.substr(0, offset), "\r\n", counted_);
    if (end == text_.npos) {
      counted_ = std::min(offset, text_.size());
      break;
    }
    counted_ = end + w;
    if (ascii_.At(text_, end, "\n") || !ascii_.At(text_, counted_, "\n")) ++line_;
  }
  return line_;
}

std::string LineEndAt(std::string_view text, std::size_t offset, Charset charset) {
  const PageAscii ascii(charset);
  const auto endAt = [&](std::size_t at) {
    return std::string(text.substr(at, ascii.Width() * (ascii.At(text, at, "\r\n") ? 2 : 1)));
  };
  if (const std::size_t after = ascii.FindAnyOf(text, "\r\n", offset); after != text.npos) {
    return endAt(after);
  }
  const std::size_t before = ascii.FindLastOf(text, "\r\n", offset);
  if (before == text.npos) return ascii.Bytes("\n");
  // A CR LF is found at its LF.
  if (ascii.At(text, before, "\n") && before >= ascii.Width() &&
      ascii.At(text, before - ascii.Width(), "\r")) {
    return endAt(before - ascii.Width());
  }
  return endAt(before);
}

BlockMerge MergeBlock(std::string_view contents, const PageEncoding& encoding,
                      std::string_view lineEnd, const BlockFiles& before, const BlockFiles& now,
                      std::string_view folderAddress, bool force) {
  BlockMerge merge;
  const auto writeNew = [&](std::string_view indent, const std::string& markup) {
    merge.written.push_back(markup);
    merge.contents += std::string(indent) + EncodeForPage(encoding, markup);
    merge.contents += lineEnd;
  };
  if (force) {
    merge.contents = lineEnd;
    for (const FileItem& item : now.items) writeNew("", item.markup);
    return merge;
  }

  std::vector<Line> lines = SplitLines(contents, encoding.charset);
  // The rest of the start comment's line and the blanks before the end
  // comment frame the items; without a line end after the start comment,
  // one is written.
  std::string lead(lineEnd), tail;
  if (lines.size() > 1 && lines.front().text.empty()) {
    lead = std::string(lines.front().bytes) + std::string(lines.front().end);
    lines.erase(lines.begin());
  } else if (lines.size() == 1 && lines.front().text.empty()) {
    lines.clear();
  }
  if (!lines.empty() && lines.back().end.empty() && lines.back().text.empty()) {
    tail = lines.back().bytes;
    lines.pop_back();
  }

  const Classifier classifier(before, folderAddress, encoding);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> pieces = classifier.Pieces(lines[i].text);
    if (pieces.empty()) continue;
    std::vector<Line> split(pieces.size(), lines[i]);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      split[k].text = pieces[k];
      split[k].whole = false;
      if (k + 1 < pieces.size()) split[k].end = lineEnd;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), split.begin(), split.end());
    i += pieces.size() - 1;
  }
  std::vector<Classified> kinds;
  std::map<std::string, std::size_t, std::less<>> itemLine;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    kinds.push_back(classifier.Classify(lines[i]));
    if (kinds[i].kind != Kind::kItem) continue;
    const auto [at, inserted] = itemLine.emplace(kinds[i].name, i);
    if (inserted) continue;
    // Two lines for one file: the one as Tervane wrote it is the item, the
    // other the person's own text; two edited ones cannot be told apart.
    std::size_t& first = at->second;
    if (kinds[first].edited && kinds[i].edited) {
      merge.refusal = {lines[i].offset, "a second edited line for " + kinds[i].name + kMoveOrForce};
      return merge;
    }
    const std::size_t text = kinds[first].edited ? first : i;
    if (kinds[first].edited) first = i;
    kinds[text] = {Kind::kText, {}, false};
  }

  // Each run of other lines lies between two items (or an end of the block)
  // and stays there while those two stay neighbours; at either end of the
  // block it stays at that end.
  std::map<std::string, std::size_t, std::less<>> position;
  for (std::size_t i = 0; i < now.items.size(); ++i) position.emplace(now.items[i].name, i);
  const auto kept = [&](std::size_t line) {
    return kinds[line].kind == Kind::kItem && position.contains(kinds[line].name);
  };
  std::vector<std::size_t> startRun, endRun;
  std::map<std::size_t, std::vector<std::size_t>> afterItem;  // by position in `now`
  std::optional<std::size_t> previous;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (kinds[i].kind == Kind::kItem) {
      previous = i;
      if (!kept(i) && kinds[i].edited) merge.lostEdits.emplace_back(lines[i].offset, kinds[i].name);
      continue;
    }
    std::size_t next = i;
    while (next < lines.size() && kinds[next].kind != Kind::kItem) ++next;
    if (!previous) {
      startRun.push_back(i);
    } else if (next == lines.size()) {
      endRun.push_back(i);
    } else if (kept(*previous) && kept(next) &&
               position[kinds[next].name] == position[kinds[*previous].name] + 1) {
      afterItem[position[kinds[*previous].name]].push_back(i);
    } else if (kinds[i].kind == Kind::kText) {
      merge.refusal = {lines[i].offset,
                       "text of your own between items whose neighbours change cannot keep its "
                       "place" +
                           std::string(kMoveOrForce)};
      return merge;
    }
  }

  // New items take the indentation of the first item there is.
  std::string indent;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (kinds[i].kind == Kind::kItem) {
      indent = lines[i].indent;
      break;
    }
  }
  merge.contents = lead;
  const auto keepLine = [&](std::size_t i, bool last) {
    merge.contents +=
        lines[i].whole ? std::string(lines[i].bytes) : EncodeForPage(encoding, lines[i].text);
    merge.contents += lines[i].end.empty() && !last ? lineEnd : lines[i].end;
  };
  const bool anythingAfterItems = !endRun.empty();
  for (const std::size_t i : startRun) keepLine(i, now.items.empty() && !anythingAfterItems);
  for (std::size_t k = 0; k < now.items.size(); ++k) {
    const FileItem& item = now.items[k];
    const bool last = k + 1 == now.items.size() && !anythingAfterItems && !afterItem.contains(k);
    if (const auto found = itemLine.find(item.name); found != itemLine.end()) {
      const std::size_t i = found->second;
      if (kinds[i].edited || (lines[i].whole && lines[i].text == item.markup)) {
        keepLine(i, last);
      } else {
        writeNew(lines[i].indent, item.markup);
      }
    } else {
      writeNew(indent, item.markup);
    }
    if (const auto run = afterItem.find(k); run != afterItem.end()) {
      for (std::size_t r = 0; r < run->second.size(); ++r) {
        keepLine(run->second[r],
                 k + 1 == now.items.size() && r + 1 == run->second.size() && !anythingAfterItems);
      }
    }
  }
  for (std::size_t r = 0; r < endRun.size(); ++r) keepLine(endRun[r], r + 1 == endRun.size());
  merge.contents += tail;
  return merge;
}

}  // namespace tervane::cli
