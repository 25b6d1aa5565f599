// The editor stand-in over a FilePage: its active page window and document,
// offering the members the link builder uses.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "addin/platform/editor.h"
#include "addin/platform/filepage/file_page.h"

namespace tervane {

class FileEditor : public PageApplication {
 public:
  /// `page` is the active page; nullptr stands for no page open.
  explicit FileEditor(FilePage* page);

  /// When set, insertions are recorded instead of being applied to the page.
  void SetRecordOnly(bool recordOnly);
  const std::vector<std::string>& RecordedInsertions() const;

  void SetActivePage(FilePage* page);
  std::unique_ptr<PageWindow> ActivePageWindow() override;

 private:
  FilePage* page_;
  bool recordOnly_ = false;
  std::vector<std::string> recorded_;
};

}  // namespace tervane
