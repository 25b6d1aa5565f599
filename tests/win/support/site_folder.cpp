#include "tests/win/support/site_folder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>

#include "addin/platform/win32/utf16.h"

namespace tervane::testing {
namespace {

std::filesystem::path FreshFolder() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  static int count = 0;
  std::filesystem::path folder =
      std::filesystem::path(temp) / (L"tervane-window-" + std::to_wstring(::GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(++count));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

SiteFolder::SiteFolder() : SiteFolder(FreshFolder()) {}

SiteFolder::SiteFolder(const std::filesystem::path& folder)
    : site_(folder), siteText_(win32::Narrow(site_.wstring())) {
  WriteFile(site_ / "index.htm", "<html><body></body></html>");
  WriteFile(site_ / "top.jpg");
  for (const char* name : {"a.jpg", "B.png", "c.gif", "d.txt", "hidden.jpg"}) {
    WriteFile(site_ / "img" / name);
  }
  WriteFile(site_ / "img" / "link.url", "[InternetShortcut]\r\nURL=http://example.com/\r\n");
  ::SetFileAttributesW((site_ / "img" / "hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
  std::filesystem::create_directories(site_ / "img" / "sub");
  std::filesystem::create_directories(site_ / "img" / "zz");
}

SiteFolder::~SiteFolder() {
  // A folder cannot be removed while it is the current one.
  ::SetCurrentDirectoryW(L"C:\\");
  ::SetFileAttributesW((site_ / "img" / "hidden.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
  std::error_code ignored;
  std::filesystem::remove_all(site_, ignored);
}

std::string SiteFolder::PageAddress() const {
  std::string address = "file:///" + siteText_ + "\\index.htm";
  std::replace(address.begin(), address.end(), '\\', '/');
  return address;
}

}  // namespace tervane::testing
