#include "platform/win32_connection_sharing.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32_platform.h"

namespace lumvora::win32 {
namespace {

// ole32 and oleaut32 are not imported: they would load at every start.
struct ComFunctions {
  HRESULT(WINAPI* initialize)(void*, DWORD);
  void(WINAPI* uninitialize)();
  HRESULT(WINAPI* createInstance)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  void(WINAPI* freeString)(BSTR);
  HRESULT(WINAPI* clearVariant)(VARIANTARG*);
};

const ComFunctions* LoadCom() {
  static const std::optional<ComFunctions> functions = []() -> std::optional<ComFunctions> {
    const HMODULE ole = LoadSystemLibrary(L"ole32.dll");
    const HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll");
    ComFunctions com{};
    if (FindFunction(ole, "CoInitializeEx", com.initialize) && FindFunction(ole, "CoUninitialize", com.uninitialize) &&
        FindFunction(ole, "CoCreateInstance", com.createInstance) && FindFunction(oleaut, "SysFreeString", com.freeString) &&
        FindFunction(oleaut, "VariantClear", com.clearVariant)) {
      return com;
    }
    return std::nullopt;
  }();
  return functions ? &*functions : nullptr;
}

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
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
  T** Out() {
    Reset();
    return &p_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  void Reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const ComFunctions& com) : com_(com) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { com_.freeString(value_); }
  BSTR* Out() { return &value_; }
  std::wstring Text() const { return value_ != nullptr ? std::wstring(value_) : L""; }

 private:
  const ComFunctions& com_;
  BSTR value_ = nullptr;
};

class Variant {
 public:
  explicit Variant(const ComFunctions& com) : com_(com) { value_.vt = VT_EMPTY; }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { com_.clearVariant(&value_); }
  VARIANT* Get() { return &value_; }

 private:
  const ComFunctions& com_;
  VARIANT value_;
};

bool SharingServiceDisabled() {
  using OpenManagerFn = SC_HANDLE(WINAPI*)(const wchar_t*, const wchar_t*, DWORD);
  using OpenServiceFn = SC_HANDLE(WINAPI*)(SC_HANDLE, const wchar_t*, DWORD);
  using QueryConfigFn = BOOL(WINAPI*)(SC_HANDLE, QUERY_SERVICE_CONFIGW*, DWORD, DWORD*);
  using CloseFn = BOOL(WINAPI*)(SC_HANDLE);
  const HMODULE advapi = LoadSystemLibrary(L"advapi32.dll");
  OpenManagerFn openManager;
  OpenServiceFn openService;
  QueryConfigFn queryConfig;
  CloseFn close;
  if (!FindFunction(advapi, "OpenSCManagerW", openManager) || !FindFunction(advapi, "OpenServiceW", openService) ||
      !FindFunction(advapi, "QueryServiceConfigW", queryConfig) || !FindFunction(advapi, "CloseServiceHandle", close)) {
    return false;
  }
  bool disabled = false;
  if (const SC_HANDLE manager = openManager(nullptr, nullptr, SC_MANAGER_CONNECT)) {
    if (const SC_HANDLE service = openService(manager, L"SharedAccess", SERVICE_QUERY_CONFIG)) {
      std::vector<std::uint8_t> buffer(8192);
      DWORD needed = 0;
      auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
      disabled = queryConfig(service, config, static_cast<DWORD>(buffer.size()), &needed) &&
                 config->dwStartType == SERVICE_DISABLED;
      close(service);
    }
    close(manager);
  }
  return disabled;
}

SharingError ErrorFor(HRESULT hr) {
  const auto code = static_cast<std::uint32_t>(hr);
  std::wstring text = SystemErrorText(static_cast<DWORD>(hr));
  if (text == L"错误代码 " + std::to_wstring(code)) {
    wchar_t hex[16];
    std::swprintf(hex, 16, L"0x%08X", code);
    text = std::wstring(L"错误代码 ") + hex;
  }
  const bool disabled = hr == HRESULT_FROM_WIN32(ERROR_SERVICE_DISABLED) || SharingServiceDisabled();
  return {code, text, disabled};
}

void Check(HRESULT hr) {
  if (FAILED(hr)) throw SharingFailure(ErrorFor(hr));
}

class Session : public SharingSession {
 public:
  // com: null where COM could not be loaded, initialized: CoInitializeEx's answer.
  Session(const ComFunctions* com, HRESULT initialized) : com_(com), initialized_(initialized) {}

  std::vector<NetworkConnection> Connections() override {
    INetSharingManager* manager = Manager();
    const ComFunctions& com = *com_;
    ComPtr<INetSharingEveryConnectionCollection> collection;
    Check(manager->get_EnumEveryConnection(collection.Out()));
    ComPtr<IUnknown> unknown;
    Check(collection->get__NewEnum(unknown.Out()));
    // MinGW's uuid library lacks IEnumNetSharingEveryConnection's IID; the collection's enumerator is also
    // an IEnumVARIANT, as scripts use it.
    ComPtr<IEnumVARIANT> items;
    Check(unknown->QueryInterface(IID_IEnumVARIANT, items.OutVoid()));
    known_.clear();
    std::vector<NetworkConnection> connections;
    for (;;) {
      Variant item(com);
      ULONG fetched = 0;
      if (items->Next(1, item.Get(), &fetched) != S_OK || fetched != 1) break;
      IUnknown* object = item.Get()->vt == VT_UNKNOWN || item.Get()->vt == VT_DISPATCH ? item.Get()->punkVal : nullptr;
      if (object == nullptr) continue;
      ComPtr<INetConnection> connection;
      if (FAILED(object->QueryInterface(IID_INetConnection, connection.OutVoid()))) continue;
      ComPtr<INetConnectionProps> props;
      Check(manager->get_NetConnectionProps(connection.Get(), props.Out()));
      Bstr guid(com), name(com);
      Check(props->get_Guid(guid.Out()));
      Check(props->get_Name(name.Out()));
      ComPtr<INetSharingConfiguration> configuration;
      Check(manager->get_INetSharingConfigurationForINetConnection(connection.Get(), configuration.Out()));
      VARIANT_BOOL enabled = VARIANT_FALSE;
      Check(configuration->get_SharingEnabled(&enabled));
      SHARINGCONNECTIONTYPE type = ICSSHARINGTYPE_PUBLIC;
      if (enabled != VARIANT_FALSE) Check(configuration->get_SharingConnectionType(&type));
      connections.push_back({guid.Text(), name.Text(), enabled != VARIANT_FALSE,
                             type == ICSSHARINGTYPE_PRIVATE ? SharingRole::Private : SharingRole::Public});
      known_.emplace_back(guid.Text(), std::move(configuration));
    }
    return connections;
  }

  std::optional<std::wstring> InternetAdapterGuid() override {
    using BestInterfaceFn = DWORD(WINAPI*)(sockaddr*, DWORD*);
    using IndexToLuidFn = DWORD(WINAPI*)(NET_IFINDEX, NET_LUID*);
    using LuidToGuidFn = DWORD(WINAPI*)(const NET_LUID*, GUID*);
    static const HMODULE iphlpapi = LoadSystemLibrary(L"iphlpapi.dll");
    BestInterfaceFn bestInterface;
    IndexToLuidFn indexToLuid;
    LuidToGuidFn luidToGuid;
    if (!FindFunction(iphlpapi, "GetBestInterfaceEx", bestInterface) ||
        !FindFunction(iphlpapi, "ConvertInterfaceIndexToLuid", indexToLuid) ||
        !FindFunction(iphlpapi, "ConvertInterfaceLuidToGuid", luidToGuid)) {
      return std::nullopt;
    }
    // A public address of each family; nothing is sent to it.
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_addr.s_addr = 0x08080808;  // 8.8.8.8, the same in either byte order
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    const std::uint8_t address6[16] = {0x20, 0x01, 0x48, 0x60, 0x48, 0x60, 0, 0, 0, 0, 0, 0, 0, 0, 0x88, 0x88};
    std::memcpy(&v6.sin6_addr, address6, sizeof(address6));
    DWORD index = 0;
    if (bestInterface(reinterpret_cast<sockaddr*>(&v4), &index) != NO_ERROR &&
        bestInterface(reinterpret_cast<sockaddr*>(&v6), &index) != NO_ERROR) {
      return std::nullopt;
    }
    NET_LUID luid{};
    GUID guid{};
    if (indexToLuid(index, &luid) != NO_ERROR || luidToGuid(&luid, &guid) != NO_ERROR) return std::nullopt;
    return GuidText(guid);
  }

  void Enable(const std::wstring& guid, SharingRole role) override {
    Check(ConfigurationOf(guid)->EnableSharing(role == SharingRole::Private ? ICSSHARINGTYPE_PRIVATE
                                                                            : ICSSHARINGTYPE_PUBLIC));
  }

  void Disable(const std::wstring& guid) override { Check(ConfigurationOf(guid)->DisableSharing()); }

 private:
  INetSharingManager* Manager() {
    if (com_ == nullptr) throw SharingFailure(ErrorFor(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)));
    Check(initialized_);
    if (manager_.Get() == nullptr) {
      Check(com_->createInstance(CLSID_NetSharingManager, nullptr, CLSCTX_ALL, IID_INetSharingManager,
                                 manager_.OutVoid()));
    }
    return manager_.Get();
  }

  INetSharingConfiguration* ConfigurationOf(const std::wstring& guid) {
    if (known_.empty()) Connections();
    for (const auto& [known, configuration] : known_) {
      if (SameGuid(known, guid)) return configuration.Get();
    }
    throw SharingFailure(ErrorFor(HRESULT_FROM_WIN32(ERROR_NOT_FOUND)));
  }

  const ComFunctions* com_;
  HRESULT initialized_;
  ComPtr<INetSharingManager> manager_;
  std::vector<std::pair<std::wstring, ComPtr<INetSharingConfiguration>>> known_;
};

void RunInApartment(const std::function<void(SharingSession&)>& work) {
  const ComFunctions* com = LoadCom();
  const HRESULT initialized = com != nullptr ? com->initialize(nullptr, COINIT_MULTITHREADED) : E_FAIL;
  {
    Session session(com, initialized);
    work(session);
  }
  if (SUCCEEDED(initialized)) com->uninitialize();
}

}  // namespace

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40];
  std::swprintf(text, 40, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

bool Win32ConnectionSharing::Run(std::function<void(SharingSession&)> work, std::chrono::milliseconds limit) {
  // Shared with the thread: a thread that outlives the limit still finds it there.
  struct State {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::function<void(SharingSession&)> work;
  };
  const auto state = std::make_shared<State>();
  state->work = std::move(work);
  try {
    std::thread([state] {
      try {
        RunInApartment(state->work);
      } catch (...) {
        // Nothing may leave the thread; the work reports its own failures.
      }
      const std::lock_guard<std::mutex> lock(state->mutex);
      state->done = true;
      state->finished.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  std::unique_lock<std::mutex> lock(state->mutex);
  return state->finished.wait_for(lock, limit, [&] { return state->done; });
}

}  // namespace lumvora::win32
