// Answers the message boxes of one thread from a second thread, as a user
// would, and notes what each box said.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace tervane::testing {

struct ShownBox {
  std::string title;
  std::string text;
  bool operator==(const ShownBox&) const = default;
  friend void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << "{" << box.title << ": " << box.text << "}";
  }
};

/// A window's text, as UTF-8.
std::string Caption(HWND window);
/// The visible top-level windows of `thread` whose class is, or with
/// `isBox` false is not, the message box class.
std::vector<HWND> VisibleWindows(DWORD thread, bool isBox);

class BoxWatcher {
 public:
  /// Watches the boxes of `thread` (of this process or another); answers
  /// OK, or Cancel where a box has no OK button.
  explicit BoxWatcher(DWORD thread = ::GetCurrentThreadId());
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  /// The boxes answered so far, which are then forgotten.
  std::vector<ShownBox> Take();

 private:
  void Watch();

  DWORD thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<ShownBox> shown_;
  std::thread watcher_;
};

}  // namespace tervane::testing
