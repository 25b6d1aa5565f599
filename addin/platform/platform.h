// Everything the link builder dialog reaches outside itself, in one bundle.
#pragma once

#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"
#include "addin/platform/editor.h"
#include "addin/platform/file_system.h"
#include "addin/platform/message_box.h"
#include "addin/platform/shell.h"

namespace tervane {

struct Platform {
  DriveSystem& drives;
  FileSystem& files;
  MessageBoxes& boxes;
  Shell& shell;
  PageApplication& editor;
  DialogViewFactory& views;
};

}  // namespace tervane
