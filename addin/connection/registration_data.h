// How the add-in library presents itself to the system and to the editor:
// its identifiers and the record under which the editor finds the add-in.
// Registration, the type library and the tests all read these constants.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::registration {

inline constexpr std::string_view kLibraryName = "Tervane";
inline constexpr std::string_view kLibraryDescription = "Tervane";
inline constexpr std::string_view kClassName = "AddInDesigner1";
/// Library name, ".", class name: what the editor reports as ProgId.
inline constexpr std::string_view kProgId = "Tervane.AddInDesigner1";
inline constexpr std::string_view kFileName = "Tervane.dll";

inline constexpr std::string_view kTypeLibraryId = "{F179B379-7382-4586-AAAC-5EA485932431}";
inline constexpr std::string_view kTypeLibraryVersion = "1.0";
inline constexpr std::string_view kClassId = "{8A1BBF72-5C3E-49B1-B50E-064EEAFF4FAF}";
/// The class's own default interface, _AddInDesigner1.
inline constexpr std::string_view kDefaultInterfaceId = "{BC0A4F63-A2B4-4F3A-8F76-D37CDF301A85}";
inline constexpr std::string_view kDefaultInterfaceName = "_AddInDesigner1";
/// IDTExtensibility2: shared by every add-in on the machine. Its registry
/// key belongs to the add-in designer library and is never written here.
inline constexpr std::string_view kExtensibilityInterfaceId =
    "{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}";
inline constexpr std::string_view kDesignerLibraryId = "{AC0714F2-3D04-11D1-AE7D-00A0C90F26F4}";
inline constexpr std::string_view kDesignerClassId = "{AC0714F7-3D04-11D1-AE7D-00A0C90F26F4}";
inline constexpr std::string_view kThreadingModel = "Apartment";

/// The editor's add-in record, under HKEY_CURRENT_USER.
inline constexpr std::string_view kHostKey = "Software\\Microsoft\\Office\\FrontPage";
inline constexpr std::string_view kFriendlyName = "Tervane";
inline constexpr std::string_view kDescription = "COM Add-in for Frontpage2000\r\nTervane\r\n";
/// Connect at the editor's next start.
inline constexpr std::uint32_t kLoadBehavior = 16;
/// The add-in shows user interface.
inline constexpr std::uint32_t kCommandLineSafe = 0;

/// kHostKey + "\Addins\" + kProgId, relative to HKEY_CURRENT_USER.
std::string AddInKey();

/// The keys, relative to HKEY_CURRENT_USER, that registration creates and
/// unregistration deletes with everything below them: the class, its
/// programmatic identifier, the type library, the class's own interface and
/// the editor's add-in record. Never the shared IDTExtensibility2 key.
std::vector<std::string> OwnedKeys();

/// The contents of the "_IID_ADDINDESIGNER1" resource: the count 16, then the
/// default interface's identifier as a GUID is laid out in memory.
std::array<std::uint8_t, 20> DesignerInterfaceResource();

}  // namespace tervane::registration
