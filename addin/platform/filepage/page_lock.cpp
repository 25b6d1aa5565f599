#include "addin/platform/filepage/page_lock.h"

#include <algorithm>
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

void PageLock::Wait(const std::string& path, std::chrono::milliseconds timeout,
                    const std::function<bool()>& tryHold) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::chrono::milliseconds pause{1};
  for (;;) {
    if (tryHold()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      throw Error(kErrPathFileAccess, "Cannot write " + path +
                                          ": another program is writing it (gave up after " +
                                          Seconds(timeout) + " s)");
    }
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, kLongestPause);
  }
}

}  // namespace tervane
