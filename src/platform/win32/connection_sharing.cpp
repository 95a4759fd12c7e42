#include "platform/win32/connection_sharing.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netcon.h>

#include <cstring>
#include <memory>
#include <optional>
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

// Only these may be shared, and only where they are not for incoming calls alone (Microsoft's "Shared
// Connections" page of the Internet Connection Sharing documentation).
bool Shareable(NETCON_MEDIATYPE media, DWORD characteristics) {
  const bool shareableMedia = media == NCM_PHONE || media == NCM_DIRECT || media == NCM_ISDN || media == NCM_LAN ||
                              media == NCM_TUNNEL || media == NCM_PPPOE;
  return shareableMedia && (characteristics & NCCF_INCOMING_ONLY) == 0;
}

struct Listed {
  NetworkConnection connection;
  ComPtr<INetSharingConfiguration> configuration;
};

// A shareable connection with its sharing settings, or nothing for one that is not or cannot tell.
std::optional<Listed> Describe(INetSharingManager* manager, INetConnection* connection) {
  ComPtr<INetConnectionProps> props;
  Bstr guid, name;
  NETCON_MEDIATYPE media = NCM_NONE;
  DWORD characteristics = 0;
  if (FAILED(manager->get_NetConnectionProps(connection, props.Out())) || !props || FAILED(props->get_Guid(guid.Out())) ||
      FAILED(props->get_Name(name.Out())) || FAILED(props->get_MediaType(&media)) ||
      FAILED(props->get_Characteristics(&characteristics)) || !Shareable(media, characteristics)) {
    return std::nullopt;
  }
  Listed listed{{guid.Text(), name.Text()}, {}};
  VARIANT_BOOL enabled = VARIANT_FALSE;
  SHARINGCONNECTIONTYPE type = ICSSHARINGTYPE_PUBLIC;
  if (FAILED(manager->get_INetSharingConfigurationForINetConnection(connection, listed.configuration.Out())) ||
      !listed.configuration || FAILED(listed.configuration->get_SharingEnabled(&enabled)) ||
      (enabled != VARIANT_FALSE && FAILED(listed.configuration->get_SharingConnectionType(&type)))) {
    return std::nullopt;
  }
  listed.connection.shared = enabled != VARIANT_FALSE;
  listed.connection.role = type == ICSSHARINGTYPE_PRIVATE ? SharingRole::Private : SharingRole::Public;
  return listed;
}

// The operations throw ComError; CheckedSession turns it into the SharingFailure that the logic expects.
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
      // A VPN's, a virtual switch's, a Bluetooth or an incoming connection may have no sharing settings to
      // give: such an entry is passed over rather than spoiling the whole list.
      std::optional<Listed> listed = Describe(manager, connection.Get());
      if (!listed) continue;
      connections.push_back(listed->connection);
      known_.emplace_back(listed->connection.guid, std::move(listed->configuration));
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

bool Win32ConnectionSharing::WaitForOutstanding(std::chrono::milliseconds limit) {
  return calls_.WaitForOutstanding(limit);
}

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
