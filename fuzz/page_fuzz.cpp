// Pages as anyone may have written them. The first line of the input is a
// file name, the rest the page. Whatever the page, inserting the link to
// that name either fails cleanly, leaving the page as it was, or changes
// exactly one place: the page's own bytes with the encoded markup inserted.
// Unless the page refuses to be written, it has, read again, every link it
// had and the new one.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/dialog/linkaddress/markup.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_charset.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

namespace {

std::string PagePath() {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder ? folder : "/tmp") + "/tervane-page-fuzz-" +
         std::to_string(::getpid()) + ".htm";
}

std::unique_ptr<tervane::FilePage> OpenBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
  return tervane::FilePage::Open(path);
}

// True when `after` is `before` with `inserted` placed at one position.
bool IsOneInsertion(const std::string& before, const std::string& after,
                    const std::string& inserted) {
  if (after.size() != before.size() + inserted.size()) return false;
  const std::size_t common =
      std::mismatch(before.begin(), before.end(), after.begin()).first - before.begin();
  const std::size_t lowest = common >= inserted.size() ? common - inserted.size() : 0;
  for (std::size_t at = common + 1; at-- > lowest;) {
    if (after.compare(0, at, before, 0, at) == 0 &&
        after.compare(at, inserted.size(), inserted) == 0 &&
        after.compare(at + inserted.size(), std::string::npos, before, at) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts =
      tervane::fuzz::Split(std::string_view(reinterpret_cast<const char*>(data), size), '\n', 2);
  const std::string name(parts[0].empty() ? "a.jpg" : parts[0]);
  if (!tervane::fuzz::IsUtf8(name) || name.find('\0') != std::string::npos) return 0;
  static const std::string path = PagePath();

  std::unique_ptr<tervane::FilePage> page;
  try {
    page = OpenBytes(path, parts[1]);
  } catch (const tervane::Error&) {
    return 0;  // an encoding the page stand-in does not write: refused as a whole
  }
  const std::string before = page->Contents();
  Check(before == parts[1], "an opened page holds its bytes");
  const std::vector<std::string> linksBefore = page->LinkHrefs();

  const std::string address = tervane::LinkAddress("", name);
  const std::string markup = tervane::FileMarkup(tervane::DisplayMode::kTextLink, address, name);
  try {
    page->InsertBeforeBodyEnd(markup);
  } catch (const tervane::Error&) {
    Check(page->Contents() == before, "a refused insertion leaves the page alone");
    return 0;
  }
  const std::string after = page->Contents();
  const std::string encoded = tervane::EncodeForPage(page->Encoding(), markup);
  Check(IsOneInsertion(before, after, encoded), "the markup goes in at exactly one place");
  try {
    page->CheckInsertions();
  } catch (const tervane::Error&) {
    return 0;  // refused before writing: the page on disk stays as it was
  }

  std::map<std::string, int> expected;
  for (const std::string& href : linksBefore) ++expected[href];
  ++expected[address];
  std::map<std::string, int> found;
  for (const std::string& href : OpenBytes(path, after)->LinkHrefs()) ++found[href];
  for (const auto& [href, count] : expected) {
    Check(found[href] >= count, "read again, the page has its links and the new one");
  }
  return 0;
}
