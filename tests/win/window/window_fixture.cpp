#include "tests/win/window/window_fixture.h"

namespace tervane::testing {

WindowTest::WindowTest() {
  editor_.page = FakeEditor::Page{PageAddress(), "Top", PageAddress(), {}, {}, {}, {}};
  ::SetCurrentDirectoryW(site_.c_str());  // the process's current drive is C:
  FindWindowAfterShow();
}

WindowTest::~WindowTest() { dialog_.Unload(); }

void WindowTest::FindWindowAfterShow() {
  dialog_.Show();
  Attach();
  PumpMessages(50);
}

}  // namespace tervane::testing
