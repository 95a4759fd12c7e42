// Stands in for wlanapi.dll in the end-to-end tests: the harness puts it in the system directory, where the
// program loads it from. It answers as the file wlan_state.txt in the program's directory says, read anew
// at each WlanOpenHandle:
//   service=0        WlanOpenHandle fails with ERROR_SERVICE_NOT_ACTIVE (default 1)
//   interfaces=N     wireless adapters listed (default 1)
//   radio=0          their radio is off (default 1)
//   capable=0        their driver does not support the hosted network (default 1)
//   answers=0        the hosted network's queries return ERROR_CALL_NOT_IMPLEMENTED (default 1)
//   allowed=1        the hosted network is allowed (default 0)
//   state=unavailable|idle|active   its status (default idle)
//   ssid=HEX         the SSID Windows keeps, its bytes in hex (default none)
//   ipdevice={GUID}  the hosted network's adapter, as its status names it (default none: all zero)
// Without the file it answers as Wine's own does: the handle opens, no adapter is listed, and the hosted
// network's queries are not implemented. The fake netsh updates the file as a command that worked would.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/settings_file.h"
#include "platform/win32/wlan.h"

namespace wlan = lumvora::win32::wlan;

namespace {

e2e::Settings g_state;
bool g_stateFile = false;

int Number(const char* name, int fallback) {
  const auto it = g_state.find(name);
  return it == g_state.end() || it->second.empty() ? fallback : std::atoi(it->second.c_str());
}

template <typename T>
T* Allocate(size_t bytes = sizeof(T)) {
  return static_cast<T*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
}

bool HostedNetworkAnswers() { return g_stateFile && Number("answers", 1) != 0; }

}  // namespace

// ---- What the status window reads besides, in WLAN_HOSTED_NETWORK_STATUS's and the key's documented layout:
//   peers=MAC,MAC    devices that joined (AA-BB-CC-DD-EE-FF, any separator), authenticated, listed in
//                    whatever state the hosted network is (Windows' list means something only while active)
//   joining=MAC      one more peer, still joining (not authenticated)
//   key=TEXT         the pass phrase WlanHostedNetworkQuerySecondaryKey gives, its length counting the NUL
//                    (default: no key, length 0 and no data)
//   delay=MS         WlanOpenHandle takes that long, as a busy WLAN service may
namespace {

void AddPeer(std::vector<wlan::PeerState>& peers, const std::string& text, DWORD authState) {
  unsigned m[6] = {};
  if (std::sscanf(text.c_str(), "%2x%*c%2x%*c%2x%*c%2x%*c%2x%*c%2x", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5]) != 6) return;
  peers.push_back({{UCHAR(m[0]), UCHAR(m[1]), UCHAR(m[2]), UCHAR(m[3]), UCHAR(m[4]), UCHAR(m[5])}, authState});
}

void SlowDown() { ::Sleep(static_cast<DWORD>(Number("delay", 0))); }

// The status again, with room for its list of peers.
void AddPeers(wlan::HostedNetworkStatus** status) {
  std::vector<wlan::PeerState> peers;
  std::stringstream list(g_state["peers"]);
  for (std::string mac; std::getline(list, mac, ',');) AddPeer(peers, mac, wlan::kPeerAuthenticated);
  AddPeer(peers, g_state["joining"], 0);
  if (peers.empty()) return;
  const size_t bytes = offsetof(wlan::HostedNetworkStatus, peers) + sizeof(wlan::PeerState) * peers.size();
  *status = static_cast<wlan::HostedNetworkStatus*>(::HeapReAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, *status, bytes));
  (*status)->numberOfPeers = static_cast<DWORD>(peers.size());
  std::memcpy((*status)->peers, peers.data(), sizeof(wlan::PeerState) * peers.size());
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI WlanHostedNetworkQuerySecondaryKey(HANDLE, DWORD* length, UCHAR** data,
                                                                                 BOOL* passphrase, BOOL* persistent,
                                                                                 DWORD*, void*) {
  if (!HostedNetworkAnswers()) return ERROR_CALL_NOT_IMPLEMENTED;
  const auto key = g_state.find("key");
  *length = key == g_state.end() ? 0 : static_cast<DWORD>(key->second.size() + 1);
  *data = *length == 0 ? nullptr : Allocate<UCHAR>(*length);
  if (*data != nullptr) std::memcpy(*data, key->second.c_str(), *length);
  *passphrase = *persistent = TRUE;
  return ERROR_SUCCESS;
}
// ---- end of the status window's reads

extern "C" __declspec(dllexport) DWORD WINAPI WlanOpenHandle(DWORD, void*, DWORD* negotiated, HANDLE* client) {
  const std::wstring path = e2e::StandInDirectory() + L"\\wlan_state.txt";
  g_stateFile = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  g_state = e2e::ReadSettings(path);
  SlowDown();
  if (g_stateFile && Number("service", 1) == 0) return ERROR_SERVICE_NOT_ACTIVE;
  *negotiated = wlan::kClientVersion;
  *client = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1234));
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) DWORD WINAPI WlanCloseHandle(HANDLE, void*) { return ERROR_SUCCESS; }

extern "C" __declspec(dllexport) void WINAPI WlanFreeMemory(void* memory) { ::HeapFree(::GetProcessHeap(), 0, memory); }

extern "C" __declspec(dllexport) DWORD WINAPI WlanEnumInterfaces(HANDLE, void*, wlan::InterfaceInfoList** list) {
  const int count = g_stateFile ? Number("interfaces", 1) : 0;
  *list = Allocate<wlan::InterfaceInfoList>(sizeof(wlan::InterfaceInfoList) +
                                            sizeof(wlan::InterfaceInfo) * static_cast<size_t>(count));
  (*list)->numberOfItems = static_cast<DWORD>(count);
  for (int i = 0; i < count; ++i) (*list)->items[i].interfaceGuid.Data1 = static_cast<unsigned long>(i + 1);
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) DWORD WINAPI WlanQueryInterface(HANDLE, const GUID*, DWORD opcode, void*,
                                                                 DWORD* size, void** data, DWORD* valueType) {
  *valueType = 0;
  if (opcode == wlan::kOpcodeRadioState) {
    auto* radio = Allocate<wlan::RadioState>();
    const DWORD on = Number("radio", 1) ? wlan::kRadioOn : wlan::kRadioOff;
    radio->numberOfPhys = 1;
    radio->phys[0] = {0, on, on};
    *size = sizeof(*radio);
    *data = radio;
    return ERROR_SUCCESS;
  }
  if (opcode == wlan::kOpcodeHostedNetworkCapable) {
    auto* capable = Allocate<BOOL>();
    *capable = Number("capable", 1) != 0;
    *size = sizeof(*capable);
    *data = capable;
    return ERROR_SUCCESS;
  }
  return ERROR_NOT_SUPPORTED;
}

extern "C" __declspec(dllexport) DWORD WINAPI WlanHostedNetworkQueryStatus(HANDLE, wlan::HostedNetworkStatus** status,
                                                                           void*) {
  if (!HostedNetworkAnswers()) return ERROR_CALL_NOT_IMPLEMENTED;
  *status = Allocate<wlan::HostedNetworkStatus>();
  const std::string state = g_state.count("state") ? g_state["state"] : "idle";
  (*status)->state = state == "active"        ? wlan::kHostedNetworkActive
                     : state == "unavailable" ? wlan::kHostedNetworkUnavailable
                                              : wlan::kHostedNetworkIdle;
  unsigned int d[11] = {};
  if (std::sscanf(g_state["ipdevice"].c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d[0], &d[1], &d[2], &d[3],
                  &d[4], &d[5], &d[6], &d[7], &d[8], &d[9], &d[10]) == 11) {
    GUID& id = (*status)->ipDeviceId;
    id = {d[0], static_cast<WORD>(d[1]), static_cast<WORD>(d[2]), {}};
    for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<BYTE>(d[3 + i]);
  }
  AddPeers(status);
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) DWORD WINAPI WlanHostedNetworkQueryProperty(HANDLE, DWORD opcode, DWORD* size,
                                                                             void** data, DWORD* valueType, void*) {
  if (!HostedNetworkAnswers()) return ERROR_CALL_NOT_IMPLEMENTED;
  *valueType = 0;
  if (opcode == wlan::kOpcodeEnable) {
    auto* enabled = Allocate<BOOL>();
    *enabled = Number("allowed", 0) != 0;
    *size = sizeof(*enabled);
    *data = enabled;
    return ERROR_SUCCESS;
  }
  if (opcode == wlan::kOpcodeConnectionSettings) {
    auto* settings = Allocate<wlan::ConnectionSettings>();
    const std::string hex = g_state["ssid"];
    for (size_t i = 0; i + 1 < hex.size() && settings->ssid.length < 32; i += 2) {
      settings->ssid.bytes[settings->ssid.length++] = static_cast<UCHAR>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    *size = sizeof(*settings);
    *data = settings;
    return ERROR_SUCCESS;
  }
  return ERROR_NOT_SUPPORTED;
}
