// The COM and Windows runtime kit of the Win32 layer: the functions of ole32, oleaut32 and combase looked up
// on first use, one owner each for interface pointers, BSTR, HSTRING and VARIANT, the apartment guard, the
// one error idiom (a failed HRESULT is thrown as ComError; each capability turns it into its own outcome at
// its edge), waiting for a runtime call's completion, and running a call in the multithreaded apartment
// within a time limit while keeping hold of a call that outlives it. Sharing, the Mobile Hotspot and
// whatever comes next use it rather than growing their own.
#pragma once

#include "platform/win32/windows_api.h"

#include <asyncinfo.h>
#include <hstring.h>
#include <inspectable.h>
#include <oleauto.h>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace lumvora::win32 {

// ole32 and oleaut32 are not imported: they would load, and what they pull in, at every start.
struct ComFunctions {
  HRESULT(WINAPI* initialize)(void*, DWORD) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;
  HRESULT(WINAPI* createInstance)(REFCLSID, IUnknown*, DWORD, REFIID, void**) = nullptr;
  void(WINAPI* freeString)(BSTR) = nullptr;
  HRESULT(WINAPI* clearVariant)(VARIANTARG*) = nullptr;
};
// Null where they cannot be had.
const ComFunctions* Com();

// combase.dll exists from Windows 8 on: importing its functions would stop the exe on Windows 7.
struct RuntimeFunctions {
  HRESULT(WINAPI* getActivationFactory)(HSTRING, REFIID, void**) = nullptr;
  HRESULT(WINAPI* activateInstance)(HSTRING, IInspectable**) = nullptr;
  HRESULT(WINAPI* createString)(const wchar_t*, UINT32, HSTRING*) = nullptr;
  HRESULT(WINAPI* deleteString)(HSTRING) = nullptr;
  const wchar_t*(WINAPI* rawBuffer)(HSTRING, UINT32*) = nullptr;
};
// Null where there is no runtime.
const RuntimeFunctions* Runtime();

class ComError : public std::exception {
 public:
  explicit ComError(HRESULT code) : code_(code) {}
  HRESULT Code() const { return code_; }
  const char* what() const noexcept override { return "COM call failed"; }

 private:
  HRESULT code_;
};

inline void Check(HRESULT hr) {
  if (FAILED(hr)) throw ComError(hr);
}

// The system's words for an HRESULT; "错误代码 0x8XXXXXXX" where it has none.
std::wstring HresultText(HRESULT hr);

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For a call that hands out a pointer: whatever was held goes first.
  T** Out() {
    Reset();
    return &p_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  void Reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }
  // The same object's other interface; throws ComError where it has none.
  template <typename U>
  ComPtr<U> As(const IID& iid) const {
    ComPtr<U> other;
    Check(p_->QueryInterface(iid, other.OutVoid()));
    return other;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr();
  BSTR* Out() { return &value_; }
  std::wstring Text() const { return value_ != nullptr ? std::wstring(value_) : std::wstring(); }

 private:
  BSTR value_ = nullptr;
};

class HString {
 public:
  HString() = default;
  // Throws ComError where the runtime is missing or the string cannot be made.
  explicit HString(const std::wstring& text);
  HString(const HString&) = delete;
  HString& operator=(const HString&) = delete;
  ~HString();
  HSTRING Get() const { return value_; }
  HSTRING* Out() { return &value_; }
  std::wstring Text() const;

 private:
  HSTRING value_ = nullptr;
};

class Variant {
 public:
  Variant() { value_.vt = VT_EMPTY; }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant();
  VARIANT* Get() { return &value_; }

 private:
  VARIANT value_;
};

// The calling thread in the multithreaded apartment, for the guard's life. The runtime's classes live there
// too (RoInitialize's multithreaded apartment is this one).
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};

// A COM object: from its class, or a runtime class's factory, or a new runtime object. Throws ComError.
template <typename T>
ComPtr<T> CreateInstance(const CLSID& classId, const IID& iid) {
  const ComFunctions* com = Com();
  if (com == nullptr) throw ComError(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
  ComPtr<T> object;
  Check(com->createInstance(classId, nullptr, CLSCTX_ALL, iid, object.OutVoid()));
  return object;
}
template <typename T>
ComPtr<T> ActivationFactory(const wchar_t* className, const IID& iid) {
  const HString name(className);
  ComPtr<T> factory;
  Check(Runtime()->getActivationFactory(name.Get(), iid, factory.OutVoid()));
  return factory;
}
ComPtr<IInspectable> ActivateInstance(const wchar_t* className);

// When a call run under a time limit must have returned: an inner wait ends by then too.
using Deadline = std::chrono::steady_clock::time_point;

// What a call that did not end in time answers: its result is not known yet.
inline constexpr HRESULT kNotYetKnown = HRESULT_FROM_WIN32(ERROR_TIMEOUT);

// The completed handler that IAsyncAction and IAsyncOperation<T> take: IUnknown, then Invoke.
struct ICompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(IInspectable* asyncInfo, AsyncStatus status) = 0;
};

// Waits until a runtime call has completed, or the deadline: hands the call a handler (whose interface is
// handlerIid, the parameterized IID of the call's own handler type) and waits for it. Throws ComError for a
// call that failed or was cancelled, and ComError(kNotYetKnown) for one that did not complete in time: in an
// MtaCalls call, the runtime call is then kept, with its handler, until it completes (or for a minute), so
// that whoever comes next can wait for what Windows still does.
void AwaitCompletion(IInspectable* async, HRESULT (*putCompleted)(IInspectable*, ICompletedHandler*),
                     const GUID& handlerIid, Deadline deadline);
template <typename Async>
void Await(Async* async, const GUID& handlerIid, Deadline deadline) {
  AwaitCompletion(
      async, [](IInspectable* self, ICompletedHandler* handler) { return static_cast<Async*>(self)->put_Completed(handler); },
      handlerIid, deadline);
}

// Calls made in the multithreaded apartment, each on a thread of its own, within a time limit. A call that
// outlives its limit is not forgotten, nor a runtime call that did not complete by then: each is kept until it
// ends (a runtime call for a minute at most), and whoever comes next can wait for them.
class MtaCalls {
 public:
  MtaCalls();
  // Runs call(deadline) and waits for it until the deadline. True when it returned; false when it still
  // runs (it goes on, kept here), so it must own whatever it touches. Throws std::system_error where no
  // thread can be started.
  bool Run(std::function<void(Deadline)> call, std::chrono::milliseconds limit);
  // Waits, at most the time given, until nothing kept runs any more; true when nothing does.
  bool WaitForOutstanding(std::chrono::milliseconds limit);

  // What is kept: shared with the calls' threads, which may outlive this object.
  struct Kept;

 private:
  std::shared_ptr<Kept> kept_;
};

}  // namespace lumvora::win32
