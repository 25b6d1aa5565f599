// The object that a window or an event sink works for. Message boxes and COM
// calls pump messages, so the host may release its object while one of that
// object's events runs in a nested loop; the owner is told of each event so
// that it stays alive, and keeps its parts, until the event has ended.
#pragma once

namespace tervane::win32 {

class EventOwner {
 public:
  virtual void EventStarted() noexcept = 0;
  /// May destroy the owner: nothing of it is touched afterwards.
  virtual void EventEnded() noexcept = 0;

 protected:
  ~EventOwner() = default;
};

/// Tells `owner` (if any) of one event for the length of a scope.
class OwnerEvent {
 public:
  explicit OwnerEvent(EventOwner* owner) noexcept : owner_(owner) {
    if (owner_) owner_->EventStarted();
  }
  ~OwnerEvent() {
    if (owner_) owner_->EventEnded();
  }
  OwnerEvent(const OwnerEvent&) = delete;
  OwnerEvent& operator=(const OwnerEvent&) = delete;

 private:
  EventOwner* owner_;
};

}  // namespace tervane::win32
