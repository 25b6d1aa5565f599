#include "addin/dialog/linkaddress/messages.h"

#include <initializer_list>

#include "addin/dialog/linkaddress/texts.h"

namespace tervane {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) joined += part;
  return joined;
}

}  // namespace

std::string DriveNotReadyMessage(std::string_view driveLetter, int driveType) {
  const std::string_view typeText =
      driveType >= 0 && driveType < static_cast<int>(texts::kDriveTypes.size())
          ? texts::kDriveTypes[static_cast<std::size_t>(driveType)]
          : std::string_view{};
  return Join({texts::kDrivePrefix, driveLetter, texts::kDriveLetterSuffix, typeText, kLineBreak,
               texts::kDriveNotReady});
}

std::string CompletionMessage(std::string_view title, std::string_view url, std::size_t added) {
  return Join({texts::kActivePage, title, texts::kUrlOpen, url, texts::kLinksAdded, kLineBreak,
               kLineBreak, std::to_string(added), texts::kItemsAdded});
}

std::string InspectionMessage(std::string_view title, std::string_view url,
                              std::string_view folderAddress, std::size_t found) {
  std::string message =
      Join({texts::kActivePage, title, texts::kUrlOpen, url, texts::kLinksInspected, kLineBreak,
            kLineBreak, texts::kReferenceFolder, folderAddress});
  if (found == 0) return message + std::string{texts::kNoLinks};
  return message + Join({texts::kFilesLinked, std::to_string(found), texts::kFilesLinkedCount});
}

std::string PageInfoMessage(std::string_view title, std::string_view url) {
  return Join({texts::kPageInfoHeading, kLineBreak, texts::kPageInfoTitle, title, kLineBreak,
               texts::kPageInfoUrl, url});
}

std::string AddInErrorReport(std::int32_t number, std::string_view description) {
  return Join({texts::kErrorReportLead, texts::kAppTitle, texts::kErrorReportLeadEnd, kLineBreak,
               texts::kErrorNumber, std::to_string(number), kLineBreak, description});
}

}  // namespace tervane
