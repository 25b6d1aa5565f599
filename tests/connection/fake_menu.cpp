#include "tests/connection/fake_menu.h"

#include "addin/platform/error.h"

namespace tervane::testing {
namespace {

class Hook : public EventHook {
 public:
  Hook(std::shared_ptr<FakeControl> control, std::function<void()> onClick)
      : control_(std::move(control)), onClick_(std::move(onClick)) {
    control_->clickHandlers.push_back(&onClick_);
  }
  ~Hook() override { std::erase(control_->clickHandlers, &onClick_); }

 private:
  std::shared_ptr<FakeControl> control_;
  std::function<void()> onClick_;
};

class Control : public CommandBarControl {
 public:
  explicit Control(std::shared_ptr<FakeControl> control) : control_(std::move(control)) {}
  bool IsButton() override { return control_->type == 1; }
  std::string Tag() override {
    if (control_->tagUnreadable) throw Error(kErrInvalidCall, "Tag cannot be read");
    return control_->tag;
  }
  void SetTag(std::string_view tag) override { control_->tag = tag; }
  void SetCaption(std::string_view caption) override { control_->caption = caption; }
  void SetOnAction(std::string_view action) override { control_->action = action; }
  void SetStyle(int style) override {
    if (control_->type != 1) throw Error(kErrInvalidCall, "Not a button");
    control_->style = style;
  }
  void Delete() override {
    if (control_->deleteRefused) throw Error(kErrInvalidCall, "Delete refused");
    control_->deleted = true;
  }
  std::unique_ptr<EventHook> HookClick(std::function<void()> onClick) override {
    if (control_->type != 1) throw Error(kErrInvalidCall, "Not a button");
    if (control_->clickRefused) throw Error(kErrInvalidCall, "Advise refused");
    return std::make_unique<Hook>(control_, std::move(onClick));
  }

 private:
  std::shared_ptr<FakeControl> control_;
};

class Bar : public CommandBar {
 public:
  explicit Bar(std::vector<std::shared_ptr<FakeControl>>& controls) : controls_(controls) {}
  std::unique_ptr<CommandBarControl> FindControl(std::string_view tag) override {
    for (const auto& control : controls_) {
      if (!control->deleted && control->tag == tag) return std::make_unique<Control>(control);
    }
    return nullptr;
  }
  std::unique_ptr<CommandBarControl> AddControl(int type, std::string_view parameter) override {
    auto control = std::make_shared<FakeControl>();
    control->type = type;
    control->parameter = parameter;
    controls_.push_back(control);
    return std::make_unique<Control>(control);
  }
  std::vector<std::unique_ptr<CommandBarControl>> Controls() override {
    std::vector<std::unique_ptr<CommandBarControl>> all;
    for (const auto& control : controls_) {
      if (!control->deleted) all.push_back(std::make_unique<Control>(control));
    }
    return all;
  }

 private:
  std::vector<std::shared_ptr<FakeControl>>& controls_;
};

}  // namespace

std::vector<std::shared_ptr<FakeControl>>& FakeHost::AddBar(const std::string& name) {
  return bars_[name];
}

std::vector<std::shared_ptr<FakeControl>> FakeHost::Live(const std::string& bar) {
  std::vector<std::shared_ptr<FakeControl>> live;
  for (const auto& control : bars_.at(bar)) {
    if (!control->deleted) live.push_back(control);
  }
  return live;
}

void FakeHost::Click(FakeControl& control) {
  // Copies, as an event source holds its sinks: a handler may unhook itself.
  std::vector<std::function<void()>> handlers;
  for (auto* handler : control.clickHandlers) handlers.push_back(*handler);
  for (const auto& handler : handlers) handler();
}

std::unique_ptr<CommandBar> FakeHost::CommandBars(std::string_view name) {
  const auto found = bars_.find(name);
  if (found == bars_.end()) throw Error(kErrInvalidCall, "Invalid procedure call or argument");
  return std::make_unique<Bar>(found->second);
}

}  // namespace tervane::testing
