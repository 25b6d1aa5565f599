#include "addin/platform/filepage/page_lock.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "addin/platform/error.h"

namespace tervane {

namespace {

// The waits between tries grow to this: short enough that a writer follows
// its predecessor at once, long enough that forty waiters cost nothing.
constexpr std::chrono::milliseconds kLongestPause{20};

std::string Seconds(std::chrono::milliseconds span) {
  const auto tenths = (span.count() + 50) / 100;
  return std::to_string(tenths / 10) + (tenths % 10 == 0 ? "" : "." + std::to_string(tenths % 10));
}

}  // namespace

std::chrono::milliseconds PageLockTimeout() {
  if (const char* text = std::getenv("TERVANE_LOCK_TIMEOUT_MS"); text != nullptr && *text != '\0') {
    char* end = nullptr;
    const long long milliseconds = std::strtoll(text, &end, 10);
    if (*end == '\0' && milliseconds >= 0) return std::chrono::milliseconds(milliseconds);
  }
  return std::chrono::seconds(30);
}

void PageLock::Wait(const std::string& path, std::chrono::milliseconds timeout,
                    const std::function<bool()>& tryHold) {
  // Counted in pauses rather than read from a clock, whose runtime support
  // brings in a dozen Windows imports; the tries between pauses take little.
  std::chrono::milliseconds waited{0};
  std::chrono::milliseconds pause{1};
  for (;;) {
    if (tryHold()) return;
    if (waited >= timeout) {
      throw Error(kErrPathFileAccess, "Cannot write " + path +
                                          ": another program is writing it (gave up after " +
                                          Seconds(timeout) + " s)");
    }
    pause = std::min(pause, timeout - waited);
    std::this_thread::sleep_for(pause);
    waited += pause;
    pause = std::min(pause * 2, kLongestPause);
  }
}

}  // namespace tervane
