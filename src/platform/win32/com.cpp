#include "platform/win32/com.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <new>
#include <optional>
#include <thread>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

// IAgileObject: the handler may be called on any thread, as the runtime's own handlers may.
constexpr GUID kIidAgileObject{0x94ea2b94, 0xe9cc, 0x49e0, {0xc0, 0xff, 0xee, 0x64, 0xca, 0x8f, 0x5b, 0x90}};

// The completed handler of a runtime call: it sets an event that the waiting thread watches. Reference
// counted: the call keeps its own reference for as long as it likes, also past the wait.
class Completion final : public ICompletedHandler {
 public:
  explicit Completion(const GUID& iid) : iid_(iid), event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  Completion(const Completion&) = delete;
  Completion& operator=(const Completion&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualGUID(iid, iid_) || IsEqualGUID(iid, __uuidof(IUnknown)) || IsEqualGUID(iid, kIidAgileObject)) {
      *out = static_cast<ICompletedHandler*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE Invoke(IInspectable*, AsyncStatus) override {
    ::SetEvent(event_);
    return S_OK;
  }
  bool WaitUntil(Deadline deadline) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const DWORD wait = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
    return event_ != nullptr && ::WaitForSingleObject(event_, wait) == WAIT_OBJECT_0;
  }

 private:
  ~Completion() {
    if (event_ != nullptr) ::CloseHandle(event_);
  }
  const GUID iid_;
  const HANDLE event_;
  LONG refs_ = 1;
};

}  // namespace

const ComFunctions* Com() {
  static const std::optional<ComFunctions> functions = []() -> std::optional<ComFunctions> {
    const HMODULE ole = LoadSystemLibrary(L"ole32.dll");
    const HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll");
    ComFunctions com;
    if (FindFunction(ole, "CoInitializeEx", com.initialize) && FindFunction(ole, "CoUninitialize", com.uninitialize) &&
        FindFunction(ole, "CoCreateInstance", com.createInstance) && FindFunction(oleaut, "SysFreeString", com.freeString) &&
        FindFunction(oleaut, "VariantClear", com.clearVariant)) {
      return com;
    }
    return std::nullopt;
  }();
  return functions ? &*functions : nullptr;
}

const RuntimeFunctions* Runtime() {
  static const std::optional<RuntimeFunctions> functions = []() -> std::optional<RuntimeFunctions> {
    const HMODULE combase = LoadSystemLibrary(L"combase.dll");
    RuntimeFunctions runtime;
    if (FindFunction(combase, "RoGetActivationFactory", runtime.getActivationFactory) &&
        FindFunction(combase, "RoActivateInstance", runtime.activateInstance) &&
        FindFunction(combase, "WindowsCreateString", runtime.createString) &&
        FindFunction(combase, "WindowsDeleteString", runtime.deleteString) &&
        FindFunction(combase, "WindowsGetStringRawBuffer", runtime.rawBuffer)) {
      return runtime;
    }
    return std::nullopt;
  }();
  return functions ? &*functions : nullptr;
}

std::wstring HresultText(HRESULT hr) {
  const auto code = static_cast<std::uint32_t>(hr);
  const std::wstring text = SystemErrorText(static_cast<DWORD>(hr));
  if (text != L"错误代码 " + std::to_wstring(code)) return text;
  wchar_t hex[16];
  std::swprintf(hex, 16, L"0x%08X", code);
  return std::wstring(L"错误代码 ") + hex;
}

Bstr::~Bstr() {
  if (value_ != nullptr) Com()->freeString(value_);
}

HString::HString(const std::wstring& text) {
  const RuntimeFunctions* runtime = Runtime();
  if (runtime == nullptr) throw ComError(REGDB_E_CLASSNOTREG);
  Check(runtime->createString(text.c_str(), static_cast<UINT32>(text.size()), &value_));
}

HString::~HString() {
  if (value_ != nullptr) Runtime()->deleteString(value_);
}

std::wstring HString::Text() const {
  if (value_ == nullptr) return std::wstring();
  UINT32 length = 0;
  const wchar_t* buffer = Runtime()->rawBuffer(value_, &length);
  return buffer == nullptr ? std::wstring() : std::wstring(buffer, length);
}

Variant::~Variant() {
  if (const ComFunctions* com = Com()) com->clearVariant(&value_);
}

ComApartment::ComApartment() {
  const ComFunctions* com = Com();
  entered_ = com != nullptr && SUCCEEDED(com->initialize(nullptr, COINIT_MULTITHREADED));
}

ComApartment::~ComApartment() {
  if (entered_) Com()->uninitialize();
}

ComPtr<IInspectable> ActivateInstance(const wchar_t* className) {
  const HString name(className);
  ComPtr<IInspectable> object;
  Check(Runtime()->activateInstance(name.Get(), object.Out()));
  return object;
}

// Something kept that has not ended yet: a call's thread, or a runtime call that did not complete in time.
struct Outstanding {
  virtual ~Outstanding() = default;
  // True once it has ended; waits for it until the deadline.
  virtual bool WaitUntil(Deadline deadline) = 0;
};

struct MtaCalls::Kept {
  std::mutex mutex;
  std::vector<std::shared_ptr<Outstanding>> outstanding;
  void Keep(std::shared_ptr<Outstanding> item) {
    const std::lock_guard<std::mutex> lock(mutex);
    outstanding.push_back(std::move(item));
  }
};

namespace {

// The calls' own thread's keeper, for a runtime call that does not complete in time.
thread_local std::shared_ptr<MtaCalls::Kept> t_kept;

constexpr auto kRuntimeCallKeptFor = std::chrono::minutes(1);

// A runtime call that did not complete by its deadline, with the handler Windows will call when it does.
class UncompletedCall : public Outstanding {
 public:
  UncompletedCall(IInspectable* async, Completion* done) : done_(done), until_(std::chrono::steady_clock::now() + kRuntimeCallKeptFor) {
    async->AddRef();
    async_ = async;
    done_->AddRef();
  }
  ~UncompletedCall() override {
    async_->Release();
    done_->Release();
  }
  bool WaitUntil(Deadline deadline) override {
    // One that Windows never completes is let go after a while: it would refuse every later command.
    return done_->WaitUntil(std::min(deadline, until_)) || std::chrono::steady_clock::now() >= until_;
  }

 private:
  IInspectable* async_ = nullptr;
  Completion* done_;
  Deadline until_;
};

// A call's thread, which sets done when the call has returned.
struct CallThread : Outstanding {
  std::mutex mutex;
  std::condition_variable returned;
  bool done = false;
  bool WaitUntil(Deadline deadline) override {
    std::unique_lock<std::mutex> lock(mutex);
    return returned.wait_until(lock, deadline, [this] { return done; });
  }
};

}  // namespace

void AwaitCompletion(IInspectable* async, HRESULT (*putCompleted)(IInspectable*, ICompletedHandler*),
                     const GUID& handlerIid, Deadline deadline) {
  Completion* done = new (std::nothrow) Completion(handlerIid);
  if (done == nullptr) throw ComError(E_OUTOFMEMORY);
  HRESULT hr = putCompleted(async, done);
  if (SUCCEEDED(hr) && !done->WaitUntil(deadline)) {
    hr = kNotYetKnown;
    if (t_kept) t_kept->Keep(std::make_shared<UncompletedCall>(async, done));
  }
  done->Release();
  Check(hr);
  ComPtr<IAsyncInfo> info;
  Check(async->QueryInterface(__uuidof(IAsyncInfo), info.OutVoid()));
  AsyncStatus status = Started;
  Check(info->get_Status(&status));
  if (status == Canceled) throw ComError(HRESULT_FROM_WIN32(ERROR_CANCELLED));
  if (status != Error) return;
  HRESULT error = E_FAIL;
  info->get_ErrorCode(&error);
  throw ComError(FAILED(error) ? error : E_FAIL);
}

MtaCalls::MtaCalls() : kept_(std::make_shared<Kept>()) {}

bool MtaCalls::Run(std::function<void(Deadline)> call, std::chrono::milliseconds limit) {
  const Deadline deadline = std::chrono::steady_clock::now() + limit;
  const auto thread = std::make_shared<CallThread>();
  std::thread([thread, kept = kept_, deadline, call = std::move(call)]() mutable {
    {
      const ComApartment apartment;
      t_kept = kept;
      try {
        call(deadline);
      } catch (...) {
        // Nothing may leave the thread; the call reports its own failures.
      }
      // What the call holds goes while the apartment is still there.
      call = nullptr;
      t_kept.reset();
    }
    const std::lock_guard<std::mutex> lock(thread->mutex);
    thread->done = true;
    thread->returned.notify_all();
  }).detach();
  if (thread->WaitUntil(deadline)) return true;
  kept_->Keep(thread);
  return false;
}

bool MtaCalls::WaitForOutstanding(std::chrono::milliseconds limit) {
  const Deadline deadline = std::chrono::steady_clock::now() + limit;
  // Waited for outside the lock: a call's thread may keep a runtime call meanwhile.
  std::vector<std::shared_ptr<Outstanding>> waiting;
  {
    const std::lock_guard<std::mutex> lock(kept_->mutex);
    waiting = kept_->outstanding;
  }
  std::vector<std::shared_ptr<Outstanding>> ended;
  for (const auto& item : waiting) {
    if (item->WaitUntil(deadline)) ended.push_back(item);
  }
  const std::lock_guard<std::mutex> lock(kept_->mutex);
  std::erase_if(kept_->outstanding, [&](const auto& item) { return std::find(ended.begin(), ended.end(), item) != ended.end(); });
  return kept_->outstanding.empty();
}

}  // namespace lumvora::win32
