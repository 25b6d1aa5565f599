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

/// Finds the add-in's button on the Tools bar by its tag, or appends one
/// (caption, tag, caption-only style, action "!<ProgId>"); a button found is
/// reused as it is. Any failure is shown once with ReportAddInError and gives
/// nullptr. The caller keeps the host application for RemoveToolsMenuButton,
/// one per connection object: two objects in one editor must not remove each
/// other's buttons.
std::unique_ptr<CommandBarControl> AddToolsMenuButton(HostApplication& application, int connectMode,
                                                      AddInInstance& addInInst,
                                                      MessageBoxes& boxes);

/// On a user's unload (remove mode 1), deletes every control of the Tools bar
/// of `hostApp` tagged "Tervane". Each failing step is skipped; nothing is
/// reported. No host (no connection): nothing happens.
void RemoveToolsMenuButton(HostApplication* hostApp, int removeMode);

/// The common error report: the add-in, the error number and its
/// description, titled "Error!", with an OK button and no icon.
void ReportAddInError(MessageBoxes& boxes, std::int32_t number, std::string_view description);

/// ReportAddInError for the exception being handled.
void ReportCurrentException(MessageBoxes& boxes);

}  // namespace tervane::modSharedCode
