#include "window/failure_reason.h"

#include <exception>

#include "addin/dialog/linkaddress/texts.h"
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

std::string JapaneseReason(std::string_view failure) {
  const std::string_view reason = AfterPath(failure);
  for (const texts::ReasonText& row : texts::kReasons) {
    const std::size_t at = reason.find(row.english);
    if (at == std::string_view::npos) continue;
    std::string told(row.japanese);
    const std::size_t colon = reason.find(": ", at);
    if (row.detail && colon != std::string_view::npos) {
      told += " (" + std::string(reason.substr(colon + 2)) + ")";
    }
    return told;
  }
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
