// The folder-address rules on real Windows folders, as rows that the window
// test and the tervane.exe test both walk: the page base location, the
// material folder (on C: or on the second drive) and the folder address.
// Each suite gives the name of its own folder at the top of C:, so that
// suites running at the same time never share one.
#pragma once

#include <string>
#include <vector>

namespace tervane::testing {

struct FolderAddressRow {
  std::string location, folder, address;
};

/// The file that every row's folder holds and links to; one in C:\ as well.
inline std::string FolderAddressFile(const std::string& top) { return top + ".jpg"; }

/// Rows under C:\<top>, the second drive's \pics and C:\ itself.
inline std::vector<FolderAddressRow> FolderAddressRows(const std::string& top, char secondDrive) {
  const std::string d(1, secondDrive);
  const std::string t = "C:\\" + top;
  const std::string web = t + "\\web";
  return {
      {web, web, ""},
      {web + "\\", web + "\\img", "img/"},
      {web, web + "\\img\\icons", "img/icons/"},
      {web + "\\docs", web + "\\img", "../img/"},
      {web + "\\docs\\2000", web, "../../"},
      {t, "C:\\", "../"},
      {"C:\\", t + "\\img", top + "/img/"},
      {web, d + ":\\pics", "file:///" + d + ":/pics/"},
      {"", web + "\\img", "file:///C:/" + top + "/web/img/"},
      {"c:\\" + top + "\\web", web + "\\img", "file:///C:/" + top + "/web/img/"},
  };
}

}  // namespace tervane::testing
