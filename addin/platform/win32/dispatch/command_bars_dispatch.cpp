#include "addin/platform/win32/dispatch/command_bars_dispatch.h"

#include "addin/platform/error.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/dispatch/click_sink.h"
#include "addin/platform/win32/dispatch/host_identifiers.h"
#include "addin/platform/win32/dispatch/late_binding.h"

namespace tervane::win32 {
namespace {

using Microsoft::WRL::ComPtr;

class DispatchControl final : public CommandBarControl {
 public:
  DispatchControl(ComPtr<IDispatch> control, EventOwner* owner)
      : control_(std::move(control)), owner_(owner) {}

  // The object the host hands over for any control speaks IDispatch; only a
  // button also answers to the button interface.
  bool IsButton() override {
    ComPtr<IUnknown> button;
    const HRESULT hr = control_->QueryInterface(kIidCommandBarButton,
                                                reinterpret_cast<void**>(button.GetAddressOf()));
    if (hr == E_NOINTERFACE) return false;
    ThrowIfFailed(hr, "QueryInterface(CommandBarButton)");
    return true;
  }
  std::string Tag() override { return Get(control_.Get(), "Tag").ToString(); }
  void SetTag(std::string_view tag) override { Put(control_.Get(), "Tag", Variant::String(tag)); }
  void SetCaption(std::string_view caption) override {
    Put(control_.Get(), "Caption", Variant::String(caption));
  }
  void SetOnAction(std::string_view action) override {
    Put(control_.Get(), "OnAction", Variant::String(action));
  }
  void SetStyle(int style) override { Put(control_.Get(), "Style", Variant::Int(style)); }
  void Delete() override { Call(control_.Get(), "Delete"); }
  std::unique_ptr<EventHook> HookClick(std::function<void()> onClick) override {
    return HookButtonClick(control_.Get(), std::move(onClick), owner_);
  }

 private:
  ComPtr<IDispatch> control_;
  EventOwner* owner_;
};

std::unique_ptr<CommandBarControl> ControlOrNothing(const Variant& value, EventOwner* owner) {
  ComPtr<IDispatch> control = value.ToDispatch();
  if (!control) return nullptr;
  return std::make_unique<DispatchControl>(std::move(control), owner);
}

class DispatchCommandBar final : public CommandBar {
 public:
  DispatchCommandBar(ComPtr<IDispatch> bar, EventOwner* owner)
      : bar_(std::move(bar)), owner_(owner) {}

  // FindControl(Type, Id, Tag, Visible, Recursive): only the tag is given.
  std::unique_ptr<CommandBarControl> FindControl(std::string_view tag) override {
    return ControlOrNothing(Get(bar_.Get(), "FindControl",
                                {Variant::Missing(), Variant::Missing(), Variant::String(tag)}),
                            owner_);
  }

  // Controls.Add(Type, Id, Parameter, Before, Temporary): no position, and
  // not temporary, so the control stays in the menu.
  std::unique_ptr<CommandBarControl> AddControl(int type, std::string_view parameter) override {
    const ComPtr<IDispatch> controls = RequireObject(Get(bar_.Get(), "Controls"), "Controls");
    std::unique_ptr<CommandBarControl> control =
        ControlOrNothing(Get(controls.Get(), "Add",
                             {Variant::Int(type), Variant::Missing(), Variant::String(parameter)}),
                         owner_);
    if (!control) throw Error(kErrObjectNotSet, "Controls.Add returned no control");
    return control;
  }

  std::vector<std::unique_ptr<CommandBarControl>> Controls() override {
    const ComPtr<IDispatch> controls = RequireObject(Get(bar_.Get(), "Controls"), "Controls");
    const std::int32_t count = Get(controls.Get(), "Count").ToInt();
    // Every control is fetched before the caller acts on any of them: a
    // deleted control would shift the indexes of those after it.
    std::vector<std::unique_ptr<CommandBarControl>> all;
    for (std::int32_t i = 1; i <= count; ++i) {
      try {
        std::unique_ptr<CommandBarControl> control =
            ControlOrNothing(Get(controls.Get(), "Item", {Variant::Int(i)}), owner_);
        if (control) all.push_back(std::move(control));
      } catch (const Error&) {
        // This one control is left out; the rest still come.
      }
    }
    return all;
  }

 private:
  ComPtr<IDispatch> bar_;
  EventOwner* owner_;
};

class DispatchHostApplication final : public HostApplication {
 public:
  DispatchHostApplication(ComPtr<IDispatch> application, EventOwner* owner)
      : application_(std::move(application)), owner_(owner) {}

  std::unique_ptr<CommandBar> CommandBars(std::string_view name) override {
    const ComPtr<IDispatch> bars =
        RequireObject(Get(application_.Get(), "CommandBars"), "CommandBars");
    return std::make_unique<DispatchCommandBar>(
        RequireObject(Get(bars.Get(), "Item", {Variant::String(name)}), "CommandBars"), owner_);
  }

 private:
  ComPtr<IDispatch> application_;
  EventOwner* owner_;
};

class DispatchAddInInstance final : public AddInInstance {
 public:
  explicit DispatchAddInInstance(ComPtr<IDispatch> addInInst) : addInInst_(std::move(addInInst)) {}
  std::string ProgId() override { return Get(addInInst_.Get(), "ProgId").ToString(); }

 private:
  ComPtr<IDispatch> addInInst_;
};

}  // namespace

std::shared_ptr<HostApplication> MakeDispatchHostApplication(ComPtr<IDispatch> application,
                                                             EventOwner* owner) {
  return std::make_shared<DispatchHostApplication>(std::move(application), owner);
}

std::unique_ptr<AddInInstance> MakeDispatchAddInInstance(ComPtr<IDispatch> addInInst) {
  return std::make_unique<DispatchAddInInstance>(std::move(addInInst));
}

}  // namespace tervane::win32
