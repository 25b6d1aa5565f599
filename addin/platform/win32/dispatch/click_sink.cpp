#include "addin/platform/win32/dispatch/click_sink.h"

#include <ocidl.h>

#include <atomic>
#include <exception>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/com_object.h"
#include "addin/platform/win32/dispatch/adopt.h"
#include "addin/platform/win32/dispatch/host_identifiers.h"
#include "addin/platform/win32/dispatch/variant.h"

namespace tervane::win32 {
namespace {

std::atomic<long> liveSinks{0};

void FillException(EXCEPINFO* info, std::int32_t number, const std::string& description) {
  if (!info) return;
  *info = EXCEPINFO{};
  info->scode = number < 0 ? number : MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
  try {
    info->bstrDescription = MakeBstr(description).release();
  } catch (...) {
    info->bstrDescription = nullptr;
  }
}

class ClickSink final : public ComObject<IDispatch> {
 public:
  ClickSink(std::function<void()> onClick, EventOwner* owner)
      : onClick_(std::move(onClick)), owner_(owner) {
    ++liveSinks;
  }

  /// Clicks that arrive after the hook is dropped do nothing.
  void Disarm() {
    onClick_ = nullptr;
    owner_ = nullptr;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  // Click(Ctrl, CancelDefault): neither argument is read or changed.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO* exception, UINT*) noexcept override {
    if (id != kDispidButtonClick || !onClick_) return S_OK;
    // The hook may be dropped, and the host may let go of the sink, while
    // the click runs.
    const Microsoft::WRL::ComPtr<ClickSink> self(this);
    const OwnerEvent event(owner_);
    try {
      const std::function<void()> onClick = onClick_;
      onClick();
      return S_OK;
    } catch (const Error& e) {
      FillException(exception, e.Number(), e.what());
    } catch (const std::exception& e) {
      FillException(exception, kErrInvalidCall, e.what());
    } catch (...) {
      FillException(exception, kErrInvalidCall, "");
    }
    return DISP_E_EXCEPTION;
  }

 private:
  ~ClickSink() override { --liveSinks; }
  bool AnswersTo(REFIID riid) const override {
    return riid == IID_IDispatch || riid == kDiidCommandBarButtonEvents;
  }

  std::function<void()> onClick_;
  EventOwner* owner_;
};

class ClickHook final : public EventHook {
 public:
  ClickHook(Microsoft::WRL::ComPtr<IConnectionPoint> point, ClickSink* sink, DWORD cookie)
      : point_(std::move(point)), sink_(sink), cookie_(cookie) {}
  ~ClickHook() override {
    sink_->Disarm();
    point_->Unadvise(cookie_);
  }

 private:
  Microsoft::WRL::ComPtr<IConnectionPoint> point_;
  Microsoft::WRL::ComPtr<ClickSink> sink_;
  DWORD cookie_;
};

}  // namespace

std::unique_ptr<EventHook> HookButtonClick(IDispatch* button, std::function<void()> onClick,
                                           EventOwner* owner) {
  if (!button) throw Error(kErrObjectNotSet, "Object variable or With block variable not set");
  Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
  ThrowIfFailed(button->QueryInterface(IID_PPV_ARGS(&container)), "IConnectionPointContainer");
  Microsoft::WRL::ComPtr<IConnectionPoint> point;
  ThrowIfFailed(container->FindConnectionPoint(kDiidCommandBarButtonEvents, &point),
                "FindConnectionPoint");
  const Microsoft::WRL::ComPtr<ClickSink> sink = Adopt(new ClickSink(std::move(onClick), owner));
  DWORD cookie = 0;
  ThrowIfFailed(point->Advise(sink.Get(), &cookie), "Advise");
  return std::make_unique<ClickHook>(std::move(point), sink.Get(), cookie);
}

long LiveClickSinkCount() { return liveSinks.load(); }

}  // namespace tervane::win32
