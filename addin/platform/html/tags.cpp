#include "addin/platform/html/tags.h"

#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace tervane::html {
namespace {

constexpr std::pair<std::string_view, Tag> kNames[] = {
    {"a", Tag::kA},
    {"address", Tag::kAddress},
    {"applet", Tag::kApplet},
    {"area", Tag::kArea},
    {"article", Tag::kArticle},
    {"aside", Tag::kAside},
    {"b", Tag::kB},
    {"base", Tag::kBase},
    {"basefont", Tag::kBasefont},
    {"bgsound", Tag::kBgsound},
    {"big", Tag::kBig},
    {"blockquote", Tag::kBlockquote},
    {"body", Tag::kBody},
    {"br", Tag::kBr},
    {"button", Tag::kButton},
    {"caption", Tag::kCaption},
    {"center", Tag::kCenter},
    {"code", Tag::kCode},
    {"col", Tag::kCol},
    {"colgroup", Tag::kColgroup},
    {"dd", Tag::kDd},
    {"details", Tag::kDetails},
    {"dialog", Tag::kDialog},
    {"dir", Tag::kDir},
    {"div", Tag::kDiv},
    {"dl", Tag::kDl},
    {"dt", Tag::kDt},
    {"em", Tag::kEm},
    {"embed", Tag::kEmbed},
    {"fieldset", Tag::kFieldset},
    {"figcaption", Tag::kFigcaption},
    {"figure", Tag::kFigure},
    {"font", Tag::kFont},
    {"footer", Tag::kFooter},
    {"form", Tag::kForm},
    {"frame", Tag::kFrame},
    {"frameset", Tag::kFrameset},
    {"h1", Tag::kH1},
    {"h2", Tag::kH2},
    {"h3", Tag::kH3},
    {"h4", Tag::kH4},
    {"h5", Tag::kH5},
    {"h6", Tag::kH6},
    {"head", Tag::kHead},
    {"header", Tag::kHeader},
    {"hgroup", Tag::kHgroup},
    {"hr", Tag::kHr},
    {"html", Tag::kHtml},
    {"i", Tag::kI},
    {"iframe", Tag::kIframe},
    {"image", Tag::kImage},
    {"img", Tag::kImg},
    {"input", Tag::kInput},
    {"keygen", Tag::kKeygen},
    {"li", Tag::kLi},
    {"link", Tag::kLink},
    {"listing", Tag::kListing},
    {"main", Tag::kMain},
    {"marquee", Tag::kMarquee},
    {"math", Tag::kMath},
    {"menu", Tag::kMenu},
    {"meta", Tag::kMeta},
    {"nav", Tag::kNav},
    {"nobr", Tag::kNobr},
    {"noembed", Tag::kNoembed},
    {"noframes", Tag::kNoframes},
    {"noscript", Tag::kNoscript},
    {"object", Tag::kObject},
    {"ol", Tag::kOl},
    {"optgroup", Tag::kOptgroup},
    {"option", Tag::kOption},
    {"p", Tag::kP},
    {"param", Tag::kParam},
    {"plaintext", Tag::kPlaintext},
    {"pre", Tag::kPre},
    {"rb", Tag::kRb},
    {"rp", Tag::kRp},
    {"rt", Tag::kRt},
    {"rtc", Tag::kRtc},
    {"ruby", Tag::kRuby},
    {"s", Tag::kS},
    {"script", Tag::kScript},
    {"search", Tag::kSearch},
    {"section", Tag::kSection},
    {"select", Tag::kSelect},
    {"small", Tag::kSmall},
    {"source", Tag::kSource},
    {"span", Tag::kSpan},
    {"strike", Tag::kStrike},
    {"strong", Tag::kStrong},
    {"style", Tag::kStyle},
    {"sub", Tag::kSub},
    {"summary", Tag::kSummary},
    {"sup", Tag::kSup},
    {"svg", Tag::kSvg},
    {"table", Tag::kTable},
    {"tbody", Tag::kTbody},
    {"td", Tag::kTd},
    {"template", Tag::kTemplate},
    {"textarea", Tag::kTextarea},
    {"tfoot", Tag::kTfoot},
    {"th", Tag::kTh},
    {"thead", Tag::kThead},
    {"title", Tag::kTitle},
    {"tr", Tag::kTr},
    {"track", Tag::kTrack},
    {"tt", Tag::kTt},
    {"u", Tag::kU},
    {"ul", Tag::kUl},
    {"var", Tag::kVar},
    {"wbr", Tag::kWbr},
    {"xmp", Tag::kXmp},
    {"mi", Tag::kMi},
    {"mo", Tag::kMo},
    {"mn", Tag::kMn},
    {"ms", Tag::kMs},
    {"mtext", Tag::kMtext},
    {"mglyph", Tag::kMglyph},
    {"malignmark", Tag::kMalignmark},
    {"annotation-xml", Tag::kAnnotationXml},
    {"foreignobject", Tag::kForeignObject},
    {"desc", Tag::kDesc},
};

using TagSet = std::array<bool, static_cast<std::size_t>(Tag::kCount)>;

constexpr TagSet MakeSet(std::initializer_list<Tag> tags) {
  TagSet set{};
  for (const Tag tag : tags) set[static_cast<std::size_t>(tag)] = true;
  return set;
}

constexpr bool In(const TagSet& set, Tag tag) { return set[static_cast<std::size_t>(tag)]; }

constexpr TagSet kSpecialHtml = MakeSet({
    Tag::kAddress,   Tag::kApplet,   Tag::kArea,     Tag::kArticle,    Tag::kAside,
    Tag::kBase,      Tag::kBasefont, Tag::kBgsound,  Tag::kBlockquote, Tag::kBody,
    Tag::kBr,        Tag::kButton,   Tag::kCaption,  Tag::kCenter,     Tag::kCol,
    Tag::kColgroup,  Tag::kDd,       Tag::kDetails,  Tag::kDir,        Tag::kDiv,
    Tag::kDl,        Tag::kDt,       Tag::kEmbed,    Tag::kFieldset,   Tag::kFigcaption,
    Tag::kFigure,    Tag::kFooter,   Tag::kForm,     Tag::kFrame,      Tag::kFrameset,
    Tag::kH1,        Tag::kH2,       Tag::kH3,       Tag::kH4,         Tag::kH5,
    Tag::kH6,        Tag::kHead,     Tag::kHeader,   Tag::kHgroup,     Tag::kHr,
    Tag::kHtml,      Tag::kIframe,   Tag::kImg,      Tag::kInput,      Tag::kKeygen,
    Tag::kLi,        Tag::kLink,     Tag::kListing,  Tag::kMain,       Tag::kMarquee,
    Tag::kMenu,      Tag::kMeta,     Tag::kNav,      Tag::kNoembed,    Tag::kNoframes,
    Tag::kNoscript,  Tag::kObject,   Tag::kOl,       Tag::kP,          Tag::kParam,
    Tag::kPlaintext, Tag::kPre,      Tag::kScript,   Tag::kSearch,     Tag::kSection,
    Tag::kSelect,    Tag::kSource,   Tag::kStyle,    Tag::kSummary,    Tag::kTable,
    Tag::kTbody,     Tag::kTd,       Tag::kTemplate, Tag::kTextarea,   Tag::kTfoot,
    Tag::kTh,        Tag::kThead,    Tag::kTitle,    Tag::kTr,         Tag::kTrack,
    Tag::kUl,        Tag::kWbr,      Tag::kXmp,
});

constexpr TagSet kFormatting = MakeSet({
    Tag::kA,
    Tag::kB,
    Tag::kBig,
    Tag::kCode,
    Tag::kEm,
    Tag::kFont,
    Tag::kI,
    Tag::kNobr,
    Tag::kS,
    Tag::kSmall,
    Tag::kStrike,
    Tag::kStrong,
    Tag::kTt,
    Tag::kU,
});

constexpr TagSet kImpliedEndTags = MakeSet({
    Tag::kDd,
    Tag::kDt,
    Tag::kLi,
    Tag::kOptgroup,
    Tag::kOption,
    Tag::kP,
    Tag::kRb,
    Tag::kRp,
    Tag::kRt,
    Tag::kRtc,
});

constexpr TagSet kThoroughImpliedEndTags = MakeSet({
    Tag::kCaption,
    Tag::kColgroup,
    Tag::kDd,
    Tag::kDt,
    Tag::kLi,
    Tag::kOptgroup,
    Tag::kOption,
    Tag::kP,
    Tag::kRb,
    Tag::kRp,
    Tag::kRt,
    Tag::kRtc,
    Tag::kTbody,
    Tag::kTd,
    Tag::kTfoot,
    Tag::kTh,
    Tag::kThead,
    Tag::kTr,
});

constexpr TagSet kBreakout = MakeSet({
    Tag::kB,       Tag::kBig,  Tag::kBlockquote, Tag::kBody,  Tag::kBr,   Tag::kCenter,
    Tag::kCode,    Tag::kDd,   Tag::kDiv,        Tag::kDl,    Tag::kDt,   Tag::kEm,
    Tag::kEmbed,   Tag::kH1,   Tag::kH2,         Tag::kH3,    Tag::kH4,   Tag::kH5,
    Tag::kH6,      Tag::kHead, Tag::kHr,         Tag::kI,     Tag::kImg,  Tag::kLi,
    Tag::kListing, Tag::kMenu, Tag::kMeta,       Tag::kNobr,  Tag::kOl,   Tag::kP,
    Tag::kPre,     Tag::kRuby, Tag::kS,          Tag::kSmall, Tag::kSpan, Tag::kStrong,
    Tag::kStrike,  Tag::kSub,  Tag::kSup,        Tag::kTable, Tag::kTt,   Tag::kU,
    Tag::kUl,      Tag::kVar,  Tag::kFont,
});

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

Tag LookupTag(std::string_view lowercaseName) {
  static const std::unordered_map<std::string_view, Tag> kMap(std::begin(kNames), std::end(kNames));
  const auto found = kMap.find(lowercaseName);
  return found == kMap.end() ? Tag::kOther : found->second;
}

std::string_view TagName(Tag tag) {
  static const std::array<std::string_view, static_cast<std::size_t>(Tag::kCount)> kByTag = [] {
    std::array<std::string_view, static_cast<std::size_t>(Tag::kCount)> byTag{};
    for (const auto& [name, named] : kNames) byTag[static_cast<std::size_t>(named)] = name;
    return byTag;
  }();
  return tag == Tag::kOther ? std::string_view() : kByTag[static_cast<std::size_t>(tag)];
}

Tag TagOfElement(const Node& element) {
  if (element.ns == Namespace::kSvg && element.name == "foreignObject") {
    return Tag::kForeignObject;
  }
  return LookupTag(element.name);
}

bool IsSpecial(Namespace ns, Tag tag) {
  switch (ns) {
    case Namespace::kHtml:
      return In(kSpecialHtml, tag);
    case Namespace::kMathMl:
      return tag == Tag::kMi || tag == Tag::kMo || tag == Tag::kMn || tag == Tag::kMs ||
             tag == Tag::kMtext || tag == Tag::kAnnotationXml;
    case Namespace::kSvg:
      return tag == Tag::kForeignObject || tag == Tag::kDesc || tag == Tag::kTitle;
  }
  return false;
}

bool IsFormatting(Tag tag) { return In(kFormatting, tag); }

bool HasImpliedEndTag(Tag tag, bool thoroughly) {
  return In(thoroughly ? kThoroughImpliedEndTags : kImpliedEndTags, tag);
}

bool IsForeignBreakout(Tag tag) { return In(kBreakout, tag); }

bool IsMathMlTextIntegrationPoint(Namespace ns, Tag tag) {
  return ns == Namespace::kMathMl && (tag == Tag::kMi || tag == Tag::kMo || tag == Tag::kMn ||
                                      tag == Tag::kMs || tag == Tag::kMtext);
}

bool IsHtmlIntegrationPoint(const Node& element, Tag tag) {
  if (element.ns == Namespace::kSvg) {
    return tag == Tag::kForeignObject || tag == Tag::kDesc || tag == Tag::kTitle;
  }
  if (element.ns != Namespace::kMathMl || tag != Tag::kAnnotationXml) return false;
  const std::optional<std::string_view> encoding = element.FindAttribute("encoding");
  return encoding.has_value() && (EqualsIgnoringAsciiCase(*encoding, "text/html") ||
                                  EqualsIgnoringAsciiCase(*encoding, "application/xhtml+xml"));
}

}  // namespace tervane::html
