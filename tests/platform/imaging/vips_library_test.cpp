#include "addin/platform/imaging/vips_library.h"

#include <gtest/gtest.h>

#include "addin/platform/error.h"

namespace tervane {
namespace {

// What a user without libvips, or with the wrong library under its name,
// is told: thumbnails are the only thing that needs it.
TEST(VipsLibraryTest, ALibraryThatCannotServeSaysWhatToInstall) {
  struct Case {
    std::string soname;
    std::string says;
  };
  const Case cases[] = {
      {"libvips.so.0.missing", "Debian's package libvips42"},
      {"libm.so.6", "has no vips_version"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.soname);
    try {
      VipsLibrary library(c.soname);
      ADD_FAILURE() << "loaded";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.soname), std::string::npos) << e.what();
    }
  }
  // The one the program loads is this system's.
  EXPECT_EQ(VipsLibrary::SharedObjectName(), "libvips.so.42");
  EXPECT_NE(VipsLibrary::Get().thumbnailSource, nullptr);
}

}  // namespace
}  // namespace tervane
