// The messages of the link builder and of the connection code, composed from
// their fixed texts (texts.h) and the values of one run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

/// "ドライブ " + letter + ": - " + type text + "\r\n" + "ドライブの準備ができていません。"
/// The type text is empty for a type code outside 0 to 5.
std::string DriveNotReadyMessage(std::string_view driveLetter, int driveType);

/// The completion message of link creation (three lines, the middle empty).
std::string CompletionMessage(std::string_view title, std::string_view url, std::size_t added);

/// The result message of existing-link inversion.
std::string InspectionMessage(std::string_view title, std::string_view url,
                              std::string_view folderAddress, std::size_t found);

/// The page information shown by the "クリア(&R)" button.
std::string PageInfoMessage(std::string_view title, std::string_view url);

/// The common error report of the connection code: a sentence naming the
/// add-in, "Error #:" with the number, and the description, on three lines.
std::string AddInErrorReport(std::int32_t number, std::string_view description);

}  // namespace tervane
