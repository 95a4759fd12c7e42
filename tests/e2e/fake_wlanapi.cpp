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
#include <string>

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

extern "C" __declspec(dllexport) DWORD WINAPI WlanOpenHandle(DWORD, void*, DWORD* negotiated, HANDLE* client) {
  const std::wstring path = e2e::StandInDirectory() + L"\\wlan_state.txt";
  g_stateFile = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  g_state = e2e::ReadSettings(path);
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
