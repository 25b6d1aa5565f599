#include "window/page_guard.h"

#include <string>

#include "addin/dialog/linkaddress/texts.h"

namespace tervane::window {

void PageGuard::GetPageInfo_Click() {
  if (PageIsOpen()) dialog_.GetPageInfo_Click();
}

void PageGuard::OKButton_Click() {
  if (PageIsOpen()) dialog_.OKButton_Click();
}

void PageGuard::ReverseExistLink_Click() {
  if (PageIsOpen()) dialog_.ReverseExistLink_Click();
}

bool PageGuard::PageIsOpen() {
  if (editor_.ActivePageWindow()) return true;
  boxes_.Show({std::string(tervane::texts::kNoPageOpen), std::string(tervane::texts::kAppTitle),
               MsgButtons::kOk, MsgIcon::kNone});
  return false;
}

}  // namespace tervane::window
