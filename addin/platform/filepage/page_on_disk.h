// The editor stand-in for a page that stays on disk while the link builder
// is open, and that other programs may change meanwhile. Every operation
// reads the page afresh; link creation takes the page lock before it reads
// the page it writes, and writes it back before the count is reported.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "addin/platform/editor.h"

namespace tervane {

class PageOnDisk : public PageApplication {
 public:
  /// `path` is absolute; a writer waits `lockTimeout` for another one.
  PageOnDisk(std::string path, std::chrono::milliseconds lockTimeout);

  /// nullptr when nothing is at the path any more (the page was deleted or
  /// moved away): no page is open. The document it gives reads the page when
  /// it is made, and Error when it cannot (see FilePage::Open).
  std::unique_ptr<PageWindow> ActivePageWindow() override;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::chrono::milliseconds lockTimeout_;
};

}  // namespace tervane
