#include "platform/win32/hosted_network.h"

#include <algorithm>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

// Memory that the API hands out, given back with its own function.
template <typename T>
class WlanMemory {
 public:
  explicit WlanMemory(const WlanFunctions& api) : api_(api) {}
  WlanMemory(const WlanMemory&) = delete;
  WlanMemory& operator=(const WlanMemory&) = delete;
  ~WlanMemory() {
    if (data_ != nullptr) api_.freeMemory(data_);
  }
  T** Out() { return &data_; }
  void** OutVoid() { return reinterpret_cast<void**>(&data_); }
  const T* Get() const { return data_; }

 private:
  const WlanFunctions& api_;
  T* data_ = nullptr;
};

// A value of an interface's property; false when the API does not tell it.
template <typename T>
bool QueryInterfaceValue(const WlanFunctions& api, HANDLE client, const GUID* id, DWORD opcode, T& value) {
  WlanMemory<T> data(api);
  DWORD size = 0;
  DWORD valueType = 0;
  if (api.queryInterface(client, id, opcode, nullptr, &size, data.OutVoid(), &valueType) != ERROR_SUCCESS ||
      data.Get() == nullptr || size < sizeof(T)) {
    return false;
  }
  value = *data.Get();
  return true;
}

template <typename T>
bool QueryHostedNetworkValue(const WlanFunctions& api, HANDLE client, DWORD opcode, T& value) {
  WlanMemory<T> data(api);
  DWORD size = 0;
  DWORD valueType = 0;
  if (api.hostedNetworkQueryProperty(client, opcode, &size, data.OutVoid(), &valueType, nullptr) != ERROR_SUCCESS ||
      data.Get() == nullptr || size < sizeof(T)) {
    return false;
  }
  value = *data.Get();
  return true;
}

bool RadioIsOn(const wlan::RadioState& radio) {
  for (DWORD i = 0; i < radio.numberOfPhys && i < 64; ++i) {
    const wlan::PhyRadioState& phy = radio.phys[i];
    if (phy.softwareRadioState == wlan::kRadioOn && phy.hardwareRadioState == wlan::kRadioOn) return true;
  }
  return false;
}

// The key, where Windows holds a pass phrase: its length counts the NUL that ends it (Microsoft's
// documentation of WlanHostedNetworkQuerySecondaryKey). A binary key is no pass phrase to show.
std::optional<std::string> Passphrase(const WlanFunctions& api, HANDLE client) {
  if (api.hostedNetworkQuerySecondaryKey == nullptr) return std::nullopt;
  WlanMemory<UCHAR> key(api);
  DWORD length = 0;
  BOOL passphrase = FALSE, persistent = FALSE;
  if (api.hostedNetworkQuerySecondaryKey(client, &length, key.Out(), &passphrase, &persistent, nullptr, nullptr) !=
          ERROR_SUCCESS ||
      key.Get() == nullptr || !passphrase || length == 0 || length > 64) {
    return std::nullopt;
  }
  std::string text(reinterpret_cast<const char*>(key.Get()), length);
  if (text.back() == '\0') text.pop_back();
  return text;
}

void ReadDetails(const WlanFunctions& api, HANDLE client, const wlan::HostedNetworkStatus& status,
                 const HostedNetworkState& state, HostedNetworkDetails& details) {
  if (state.hostedAdapterGuid) details.adapter = status.ipDeviceId;
  // The peer list means something only while the hosted network is active; a peer still joining (not yet
  // authenticated) is not counted, as Windows' own lists do not count it.
  const DWORD peers = state.status == HostedNetworkStatus::Active ? std::min<DWORD>(status.numberOfPeers, 256) : 0;
  for (DWORD i = 0; i < peers; ++i) {
    const wlan::PeerState& peer = status.peers[i];
    MacAddress mac{};
    std::copy(peer.macAddress, peer.macAddress + mac.size(), mac.begin());
    if (peer.authState == wlan::kPeerAuthenticated) details.peers.push_back(mac);
  }
  details.passphrase = Passphrase(api, client);
}

HostedNetworkStatus StatusOf(DWORD state) {
  switch (state) {
    case wlan::kHostedNetworkIdle: return HostedNetworkStatus::Idle;
    case wlan::kHostedNetworkActive: return HostedNetworkStatus::Active;
    default: return HostedNetworkStatus::Unavailable;
  }
}

}  // namespace

std::optional<WlanFunctions> LoadWlanFunctions() {
  // A Windows Server without the wireless feature has no wlanapi.dll: the exit code alone decides there.
  const HMODULE module = LoadSystemLibrary(L"wlanapi.dll");
  if (module == nullptr) return std::nullopt;
  WlanFunctions api{};
  if (FindFunction(module, "WlanOpenHandle", api.openHandle) && FindFunction(module, "WlanCloseHandle", api.closeHandle) &&
      FindFunction(module, "WlanEnumInterfaces", api.enumInterfaces) && FindFunction(module, "WlanQueryInterface", api.queryInterface) &&
      FindFunction(module, "WlanHostedNetworkQueryStatus", api.hostedNetworkQueryStatus) &&
      FindFunction(module, "WlanHostedNetworkQueryProperty", api.hostedNetworkQueryProperty) &&
      FindFunction(module, "WlanFreeMemory", api.freeMemory)) {
    FindFunction(module, "WlanHostedNetworkQuerySecondaryKey", api.hostedNetworkQuerySecondaryKey);
    return api;
  }
  return std::nullopt;
}

HostedNetworkState QueryHostedNetworkWith(const WlanFunctions& api, HostedNetworkDetails* details) {
  HostedNetworkState state;
  DWORD negotiated = 0;
  HANDLE client = nullptr;
  const DWORD opened = api.openHandle(wlan::kClientVersion, nullptr, &negotiated, &client);
  // The WLAN AutoConfig service is stopped: that is an answer. Any other failure tells nothing.
  if (opened == ERROR_SERVICE_NOT_ACTIVE) state.apiPresent = true;
  if (opened != ERROR_SUCCESS) return state;
  state.apiPresent = state.serviceRunning = true;
  const struct Closer {
    const WlanFunctions& api;
    HANDLE client;
    ~Closer() { api.closeHandle(client, nullptr); }
  } closer{api, client};

  WlanMemory<wlan::InterfaceInfoList> interfaces(api);
  if (api.enumInterfaces(client, nullptr, interfaces.Out()) == ERROR_SUCCESS && interfaces.Get() != nullptr) {
    const wlan::InterfaceInfoList& list = *interfaces.Get();
    state.interfacesFound = list.numberOfItems > 0;
    for (DWORD i = 0; i < list.numberOfItems; ++i) {
      const GUID* id = &list.items[i].interfaceGuid;
      wlan::RadioState radio{};
      if (QueryInterfaceValue(api, client, id, wlan::kOpcodeRadioState, radio) && RadioIsOn(radio)) state.radioOn = true;
      BOOL capable = FALSE;
      if (QueryInterfaceValue(api, client, id, wlan::kOpcodeHostedNetworkCapable, capable) && capable) {
        state.capable = true;
      }
    }
  }

  // Wine's wlanapi, and a Windows without the hosted network, cannot tell its status: nothing is known then.
  WlanMemory<wlan::HostedNetworkStatus> status(api);
  if (api.hostedNetworkQueryStatus(client, status.Out(), nullptr) != ERROR_SUCCESS || status.Get() == nullptr) {
    return state;
  }
  BOOL enabled = FALSE;
  if (!QueryHostedNetworkValue(api, client, wlan::kOpcodeEnable, enabled)) return state;
  state.answered = true;
  state.status = StatusOf(status.Get()->state);
  const GUID& adapter = status.Get()->ipDeviceId;
  if (state.status != HostedNetworkStatus::Unavailable && adapter != GUID{}) state.hostedAdapterGuid = GuidText(adapter);
  state.allowed = enabled != FALSE;
  wlan::ConnectionSettings settings{};
  if (QueryHostedNetworkValue(api, client, wlan::kOpcodeConnectionSettings, settings)) {
    const ULONG length = std::min<ULONG>(settings.ssid.length, sizeof(settings.ssid.bytes));
    state.ssid = std::vector<std::uint8_t>(settings.ssid.bytes, settings.ssid.bytes + length);
  }
  if (details != nullptr) ReadDetails(api, client, *status.Get(), state, *details);
  return state;
}

HostedNetworkState HostedNetworkQuery::Query(HostedNetworkDetails* details) {
  if (!loaded_) {
    wlan_ = LoadWlanFunctions();
    loaded_ = true;
  }
  return wlan_ ? QueryHostedNetworkWith(*wlan_, details) : HostedNetworkState();
}

}  // namespace lumvora::win32
