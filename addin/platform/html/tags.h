// The element names the tree builder treats specially, as small numbers, and
// the categories it sorts them into. Any other name is Tag::kOther.
#pragma once

#include <cstdint>
#include <string_view>

#include "addin/platform/html/document.h"

namespace tervane::html {

enum class Tag : std::uint8_t {
  kOther,
  // HTML.
  kA,
  kAddress,
  kApplet,
  kArea,
  kArticle,
  kAside,
  kB,
  kBase,
  kBasefont,
  kBgsound,
  kBig,
  kBlockquote,
  kBody,
  kBr,
  kButton,
  kCaption,
  kCenter,
  kCode,
  kCol,
  kColgroup,
  kDd,
  kDetails,
  kDialog,
  kDir,
  kDiv,
  kDl,
  kDt,
  kEm,
  kEmbed,
  kFieldset,
  kFigcaption,
  kFigure,
  kFont,
  kFooter,
  kForm,
  kFrame,
  kFrameset,
  kH1,
  kH2,
  kH3,
  kH4,
  kH5,
  kH6,
  kHead,
  kHeader,
  kHgroup,
  kHr,
  kHtml,
  kI,
  kIframe,
  kImage,
  kImg,
  kInput,
  kKeygen,
  kLi,
  kLink,
  kListing,
  kMain,
  kMarquee,
  kMath,
  kMenu,
  kMeta,
  kNav,
  kNobr,
  kNoembed,
  kNoframes,
  kNoscript,
  kObject,
  kOl,
  kOptgroup,
  kOption,
  kP,
  kParam,
  kPlaintext,
  kPre,
  kRb,
  kRp,
  kRt,
  kRtc,
  kRuby,
  kS,
  kScript,
  kSearch,
  kSection,
  kSelect,
  kSmall,
  kSource,
  kSpan,
  kStrike,
  kStrong,
  kStyle,
  kSub,
  kSummary,
  kSup,
  kSvg,
  kTable,
  kTbody,
  kTd,
  kTemplate,
  kTextarea,
  kTfoot,
  kTh,
  kThead,
  kTitle,
  kTr,
  kTrack,
  kTt,
  kU,
  kUl,
  kVar,
  kWbr,
  kXmp,
  // MathML and SVG (title is shared with HTML).
  kMi,
  kMo,
  kMn,
  kMs,
  kMtext,
  kMglyph,
  kMalignmark,
  kAnnotationXml,
  kForeignObject,
  kDesc,
  kCount,
};

/// The tag of an ASCII-lowercased tag name ("foreignobject" for SVG's
/// foreignObject); kOther for names with no part in tree construction.
Tag LookupTag(std::string_view lowercaseName);

/// The name LookupTag() maps to `tag`; empty for kOther.
std::string_view TagName(Tag tag);

/// The tag of an element as it stands in the tree (SVG names in their
/// adjusted case).
Tag TagOfElement(const Node& element);

/// The "special" category of elements, for an element of namespace `ns`.
bool IsSpecial(Namespace ns, Tag tag);

/// a, b, big, code, em, font, i, nobr, s, small, strike, strong, tt, u.
bool IsFormatting(Tag tag);

/// h1 to h6.
inline bool IsHeading(Tag tag) { return tag >= Tag::kH1 && tag <= Tag::kH6; }

/// Elements whose end tag is implied by the "generate implied end tags" step
/// (the thorough variant adds the table parts when `thoroughly`).
bool HasImpliedEndTag(Tag tag, bool thoroughly);

/// Start tags that leave foreign content for HTML (font only with color,
/// face or size, which the caller checks).
bool IsForeignBreakout(Tag tag);

/// MathML text integration points: mi, mo, mn, ms, mtext.
bool IsMathMlTextIntegrationPoint(Namespace ns, Tag tag);

/// HTML integration points: SVG foreignObject, desc and title, and MathML
/// annotation-xml with an HTML encoding attribute.
bool IsHtmlIntegrationPoint(const Node& element, Tag tag);

}  // namespace tervane::html
