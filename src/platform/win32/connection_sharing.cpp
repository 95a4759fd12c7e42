#include "platform/win32/connection_sharing.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netcon.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

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
  const bool disabled = hr == HRESULT_FROM_WIN32(ERROR_SERVICE_DISABLED) || SharingServiceDisabled();
  return {static_cast<std::uint32_t>(hr), HresultText(hr), disabled};
}

// The operations throw ComError; Run turns it into the SharingFailure that the logic expects.
class Session : public SharingSession {
 public:
  std::vector<NetworkConnection> Connections() override {
    INetSharingManager* manager = Manager();
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
      Variant item;
      ULONG fetched = 0;
      if (items->Next(1, item.Get(), &fetched) != S_OK || fetched != 1) break;
      IUnknown* object = item.Get()->vt == VT_UNKNOWN || item.Get()->vt == VT_DISPATCH ? item.Get()->punkVal : nullptr;
      if (object == nullptr) continue;
      ComPtr<INetConnection> connection;
      if (FAILED(object->QueryInterface(IID_INetConnection, connection.OutVoid()))) continue;
      ComPtr<INetConnectionProps> props;
      Check(manager->get_NetConnectionProps(connection.Get(), props.Out()));
      Bstr guid, name;
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
    if (!manager_) manager_ = CreateInstance<INetSharingManager>(CLSID_NetSharingManager, IID_INetSharingManager);
    return manager_.Get();
  }

  INetSharingConfiguration* ConfigurationOf(const std::wstring& guid) {
    if (known_.empty()) Connections();
    for (const auto& [known, configuration] : known_) {
      if (SameGuid(known, guid)) return configuration.Get();
    }
    throw ComError(HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  }

  ComPtr<INetSharingManager> manager_;
  std::vector<std::pair<std::wstring, ComPtr<INetSharingConfiguration>>> known_;
};

// The session's operations, each turning a failed call into the logic's SharingFailure.
class CheckedSession : public SharingSession {
  template <typename F>
  static auto Checked(F&& f) -> decltype(f()) {
    try {
      return f();
    } catch (const ComError& error) {
      throw SharingFailure(ErrorFor(error.Code()));
    }
  }

 public:
  std::vector<NetworkConnection> Connections() override {
    return Checked([&] { return session_.Connections(); });
  }
  std::optional<std::wstring> InternetAdapterGuid() override { return session_.InternetAdapterGuid(); }
  void Enable(const std::wstring& guid, SharingRole role) override {
    Checked([&] { session_.Enable(guid, role); });
  }
  void Disable(const std::wstring& guid) override {
    Checked([&] { session_.Disable(guid); });
  }

 private:
  Session session_;
};

}  // namespace

bool Win32ConnectionSharing::Run(std::function<void(SharingSession&)> work, std::chrono::milliseconds limit) {
  try {
    return calls_.Run(
        [work = std::move(work)](Deadline) {
          CheckedSession session;
          work(session);
        },
        limit);
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace lumvora::win32
