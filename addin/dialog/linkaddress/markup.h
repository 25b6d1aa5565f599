// The five pieces of markup that link creation writes into the page. Every
// part that comes from a name or a shortcut's address is written with "&",
// "<", ">" and the double quote as character references; the fixed parts are
// written as they stand.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/picture_size.h"

namespace tervane {

enum class DisplayMode { kTextLink, kImageLink, kImageOnly };

/// "&", "<", ">" and "\"" as &amp; &lt; &gt; &quot;.
std::string EscapeHtml(std::string_view text);

/// The markup of an ordinary file in the chosen mode:
///   text link   <a href="A">N</a><br>
///   image link  <a href="A"><img src="A"></a>
///   image only  <img src="A"><br>
std::string FileMarkup(DisplayMode mode, std::string_view linkAddress, std::string_view fileName);

/// <a href="U">T</a><br>, T being the shortcut's name without its last four
/// characters (".url").
std::string ShortcutMarkup(std::string_view shortcutUrl, std::string_view fileName);

/// <P>Unknown: "A"</p>, for a shortcut without a usable address; A is the
/// link address of the shortcut file itself.
std::string PlaceholderMarkup(std::string_view linkAddress);

/// The name without its extension (from its last "." on, unless that "."
/// begins the name): the alternative text of a picture.
std::string_view NameWithoutExtension(std::string_view fileName);

/// `markup` with attributes added to the start tag of its img element, after
/// src: width and height when `size` is set, then alt (escaped) when `alt` is
/// set. Markup without an img element comes back unchanged.
std::string WithImageAttributes(std::string_view markup, const std::optional<PictureSize>& size,
                                const std::optional<std::string_view>& alt);

/// `markup` with its img element showing a thumbnail: src becomes
/// `thumbnail`, followed by srcset (`thumbnail2x` and "2x") when that is
/// set, then the thumbnail's width and height. In srcset, blanks and commas
/// of the address are percent-encoded, since they would end it there.
/// Markup without an img element comes back unchanged.
std::string WithThumbnail(std::string_view markup, std::string_view thumbnail,
                          const std::optional<std::string_view>& thumbnail2x, PictureSize size);

/// `markup` with `loading="lazy" decoding="async"` at the end of its img
/// element's start tag when `lazy` is set, and `class="className"` (escaped)
/// at the end of the start tag of its outer element when `className` is
/// given, so that one rule of a style sheet reaches every item.
std::string WithItemAttributes(std::string_view markup, bool lazy,
                               const std::optional<std::string>& className);

}  // namespace tervane
