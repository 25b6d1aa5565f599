// Tervane.dll next to the test program, and the system's registration
// program run on it, as the installer runs it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tervane::testing {

/// The full path of Tervane.dll in the test program's folder.
std::wstring AddInPath();
/// Runs "regsvr32 /s [flag] <library>" and returns its exit code.
DWORD RunRegsvr32(const std::wstring& flag = L"", const std::wstring& library = AddInPath());

/// Whether the program runs under Wine, whose COM runtime (8.0) reads classes
/// only from HKEY_LOCAL_MACHINE, not the current user's merged view.
bool RunningUnderWine();

/// The class of a programmatic identifier, read from the current user's
/// classes as the system's merged view of them reads it.
std::optional<CLSID> PerUserClassOf(const std::wstring& progId);

/// Creates an object of a class registered in the current user's classes:
/// CoCreateInstance, or under Wine the same steps done by hand (the server
/// path from InprocServer32, its class factory).
HRESULT CreatePerUserObject(const CLSID& clsid, REFIID riid, void** object);

}  // namespace tervane::testing
