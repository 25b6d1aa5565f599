// The page base location: the folder of the page being edited, derived from
// the page's address as the editor reports it.
#pragma once

#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/path_style.h"

namespace tervane {

struct PageBaseLocation {
  enum class Kind {
    kNotLocal,   // no "file:" (or "FILE:") in the address: the location is emptied
    kUnchanged,  // a file address without a usable local path: nothing changes
    kFolder,     // `folder` is the page's folder
  };
  Kind kind = Kind::kNotLocal;
  std::string folder;
};

/// Derives the page base location from a page address.
/// Windows: "file:///C:/My Webs/sub/page.htm" gives "C:\My Webs\sub", a page
/// at a drive root gives "D:"; the first "file:" anywhere in the address is
/// used, else the first "FILE:"; no "/" after the drive leaves things
/// unchanged. Without a drive colon, a page on a network share
/// ("file://server/share/web/page.htm") gives "\\server\share\web"; other
/// addresses without one leave things unchanged. POSIX: "file://" + an
/// absolute path (an empty or "localhost" host) gives the path's folder, "/"
/// for the root; another host leaves things unchanged. Nothing is
/// percent-decoded.
PageBaseLocation DerivePageBaseLocation(std::string_view pageAddress, PathStyle style);

}  // namespace tervane
