// Tervane.dll as the system sees it: what regsvr32 writes and removes, its
// resources, its type library and its version block.
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "addin/connection/com/identifiers.h"
#include "addin/connection/registration_data.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "tervane/version.h"
#include "tests/win/com/registered_dll.h"

namespace tervane::testing {
namespace {

using Microsoft::WRL::ComPtr;
using win32::Narrow;
using win32::UniqueKey;
using win32::Widen;

const std::string kClasses = "Software\\Classes\\";
const std::string kSharedInterfaceKey =
    kClasses + "Interface\\" + std::string(registration::kExtensibilityInterfaceId);

std::optional<std::wstring> ReadText(HKEY root, const std::string& key, const std::string& name) {
  wchar_t buffer[1024] = {};
  DWORD bytes = sizeof(buffer);
  DWORD type = 0;
  if (::RegGetValueW(root, Widen(key).c_str(), name.empty() ? nullptr : Widen(name).c_str(),
                     RRF_RT_REG_SZ, &type, buffer, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

std::optional<DWORD> ReadNumber(const std::string& key, const std::string& name) {
  DWORD value = 0;
  DWORD bytes = sizeof(value);
  if (::RegGetValueW(HKEY_CURRENT_USER, Widen(key).c_str(), Widen(name).c_str(), RRF_RT_REG_DWORD,
                     nullptr, &value, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

bool KeyExists(const std::string& key) {
  UniqueKey opened;
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, KEY_READ, opened.put()) ==
         ERROR_SUCCESS;
}

// Every value under a key, by "subkey\name", for comparing before and after.
void Snapshot(HKEY root, const std::wstring& path, std::map<std::wstring, std::wstring>& out) {
  UniqueKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    BYTE data[2048];
    DWORD dataLength = sizeof(data);
    if (::RegEnumValueW(key.get(), i, name, &nameLength, nullptr, nullptr, data, &dataLength) !=
        ERROR_SUCCESS) {
      break;
    }
    out[path + L"|" + name] = std::wstring(reinterpret_cast<wchar_t*>(data), dataLength / 2);
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (::RegEnumKeyExW(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    out[path + L"\\" + name] = L"";
    Snapshot(root, path + L"\\" + name, out);
  }
}

std::map<std::wstring, std::wstring> SharedKeys() {
  std::map<std::wstring, std::wstring> keys;
  Snapshot(HKEY_CURRENT_USER, Widen(kSharedInterfaceKey), keys);
  Snapshot(HKEY_LOCAL_MACHINE, Widen(kSharedInterfaceKey), keys);
  return keys;
}

void PlantSharedKey(HKEY root) {
  UniqueKey key;
  ASSERT_EQ(::RegCreateKeyExW(root, Widen(kSharedInterfaceKey + "\\TypeLib").c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  const std::wstring marker = L"{00000000-0000-0000-0000-00000000BEEF}";
  ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(marker.c_str()),
                   static_cast<DWORD>((marker.size() + 1) * 2));
  ::RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1.0"), 8);
}

std::string Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
  return Narrow(text);
}

TEST(Registration, RegistersPerUserAndRemovesOnlyItsOwnKeys) {
  RunRegsvr32(L"/u");
  PlantSharedKey(HKEY_CURRENT_USER);
  PlantSharedKey(HKEY_LOCAL_MACHINE);
  const auto sharedBefore = SharedKeys();

  ASSERT_EQ(RunRegsvr32(), 0u);

  const std::string clsid = kClasses + "CLSID\\" + std::string(registration::kClassId);
  const std::string typeLib = kClasses + "TypeLib\\" + std::string(registration::kTypeLibraryId) +
                              "\\" + std::string(registration::kTypeLibraryVersion);
  const std::string iface =
      kClasses + "Interface\\" + std::string(registration::kDefaultInterfaceId);
  const std::string progId = kClasses + std::string(registration::kProgId);
  const std::string path = Narrow(AddInPath());
  const std::string folder = path.substr(0, path.find_last_of('\\'));
  const std::string automationProxy = "{00020424-0000-0000-C000-000000000046}";
  const std::string platform = sizeof(void*) == 8 ? "win64" : "win32";
  struct TextCase {
    std::string key, name, expected;
  };
  const std::vector<TextCase> texts = {
      {clsid, "", "AddInDesigner1"},
      {clsid + "\\InprocServer32", "", path},
      {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {clsid + "\\ProgID", "", std::string(registration::kProgId)},
      {clsid + "\\TypeLib", "", std::string(registration::kTypeLibraryId)},
      {clsid + "\\VERSION", "", "1.0"},
      {progId + "\\CLSID", "", std::string(registration::kClassId)},
      {typeLib, "", "Tervane"},
      {typeLib + "\\0\\" + platform, "", path},
      {typeLib + "\\FLAGS", "", "0"},
      {typeLib + "\\HELPDIR", "", folder},
      {iface, "", "_AddInDesigner1"},
      {iface + "\\ProxyStubClsid", "", automationProxy},
      {iface + "\\ProxyStubClsid32", "", automationProxy},
      {iface + "\\TypeLib", "", std::string(registration::kTypeLibraryId)},
      {iface + "\\TypeLib", "Version", "1.0"},
      {registration::AddInKey(), "FriendlyName", "Tervane"},
      {registration::AddInKey(), "Description", "COM Add-in for Frontpage2000\r\nTervane\r\n"},
  };
  for (const TextCase& c : texts) {
    const std::optional<std::wstring> value = ReadText(HKEY_CURRENT_USER, c.key, c.name);
    ASSERT_TRUE(value) << c.key << " " << c.name;
    EXPECT_EQ(Lower(*value), Lower(Widen(c.expected))) << c.key << " " << c.name;
  }
  EXPECT_EQ(ReadNumber(registration::AddInKey(), "LoadBehavior"), 16u);
  EXPECT_EQ(ReadNumber(registration::AddInKey(), "CommandLineSafe"), 0u);

  EXPECT_EQ(PerUserClassOf(Widen(registration::kProgId)), com::kClsidAddInDesigner1);
  if (!RunningUnderWine()) {
    CLSID resolved{};
    ASSERT_EQ(::CLSIDFromProgID(Widen(registration::kProgId).c_str(), &resolved), S_OK);
    EXPECT_EQ(resolved, com::kClsidAddInDesigner1);
  }
  EXPECT_EQ(SharedKeys(), sharedBefore) << "registering changed the shared interface key";

  ASSERT_EQ(RunRegsvr32(L"/u"), 0u);
  for (const std::string& key :
       {clsid, progId, kClasses + "TypeLib\\" + std::string(registration::kTypeLibraryId), iface,
        registration::AddInKey()}) {
    EXPECT_FALSE(KeyExists(key)) << key << " left behind";
  }
  EXPECT_TRUE(KeyExists(std::string(registration::kHostKey) + "\\Addins"));
  EXPECT_EQ(SharedKeys(), sharedBefore) << "unregistering changed the shared interface key";
}

// Unregistering removes what is left of this copy's keys, whichever are
// gone already (the editor's add-in list deletes its record, say), and never
// the keys of the copy registered from another file. A copy named by its
// short (8.3) path is the same copy.
TEST(Registration, UnregisteringRemovesWhatIsLeftOfThisCopysKeysOnly) {
  wchar_t temporary[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temporary);
  const std::wstring folder =
      std::wstring(temporary) + L"Tervane second copy " + std::to_wstring(::GetCurrentProcessId());
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring second = folder + L"\\Tervane.dll";
  ASSERT_TRUE(::CopyFileW(AddInPath().c_str(), second.c_str(), FALSE));
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_NE(::GetShortPathNameW(second.c_str(), shortName, MAX_PATH), 0u);
  ASSERT_NE(std::wstring(shortName), second);

  const std::vector<std::string> ours = registration::OwnedKeys();
  const std::string clsid = ours[0];
  struct Case {
    const char* what;
    std::wstring registered, unregistered;
    std::vector<std::string> gone;  // before unregistering
    bool stay;
  };
  const Case cases[] = {
      {"every key there", AddInPath(), AddInPath(), {}, false},
      {"the editor's record gone", AddInPath(), AddInPath(), {registration::AddInKey()}, false},
      {"the class gone", AddInPath(), AddInPath(), {clsid}, false},
      {"the server key gone", AddInPath(), AddInPath(), {clsid + "\\InprocServer32"}, false},
      {"only the record left",
       AddInPath(),
       AddInPath(),
       {ours[0], ours[1], ours[2], ours[3]},
       false},
      {"every key gone", AddInPath(), AddInPath(), ours, false},
      {"by its short path", second, shortName, {}, false},
      {"another copy", AddInPath(), second, {}, true},
      {"another copy, its record gone", AddInPath(), second, {registration::AddInKey()}, true},
      {"the installed copy elsewhere", second, AddInPath(), {}, true},
  };
  const auto snapshot = [&] {
    std::map<std::wstring, std::wstring> keys;
    for (const std::string& key : ours) {
      if (KeyExists(key)) keys[Widen(key)] = L"";
      Snapshot(HKEY_CURRENT_USER, Widen(key), keys);
    }
    return keys;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunRegsvr32(L"/u");
    ASSERT_EQ(RunRegsvr32(L"", c.registered), 0u);
    for (const std::string& key : c.gone) ::SHDeleteKeyW(HKEY_CURRENT_USER, Widen(key).c_str());
    const auto before = snapshot();
    EXPECT_EQ(RunRegsvr32(L"/u", c.unregistered), 0u);
    if (c.stay) {
      EXPECT_EQ(snapshot(), before);
    } else {
      for (const std::string& key : ours) EXPECT_FALSE(KeyExists(key)) << key << " left behind";
    }
    RunRegsvr32(L"/u", c.registered);
  }
  ::DeleteFileW(second.c_str());
  ::RemoveDirectoryW(folder.c_str());
}

// A registration that fails half-way (a key it must fill is volatile, so
// that no lasting key goes below it) takes back only what it wrote.
TEST(Registration, AFailedRegistrationLeavesTheRegistryAsItWas) {
  const std::wstring iface =
      Widen(kClasses + "Interface\\" + std::string(registration::kDefaultInterfaceId));
  const std::vector<std::wstring> ours = {
      Widen(kClasses + "CLSID\\" + std::string(registration::kClassId)),
      Widen(kClasses + std::string(registration::kProgId)),
      Widen(kClasses + "TypeLib\\" + std::string(registration::kTypeLibraryId)),
      iface,
      Widen(registration::AddInKey()),
  };
  const auto snapshot = [&] {
    std::map<std::wstring, std::wstring> keys;
    for (const std::wstring& key : ours) {
      if (KeyExists(Narrow(key))) keys[key] = L"";
      Snapshot(HKEY_CURRENT_USER, key, keys);
    }
    return keys;
  };
  for (const bool earlier : {true, false}) {
    SCOPED_TRACE(earlier ? "over an earlier registration" : "with nothing before");
    RunRegsvr32(L"/u");
    if (earlier) {
      ASSERT_EQ(RunRegsvr32(), 0u);
    }
    ::SHDeleteKeyW(HKEY_CURRENT_USER, iface.c_str());
    UniqueKey obstacle;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, iface.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_SET_VALUE, nullptr, obstacle.put(), nullptr),
              ERROR_SUCCESS);
    const auto before = snapshot();
    EXPECT_NE(RunRegsvr32(), 0u);
    EXPECT_EQ(snapshot(), before);
  }
  RunRegsvr32(L"/u");
}

class DllResources : public ::testing::Test {
 protected:
  DllResources()
      : module_(::LoadLibraryExW(AddInPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}

  std::string Resource(const wchar_t* type, WORD id) {
    HRSRC found = ::FindResourceW(module_.get(), MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    const char* data =
        static_cast<const char*>(::LockResource(::LoadResource(module_.get(), found)));
    return std::string(data, ::SizeofResource(module_.get(), found));
  }

  win32::UniqueModule module_;
};

TEST_F(DllResources, CarryTheTypeLibraryTheInterfaceResourceAndTheIcon) {
  ASSERT_TRUE(module_);
  EXPECT_EQ(Resource(L"TYPELIB", 1).substr(0, 4), "MSFT");

  const auto expected = registration::DesignerInterfaceResource();
  EXPECT_EQ(Resource(L"_IID_ADDINDESIGNER1", 1), std::string(expected.begin(), expected.end()));

  // The window's icon: one 32x32 and one 16x16 image, 16 colours each.
  const std::string group = Resource(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, 101);
  ASSERT_GE(group.size(), 6u + 2 * 14u);
  ASSERT_EQ(group[4], 2);
  std::vector<std::pair<int, int>> images;  // size, colours
  for (int i = 0; i < 2; ++i) {
    const unsigned char* entry = reinterpret_cast<const unsigned char*>(group.data()) + 6 + 14 * i;
    images.emplace_back(entry[0], entry[2]);
  }
  EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{32, 16}, {16, 16}}));
}

// The library of a windowed program is made for the GUI subsystem.
TEST_F(DllResources, AreThoseOfALibraryForTheGuiSubsystem) {
  std::ifstream image(std::filesystem::path(AddInPath()), std::ios::binary);
  std::vector<char> header(4096);
  image.read(header.data(), static_cast<std::streamsize>(header.size()));
  const auto word = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(header.at(at))) |
           static_cast<unsigned>(static_cast<unsigned char>(header.at(at + 1))) << 8;
  };
  const std::size_t pe = word(0x3C);
  ASSERT_EQ(std::string(header.data() + pe, 4), std::string("PE\0\0", 4));
  // The subsystem lies 68 bytes into the optional header, after the file header.
  EXPECT_EQ(word(pe + 4 + 20 + 68), unsigned{IMAGE_SUBSYSTEM_WINDOWS_GUI});
}

// "#16/#1" for RT_VERSION 1, "TYPELIB/#1" for a named type.
std::wstring ResourceName(LPCWSTR type, LPCWSTR name) {
  const auto text = [](LPCWSTR id) {
    return IS_INTRESOURCE(id) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(id))
                              : std::wstring(id);
  };
  return text(type) + L"/" + text(name);
}

using LanguagesByResource = std::map<std::wstring, std::vector<WORD>>;

BOOL CALLBACK NoteLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR found) {
  (*reinterpret_cast<LanguagesByResource*>(found))[ResourceName(type, name)].push_back(language);
  return TRUE;
}

BOOL CALLBACK NoteName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  ::EnumResourceLanguagesW(module, type, name, NoteLanguage, found);
  return TRUE;
}

BOOL CALLBACK NoteType(HMODULE module, LPWSTR type, LONG_PTR found) {
  ::EnumResourceNamesW(module, type, NoteName, found);
  return TRUE;
}

TEST_F(DllResources, AreAllStoredInJapanese) {
  ASSERT_TRUE(module_);
  LanguagesByResource languages;
  ::EnumResourceTypesW(module_.get(), NoteType, reinterpret_cast<LONG_PTR>(&languages));
  const std::vector<WORD> japanese = {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)};
  EXPECT_EQ(languages[L"#16/#1"], japanese) << "the version block";
  EXPECT_GE(languages.size(), 5u);  // version, type library, interface, icon group and images
  for (const auto& [resource, stored] : languages) EXPECT_EQ(stored, japanese) << Narrow(resource);
}

TEST_F(DllResources, TypeLibraryDescribesTheConnectionClass) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(::LoadTypeLibEx(AddInPath().c_str(), REGKIND_NONE, &library), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, com::kLibidTervane);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attributes);
  BSTR name = nullptr;
  BSTR help = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_EQ(std::wstring(name), L"Tervane");
  EXPECT_EQ(std::wstring(help), L"Tervane");
  ::SysFreeString(name);
  ::SysFreeString(help);

  ComPtr<ITypeInfo> extensibility;
  ASSERT_EQ(library->GetTypeInfoOfGuid(com::kIidExtensibility2, &extensibility), S_OK);
  const std::vector<std::pair<const wchar_t*, DISPID>> members = {
      {L"OnConnection", 1},      {L"OnDisconnection", 2}, {L"OnAddInsUpdate", 3},
      {L"OnStartupComplete", 4}, {L"OnBeginShutdown", 5},
  };
  for (const auto& [member, id] : members) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    DISPID found = DISPID_UNKNOWN;
    EXPECT_EQ(extensibility->GetIDsOfNames(names, 1, &found), S_OK) << Narrow(member);
    EXPECT_EQ(found, id) << Narrow(member);
  }

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(library->GetTypeInfoOfGuid(com::kClsidAddInDesigner1, &coclass), S_OK);
  std::map<std::wstring, int> implemented;  // interface name, flags
  TYPEATTR* classAttributes = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&classAttributes), S_OK);
  for (UINT i = 0; i < classAttributes->cImplTypes; ++i) {
    HREFTYPE reference = 0;
    INT flags = 0;
    ComPtr<ITypeInfo> implementedInfo;
    coclass->GetRefTypeOfImplType(i, &reference);
    coclass->GetImplTypeFlags(i, &flags);
    coclass->GetRefTypeInfo(reference, &implementedInfo);
    BSTR interfaceName = nullptr;
    implementedInfo->GetDocumentation(MEMBERID_NIL, &interfaceName, nullptr, nullptr, nullptr);
    implemented[interfaceName] = flags;
    ::SysFreeString(interfaceName);
  }
  coclass->ReleaseTypeAttr(classAttributes);
  EXPECT_EQ(implemented, (std::map<std::wstring, int>{{L"_AddInDesigner1", IMPLTYPEFLAG_FDEFAULT},
                                                      {L"IDTExtensibility2", 0}}));
}

// The add-in, its installer and TervaneWindow.exe carry the one version, in
// Japanese.
TEST(VersionBlock, CarriesTheOneVersionInJapanese) {
  struct Binary {
    std::wstring path;
    DWORD fileType;
    std::vector<std::pair<std::string, std::string>> strings;
    std::string descriptionStart;
  };
  // All are built into the test program's folder.
  const auto beside = [](const wchar_t* name) {
    std::wstring path = AddInPath();
    return path.replace(path.rfind(L"Tervane.dll"), std::wstring::npos, name);
  };
  const Binary binaries[] = {
      {AddInPath(),
       VFT_DLL,
       {{"InternalName", "Tervane"},
        {"OriginalFilename", "Tervane.dll"},
        {"ProductName", std::string(texts::kAppTitle)},
        {"OLESelfRegister", ""}},
       "ディレクトリにあるファイルへのハイパーリンクを作成するツールです。"},
      {beside(L"TervaneSetup.exe"),
       VFT_APP,
       {{"InternalName", "TervaneSetup"},
        {"OriginalFilename", "TervaneSetup.exe"},
        {"ProductName", std::string(texts::kAppTitle)}},
       "Tervane SETUP"},
      {beside(L"TervaneWindow.exe"),
       VFT_APP,
       {{"InternalName", "TervaneWindow"},
        {"OriginalFilename", "TervaneWindow.exe"},
        {"ProductName", std::string(texts::kAppTitle)}},
       std::string(texts::kAppTitle)},
  };
  constexpr DWORD kMajorMinor = (TERVANE_VERSION_MAJOR << 16) | TERVANE_VERSION_MINOR;
  constexpr DWORD kPatch = TERVANE_VERSION_PATCH << 16;
  for (const Binary& binary : binaries) {
    SCOPED_TRACE(Narrow(binary.path));
    DWORD handle = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(binary.path.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(binary.path.c_str(), 0, static_cast<DWORD>(block.size()),
                                      block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, kMajorMinor);
    EXPECT_EQ(fixed->dwFileVersionLS, kPatch);
    EXPECT_EQ(fixed->dwProductVersionMS, kMajorMinor);
    EXPECT_EQ(fixed->dwProductVersionLS, kPatch);
    EXPECT_EQ(fixed->dwFileType, binary.fileType);

    const auto value = [&](const std::string& name) -> std::optional<std::string> {
      wchar_t* text = nullptr;
      UINT size = 0;
      const std::wstring query = L"\\StringFileInfo\\041104B0\\" + Widen(name);
      if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &size)) {
        return std::nullopt;
      }
      return Narrow(std::wstring(text, size > 0 ? wcsnlen(text, size) : 0));
    };
    EXPECT_EQ(value("FileVersion"), TERVANE_FILE_VERSION_TEXT);
    EXPECT_EQ(value("ProductVersion"), TERVANE_FILE_VERSION_TEXT);
    for (const auto& [name, expected] : binary.strings) EXPECT_EQ(value(name), expected) << name;
    EXPECT_EQ(value("FileDescription").value_or("").rfind(binary.descriptionStart, 0), 0u);
  }
}

}  // namespace
}  // namespace tervane::testing
