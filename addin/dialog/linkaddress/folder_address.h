// The address of the material folder as seen from the page base location, and
// the link address of a file in it. These are the addresses written into the
// page and compared with the page's existing links.
#pragma once

#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/path_style.h"

namespace tervane {

/// `text` without its last character when that is the separator of `style`;
/// otherwise unchanged. At most one character goes.
std::string RemoveTrailingSeparator(std::string_view text, PathStyle style);

/// `text` with "/" appended unless it already ends in "/".
std::string AddTrailingSlash(std::string_view text);

/// A file or folder name as it appears in an address: "%", "#" and "?" are
/// percent-encoded (%25, %23, %3F) so that a browser does not read them as an
/// escape, a fragment or a query, and so are control characters, which
/// browsers drop, and C1 controls and noncharacters (U+FFFF and the like),
/// which HTML parsers replace. Nothing else changes.
std::string EncodeNameForAddress(std::string_view name);

/// Folder address of `materialFolder` seen from `baseLocation`:
///  - empty when the two are the same folder;
///  - relative ("../" steps, then folder names, each followed by "/") when
///    they share a leading path component; on POSIX the root is a shared
///    component, so any two absolute paths give a relative address;
///  - otherwise absolute: "file:///" + the folder with "/" separators
///    (Windows), "file://" + the folder (POSIX), ending in "/".
/// Components compare exactly, letter case included. Folder names are
/// encoded with EncodeNameForAddress. A relative address whose first segment
/// holds ":" gets a leading "./" so that it cannot be read as a scheme.
std::string FolderAddress(std::string_view materialFolder, std::string_view baseLocation,
                          PathStyle style);

/// The link address of `fileName` in the folder whose address is
/// `folderAddress`: the folder address followed by the encoded name, with a
/// leading "./" when the result would otherwise start with a segment that
/// holds ":". Blanks at either end of an address (folder or link) are
/// encoded as %20, since browsers would strip them.
std::string LinkAddress(std::string_view folderAddress, std::string_view fileName);

}  // namespace tervane
