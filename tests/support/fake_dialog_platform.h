// The whole Platform on the in-memory Windows fakes, with headless controls
// and recorded boxes: what the dialog and connection tests run on.
#pragma once

#include "addin/platform/headless/headless_view.h"
#include "addin/platform/headless/recording_boxes.h"
#include "addin/platform/headless/recording_shell.h"
#include "addin/platform/platform.h"
#include "tests/support/fake_platform.h"

namespace tervane::testing {

struct FakeDialogPlatform {
  FakeFileSystem files;
  FakeDrives drives;
  RecordingMessageBoxes boxes;
  RecordingShell shell;
  FakeEditor editor;
  HeadlessViewFactory views{drives, files};
  Platform platform{drives, files, boxes, shell, editor, views};
};

}  // namespace tervane::testing
