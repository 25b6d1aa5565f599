// What the connection code shares: the Tools menu button and the common error
// report.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "addin/platform/command_bars.h"
#include "addin/platform/message_box.h"

namespace tervane::modSharedCode {

inline constexpr std::string_view kToolsBar = "Tools";
inline constexpr std::string_view kButtonTag = "Tervane";
inline constexpr std::string_view kButtonCaption = "フォルダからハイパーリンクを作成(&M)";
inline constexpr int kControlTypeButton = 1;
inline constexpr int kButtonStyleCaption = 2;
/// The remove mode of a user's unload; a host shut-down gives 0.
inline constexpr int kRemoveModeUserUnload = 1;

/// The host application given at connection, for RemoveToolsMenuButton.
extern std::shared_ptr<HostApplication> p_mobjHostApp;

/// Finds the add-in's button on the Tools bar by its tag, or appends one
/// (caption, tag, caption-only style, action "!<ProgId>"); a button found is
/// reused as it is. Any failure is shown once with ReportAddInError and gives
/// nullptr. The host application is kept even then.
std::unique_ptr<CommandBarControl> AddToolsMenuButton(std::shared_ptr<HostApplication> application,
                                                      int connectMode, AddInInstance& addInInst,
                                                      MessageBoxes& boxes);

/// On a user's unload (remove mode 1), deletes every control of the Tools bar
/// tagged "Tervane". Each failing step is skipped; nothing is reported.
void RemoveToolsMenuButton(int removeMode);

/// The common error report: the add-in, the error number and its
/// description, titled "Error!", with an OK button and no icon.
void ReportAddInError(MessageBoxes& boxes, std::int32_t number, std::string_view description);

/// ReportAddInError for the exception being handled.
void ReportCurrentException(MessageBoxes& boxes);

}  // namespace tervane::modSharedCode
