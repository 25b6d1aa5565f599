// What every heap-allocated COM object of one interface needs: a reference
// count that starts at one for its creator, and QueryInterface for IUnknown,
// the interface itself and the identifiers the object also answers to.
#pragma once

#include <windows.h>

#include <atomic>

namespace tervane::win32 {

template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || AnswersTo(riid)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;
  /// Whether the object answers to `riid` (besides IUnknown) as Interface.
  virtual bool AnswersTo(REFIID riid) const = 0;

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace tervane::win32
