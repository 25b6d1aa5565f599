// An editor's Tools menu in memory: command bars whose controls record what
// the add-in sets, and whose buttons can be clicked.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/platform/command_bars.h"

namespace tervane::testing {

struct FakeControl {
  /// 1 is a button; any other type is some other kind of control.
  int type = 1;
  std::string parameter;
  std::string caption;
  std::string tag;
  std::string action;
  int style = 0;
  bool deleted = false;
  bool tagUnreadable = false;
  bool deleteRefused = false;
  /// The button's event source refuses a handler.
  bool clickRefused = false;
  std::vector<std::function<void()>*> clickHandlers;
};

class FakeHost : public HostApplication {
 public:
  /// A bar of that name with the given controls.
  std::vector<std::shared_ptr<FakeControl>>& AddBar(const std::string& name);
  std::vector<std::shared_ptr<FakeControl>> Live(const std::string& bar);
  void Click(FakeControl& control);

  std::unique_ptr<CommandBar> CommandBars(std::string_view name) override;

 private:
  std::map<std::string, std::vector<std::shared_ptr<FakeControl>>, std::less<>> bars_;
};

class FakeAddInInstance : public AddInInstance {
 public:
  std::string ProgId() override { return "Tervane.AddInDesigner1"; }
};

}  // namespace tervane::testing
