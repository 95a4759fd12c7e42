#include "platform/win32_mobile_hotspot.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/win32_platform.h"
#include "platform/win32_winrt_tethering.h"

namespace lumvora::win32 {
namespace {

using namespace winrt;

// The functions of combase.dll that the program needs, taken by name.
struct Runtime {
  HRESULT(WINAPI* initialize)(int type);
  void(WINAPI* uninitialize)();
  HRESULT(WINAPI* getActivationFactory)(HSTRING activatableClassId, REFIID iid, void** factory);
  HRESULT(WINAPI* activateInstance)(HSTRING activatableClassId, IInspectable** instance);
  HRESULT(WINAPI* createString)(const wchar_t* source, UINT32 length, HSTRING* string);
  HRESULT(WINAPI* deleteString)(HSTRING string);
  const wchar_t*(WINAPI* rawBuffer)(HSTRING string, UINT32* length);
};

constexpr int kMultithreaded = 1;  // RO_INIT_MULTITHREADED

// Loaded once, on the first call that needs it; nothing where combase.dll is missing (Windows 7).
const Runtime* LoadRuntime() {
  static const std::optional<Runtime> runtime = []() -> std::optional<Runtime> {
    const HMODULE combase = LoadSystemLibrary(L"combase.dll");
    Runtime r{};
    if (combase == nullptr || !FindFunction(combase, "RoInitialize", r.initialize) ||
        !FindFunction(combase, "RoUninitialize", r.uninitialize) ||
        !FindFunction(combase, "RoGetActivationFactory", r.getActivationFactory) ||
        !FindFunction(combase, "RoActivateInstance", r.activateInstance) ||
        !FindFunction(combase, "WindowsCreateString", r.createString) ||
        !FindFunction(combase, "WindowsDeleteString", r.deleteString) ||
        !FindFunction(combase, "WindowsGetStringRawBuffer", r.rawBuffer)) {
      return std::nullopt;
    }
    return r;
  }();
  return runtime ? &*runtime : nullptr;
}

// An interface pointer, released at the end of its scope.
template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p_ != nullptr) p_->Release();
  }
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

class HString {
 public:
  explicit HString(const Runtime& runtime) : runtime_(runtime) {}
  HString(const Runtime& runtime, const std::wstring& text) : runtime_(runtime) {
    created_ = runtime_.createString(text.c_str(), static_cast<UINT32>(text.size()), &string_);
  }
  HString(const HString&) = delete;
  HString& operator=(const HString&) = delete;
  ~HString() {
    if (string_ != nullptr) runtime_.deleteString(string_);
  }
  HRESULT Created() const { return created_; }
  HSTRING Get() const { return string_; }
  HSTRING* Out() { return &string_; }
  std::wstring Text() const {
    UINT32 length = 0;
    const wchar_t* buffer = runtime_.rawBuffer(string_, &length);
    return buffer == nullptr ? std::wstring() : std::wstring(buffer, length);
  }

 private:
  const Runtime& runtime_;
  HSTRING string_ = nullptr;
  HRESULT created_ = S_OK;
};

// The completed handler of an asynchronous call: it sets an event that the waiting thread watches.
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
  bool Wait(DWORD milliseconds) const {
    return event_ != nullptr && ::WaitForSingleObject(event_, milliseconds) == WAIT_OBJECT_0;
  }

 private:
  ~Completion() {
    if (event_ != nullptr) ::CloseHandle(event_);
  }
  const GUID iid_;
  const HANDLE event_;
  LONG refs_ = 1;
};

// Waits for an asynchronous call to end: S_OK once it completed, else its error.
template <typename Async>
HRESULT Await(Async* async, const GUID& handlerIid) {
  Completion* done = new (std::nothrow) Completion(handlerIid);
  if (done == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = async->put_Completed(done);
  if (SUCCEEDED(hr) && !done->Wait(static_cast<DWORD>(kMobileHotspotTimeLimit.count()))) {
    hr = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
  }
  done->Release();
  if (FAILED(hr)) return hr;
  Ref<IAsyncInfo> info;
  AsyncStatus status = Started;
  hr = async->QueryInterface(__uuidof(IAsyncInfo), info.OutVoid());
  if (SUCCEEDED(hr)) hr = info->get_Status(&status);
  if (FAILED(hr)) return hr;
  if (status == Canceled) return HRESULT_FROM_WIN32(ERROR_CANCELLED);
  if (status != Error) return S_OK;
  HRESULT error = E_FAIL;
  info->get_ErrorCode(&error);
  return FAILED(error) ? error : E_FAIL;
}

HRESULT Factory(const Runtime& runtime, const wchar_t* className, const GUID& iid, void** factory) {
  const HString name(runtime, className);
  if (FAILED(name.Created())) return name.Created();
  return runtime.getActivationFactory(name.Get(), iid, factory);
}

void Fail(MobileHotspotResult& result, HRESULT hr) {
  if (result.hresult != 0) return;  // the first failure is the one to tell
  result.hresult = static_cast<std::int32_t>(hr);
  result.systemText = SystemErrorText(static_cast<DWORD>(hr));
}

enum class Call { Configure, Start, Stop, Query };

HRESULT Configure(const Runtime& runtime, ITetheringManager* manager, const std::wstring& ssid,
                  const std::wstring& passphrase) {
  const HString className(runtime, kAccessPointConfigurationClass), name(runtime, ssid), key(runtime, passphrase);
  Ref<IInspectable> object;
  Ref<ITetheringAccessPointConfiguration> configuration;
  Ref<IAsyncAction> action;
  HRESULT hr = FAILED(className.Created()) ? className.Created() : FAILED(name.Created()) ? name.Created() : key.Created();
  if (SUCCEEDED(hr)) hr = runtime.activateInstance(className.Get(), object.Out());
  if (SUCCEEDED(hr)) hr = object->QueryInterface(kIidAccessPointConfiguration, configuration.OutVoid());
  if (SUCCEEDED(hr)) hr = configuration->put_Ssid(name.Get());
  if (SUCCEEDED(hr)) hr = configuration->put_Passphrase(key.Get());
  if (SUCCEEDED(hr)) hr = manager->ConfigureAccessPointAsync(configuration.Get(), action.Out());
  if (SUCCEEDED(hr)) hr = Await(action.Get(), kIidAsyncActionCompletedHandler);
  if (SUCCEEDED(hr)) hr = action->GetResults();
  return hr;
}

HRESULT StartOrStop(const Runtime& runtime, ITetheringManager* manager, bool start, MobileHotspotResult& result) {
  Ref<IAsyncTetheringOperation> operation;
  Ref<ITetheringOperationResult> answer;
  HRESULT hr = start ? manager->StartTetheringAsync(operation.Out()) : manager->StopTetheringAsync(operation.Out());
  if (SUCCEEDED(hr)) hr = Await(operation.Get(), kIidAsyncTetheringOperationCompletedHandler);
  if (SUCCEEDED(hr)) hr = operation->GetResults(answer.Out());
  INT32 status = 0;
  if (SUCCEEDED(hr)) hr = answer->get_Status(&status);
  if (FAILED(hr)) return hr;
  const bool known = status >= 0 && status <= static_cast<INT32>(TetheringStatus::NetworkLimitedConnectivity);
  result.status = known ? static_cast<TetheringStatus>(status) : TetheringStatus::Unknown;
  HString message(runtime);
  if (SUCCEEDED(answer->get_AdditionalErrorMessage(message.Out()))) result.additionalErrorMessage = message.Text();
  return S_OK;
}

// The whole call, on the worker thread: the manager from the internet connection, the operation, then the
// state and the configuration as they are afterwards.
void Run(const Runtime& runtime, Call call, const std::wstring& ssid, const std::wstring& passphrase,
         MobileHotspotResult& result) {
  Ref<INetworkInformationStatics> information;
  Ref<IConnectionProfile> profile;
  HRESULT hr = Factory(runtime, kNetworkInformationClass, kIidNetworkInformationStatics, information.OutVoid());
  if (SUCCEEDED(hr)) hr = information->GetInternetConnectionProfile(profile.Out());
  if (FAILED(hr)) return Fail(result, hr);
  if (!profile) return;  // nothing to share
  HString name(runtime);
  if (SUCCEEDED(profile->get_ProfileName(name.Out()))) result.profileName = name.Text();
  Ref<ITetheringManagerStatics2> statics;
  Ref<ITetheringManager> manager;
  hr = Factory(runtime, kTetheringManagerClass, kIidTetheringManagerStatics2, statics.OutVoid());
  if (SUCCEEDED(hr)) hr = statics->CreateFromConnectionProfile(profile.Get(), manager.Out());
  if (FAILED(hr)) return Fail(result, hr);
  result.internet = true;
  switch (call) {
    case Call::Configure: hr = Configure(runtime, manager.Get(), ssid, passphrase); break;
    case Call::Start: hr = StartOrStop(runtime, manager.Get(), true, result); break;
    case Call::Stop: hr = StartOrStop(runtime, manager.Get(), false, result); break;
    case Call::Query: hr = S_OK; break;
  }
  if (FAILED(hr)) Fail(result, hr);
  INT32 state = 0;
  hr = manager->get_TetheringOperationalState(&state);
  if (FAILED(hr)) return Fail(result, hr);
  result.state = state >= 0 && state <= 3 ? static_cast<TetheringState>(state) : TetheringState::Unknown;
  Ref<ITetheringAccessPointConfiguration> current;
  HString currentSsid(runtime), currentPassphrase(runtime);
  hr = manager->GetCurrentAccessPointConfiguration(current.Out());
  if (SUCCEEDED(hr) && current) hr = current->get_Ssid(currentSsid.Out());
  if (SUCCEEDED(hr) && current) hr = current->get_Passphrase(currentPassphrase.Out());
  if (FAILED(hr)) return Fail(result, hr);
  if (current) {
    result.ssid = currentSsid.Text();
    result.passphrase = currentPassphrase.Text();
  }
}

// Runs the work on a thread of its own in the multithreaded apartment and waits for it at most the time
// limit. The state is shared: a thread that outlives the wait writes into memory that is still there.
MobileHotspotResult OnWorker(std::function<void(const Runtime&, MobileHotspotResult&)> work) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    MobileHotspotResult result;
  };
  const auto shared = std::make_shared<Shared>();
  MobileHotspotResult failed;
  try {
    std::thread([shared, work = std::move(work)] {
      MobileHotspotResult result;
      const Runtime* runtime = LoadRuntime();
      const HRESULT init = runtime == nullptr ? REGDB_E_CLASSNOTREG : runtime->initialize(kMultithreaded);
      if (FAILED(init)) {
        Fail(result, init);
      } else {
        work(*runtime, result);
        runtime->uninitialize();
      }
      const std::lock_guard<std::mutex> lock(shared->mutex);
      shared->result = std::move(result);
      shared->done = true;
      shared->finished.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    Fail(failed, E_OUTOFMEMORY);
    return failed;
  }
  std::unique_lock<std::mutex> lock(shared->mutex);
  if (!shared->finished.wait_for(lock, kMobileHotspotTimeLimit, [&] { return shared->done; })) {
    Fail(failed, HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    return failed;
  }
  return shared->result;
}

MobileHotspotResult RunCall(Call call, const std::wstring& ssid = {}, const std::wstring& passphrase = {}) {
  return OnWorker([call, ssid, passphrase](const Runtime& runtime, MobileHotspotResult& result) {
    Run(runtime, call, ssid, passphrase, result);
  });
}

}  // namespace

bool Win32MobileHotspot::Available() {
  if (available_) return *available_;
  available_ = OnWorker([](const Runtime& runtime, MobileHotspotResult& result) {
           Ref<ITetheringManagerStatics2> statics;
           const HRESULT hr = Factory(runtime, kTetheringManagerClass, kIidTetheringManagerStatics2, statics.OutVoid());
           if (FAILED(hr)) Fail(result, hr);
         }).hresult == 0;
  return *available_;
}

MobileHotspotResult Win32MobileHotspot::Configure(const std::wstring& ssid, const std::wstring& passphrase) {
  return RunCall(Call::Configure, ssid, passphrase);
}

MobileHotspotResult Win32MobileHotspot::Start() { return RunCall(Call::Start); }
MobileHotspotResult Win32MobileHotspot::Stop() { return RunCall(Call::Stop); }
MobileHotspotResult Win32MobileHotspot::Query() { return RunCall(Call::Query); }

}  // namespace lumvora::win32
