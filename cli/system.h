// The drives and files of the system `tervane` runs on.
#pragma once

#ifdef _WIN32
#include "addin/platform/win32/win32_platform.h"
#else
#include "addin/platform/headless/posix_drives.h"
#include "addin/platform/headless/posix_file_system.h"
#endif

namespace tervane::cli {

#ifdef _WIN32
using SystemDrives = win32::Win32DriveSystem;
using SystemFiles = win32::Win32FileSystem;
#else
using SystemDrives = PosixDriveSystem;
using SystemFiles = PosixFileSystem;
#endif

}  // namespace tervane::cli
