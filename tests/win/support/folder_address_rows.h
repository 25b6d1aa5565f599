// The folder-address rules on real Windows folders, as rows that the window
// test and the tervane.exe test both walk: the page base location, the
// material folder (on C: or on the second drive) and the folder address.
#pragma once

#include <string>
#include <vector>

namespace tervane::testing {

struct FolderAddressRow {
  std::string location, folder, address;
};

inline std::vector<FolderAddressRow> FolderAddressRows(char secondDrive) {
  const std::string d(1, secondDrive);
  return {
      {"C:\\web", "C:\\web", ""},
      {"C:\\web\\", "C:\\web\\img", "img/"},
      {"C:\\web", "C:\\web\\img\\icons", "img/icons/"},
      {"C:\\web\\docs", "C:\\web\\img", "../img/"},
      {"C:\\web\\docs\\2000", "C:\\web", "../../"},
      {"C:\\web", "C:\\", "../"},
      {"C:\\", "C:\\img", "img/"},
      {"C:\\web", d + ":\\pics", "file:///" + d + ":/pics/"},
      {"", "C:\\web\\img", "file:///C:/web/img/"},
      {"c:\\web", "C:\\web\\img", "file:///C:/web/img/"},
  };
}

}  // namespace tervane::testing
