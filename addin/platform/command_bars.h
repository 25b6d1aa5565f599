// The host editor's objects that the connection code uses: the application
// with its command bars, the Tools bar, its controls, and the add-in
// instance. The Win32 layer reaches them late-bound through IDispatch; tests
// use an in-memory menu.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

/// A live subscription to an event; dropping it unhooks the handler.
class EventHook {
 public:
  virtual ~EventHook() = default;
};

/// A control of a command bar. The setters of a button (style) fail on other
/// kinds of control.
class CommandBarControl {
 public:
  virtual ~CommandBarControl() = default;
  /// Whether the control is a command bar button, the only kind that has a
  /// style and raises Click.
  virtual bool IsButton() = 0;
  virtual std::string Tag() = 0;
  virtual void SetTag(std::string_view tag) = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual void SetOnAction(std::string_view action) = 0;
  virtual void SetStyle(int style) = 0;
  virtual void Delete() = 0;
  /// Calls `onClick` each time the user chooses the control, until the
  /// returned hook is dropped. Fails when the control is not a button.
  virtual std::unique_ptr<EventHook> HookClick(std::function<void()> onClick) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  /// The first control with this tag (the host's defaults for everything
  /// else), or nullptr.
  virtual std::unique_ptr<CommandBarControl> FindControl(std::string_view tag) = 0;
  /// Appends a permanent control of `type` (1: button) with `parameter`.
  virtual std::unique_ptr<CommandBarControl> AddControl(int type, std::string_view parameter) = 0;
  /// Every control of the bar, in menu order. A control that the host fails
  /// to hand over is left out and the others still come.
  virtual std::vector<std::unique_ptr<CommandBarControl>> Controls() = 0;
};

class HostApplication {
 public:
  virtual ~HostApplication() = default;
  /// The command bar of that name. Error when there is none.
  virtual std::unique_ptr<CommandBar> CommandBars(std::string_view name) = 0;
};

class AddInInstance {
 public:
  virtual ~AddInInstance() = default;
  virtual std::string ProgId() = 0;
};

}  // namespace tervane
