#include "window/failure_reason.h"

#include <exception>
#include <optional>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"
#include "addin/platform/system_error_texts.h"
#include "window/window_texts.h"

namespace tervane::window {
namespace {

// What a description begins with when it names the page: "Cannot read
// <path>: ", "Cannot write <path>: ", "Cannot insert into <path>: ". The
// path holds no ": " (a drive's colon is followed by "\").
std::string_view AfterPath(std::string_view failure) {
  for (const std::string_view lead : {"Cannot read ", "Cannot write ", "Cannot insert into "}) {
    if (!failure.starts_with(lead)) continue;
    const std::size_t colon = failure.find(": ", lead.size());
    if (colon != std::string_view::npos) return failure.substr(colon + 2);
  }
  return failure;
}

}  // namespace

std::string JapaneseReason(std::string_view failure, std::uint32_t systemCode) {
  const std::string_view reason = AfterPath(failure);
  const std::optional<std::string_view> cause = tervane::texts::SystemErrorReason(systemCode);
  for (const texts::ReasonText& row : texts::kReasons) {
    const std::size_t at = reason.find(row.english);
    if (at == std::string_view::npos) continue;
    std::string told(row.japanese);
    if (const std::size_t slot = told.find("{}"); slot != std::string::npos) {
      const std::size_t open = reason.find(" (", at);
      const std::size_t close = reason.find(')', open);
      const std::string_view name =
          open == std::string_view::npos || close == std::string_view::npos
              ? std::string_view()
              : reason.substr(open + 2, close - open - 2);
      told.replace(slot, 2, name);
    }
    const std::size_t colon = reason.find(": ", at);
    if (row.detail && cause) {
      told += " (" + std::string(*cause) + ")";
    } else if (row.detail && colon != std::string_view::npos) {
      told += " (" + std::string(reason.substr(colon + 2)) + ")";
    }
    return told;
  }
  if (cause) return std::string(*cause);
  return std::string(reason);
}

MsgAnswer ReasonBoxes::Show(const MessageBoxRequest& request) {
  if (request.icon != MsgIcon::kStop || request.text != tervane::texts::kDialogFailure) {
    return boxes_.Show(request);
  }
  std::string reason;
  if (const std::exception_ptr failure = std::current_exception()) {
    try {
      std::rethrow_exception(failure);
    } catch (const Error& e) {
      reason = JapaneseReason(e.what(), e.SystemCode());
    } catch (const std::exception& e) {
      reason = JapaneseReason(e.what());
    } catch (...) {
      // A failure without a description: the first line alone.
    }
  }
  MessageBoxRequest told = request;
  if (!reason.empty()) told.text += "\r\n" + reason;
  return boxes_.Show(told);
}

}  // namespace tervane::window
