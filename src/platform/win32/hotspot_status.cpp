#include "platform/win32/hotspot_status.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <algorithm>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

using namespace winrt;

// The IP helper's functions for the neighbour table, from the system directory on first use.
struct NeighbourFunctions {
  DWORD(WINAPI* getTable)(ADDRESS_FAMILY, MIB_IPNET_TABLE2**) = nullptr;
  void(WINAPI* freeTable)(void*) = nullptr;
  DWORD(WINAPI* guidToLuid)(const GUID*, NET_LUID*) = nullptr;
};

const NeighbourFunctions* Neighbours() {
  static const std::optional<NeighbourFunctions> functions = []() -> std::optional<NeighbourFunctions> {
    const HMODULE iphlpapi = LoadSystemLibrary(L"iphlpapi.dll");
    NeighbourFunctions api;
    if (FindFunction(iphlpapi, "GetIpNetTable2", api.getTable) && FindFunction(iphlpapi, "FreeMibTable", api.freeTable) &&
        FindFunction(iphlpapi, "ConvertInterfaceGuidToLuid", api.guidToLuid)) {
      return api;
    }
    return std::nullopt;
  }();
  return functions ? &*functions : nullptr;
}

// Addresses as Windows writes them, by ntdll's own functions: ntdll is in every process, nothing loads.
std::wstring AddressText(const SOCKADDR_INET& address) {
  wchar_t text[64] = {};
  if (address.si_family == AF_INET) {
    static const auto ipv4 = LoadedFunction<wchar_t*(WINAPI*)(const IN_ADDR*, wchar_t*)>(L"ntdll.dll", "RtlIpv4AddressToStringW");
    if (ipv4 != nullptr) ipv4(&address.Ipv4.sin_addr, text);
  } else {
    static const auto ipv6 = LoadedFunction<wchar_t*(WINAPI*)(const IN6_ADDR*, wchar_t*)>(L"ntdll.dll", "RtlIpv6AddressToStringW");
    if (ipv6 != nullptr) ipv6(&address.Ipv6.sin6_addr, text);
  }
  return text;
}

// The entries with a MAC address of the adapter's neighbour table. Each family is asked on its own: all
// Windows versions take AF_INET and AF_INET6, and Wine 8 refuses AF_UNSPEC.
std::vector<NeighbourEntry> NeighboursOf(const GUID& adapter) {
  std::vector<NeighbourEntry> entries;
  const NeighbourFunctions* api = Neighbours();
  NET_LUID luid{};
  if (api == nullptr || api->guidToLuid(&adapter, &luid) != NO_ERROR) return entries;
  for (const ADDRESS_FAMILY family : {AF_INET, AF_INET6}) {
    MIB_IPNET_TABLE2* table = nullptr;
    if (api->getTable(family, &table) != NO_ERROR || table == nullptr) continue;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
      const MIB_IPNET_ROW2& row = table->Table[i];
      if (row.InterfaceLuid.Value != luid.Value || row.PhysicalAddressLength != 6 ||
          row.State == NlnsUnreachable || row.State == NlnsIncomplete) {
        continue;
      }
      NeighbourEntry entry{{}, AddressText(row.Address), family == AF_INET};
      std::copy(row.PhysicalAddress, row.PhysicalAddress + 6, entry.mac.begin());
      if (!entry.ip.empty()) entries.push_back(entry);
    }
    api->freeTable(table);
  }
  return entries;
}

// The clients that have joined, with their host names; nothing where Windows does not tell them.
std::vector<TetheringClientEntry> ClientsOf(ITetheringManager* manager) {
  std::vector<TetheringClientEntry> clients;
  ComPtr<ITetheringClientManager> clientManager;
  ComPtr<VectorView<ITetheringClient>> list;
  UINT32 count = 0;
  if (FAILED(manager->QueryInterface(kIidTetheringClientManager, clientManager.OutVoid())) ||
      FAILED(clientManager->GetTetheringClients(list.Out())) || !list || FAILED(list->get_Size(&count))) {
    return clients;
  }
  for (UINT32 i = 0; i < count; ++i) {
    ComPtr<ITetheringClient> client;
    HString mac;
    ComPtr<VectorView<IHostName>> names;
    UINT32 nameCount = 0;
    if (FAILED(list->GetAt(i, client.Out())) || !client || FAILED(client->get_MacAddress(mac.Out()))) continue;
    TetheringClientEntry entry{mac.Text(), {}};
    if (SUCCEEDED(client->get_HostNames(names.Out())) && names && SUCCEEDED(names->get_Size(&nameCount))) {
      for (UINT32 j = 0; j < nameCount; ++j) {
        ComPtr<IHostName> name;
        HString display;
        INT32 type = 0;
        if (SUCCEEDED(names->GetAt(j, name.Out())) && name && SUCCEEDED(name->get_Type(&type)) && type >= 0 &&
            type <= 3 && SUCCEEDED(name->get_DisplayName(display.Out()))) {
          entry.hostNames.push_back({static_cast<HostNameEntry::Kind>(type), display.Text()});
        }
      }
    }
    clients.push_back(std::move(entry));
  }
  return clients;
}

}  // namespace

HostedNetworkReading Win32HotspotStatus::ReadHostedNetwork() {
  HostedNetworkReading reading;
  HostedNetworkDetails details;
  reading.state = hosted_.Query(&details);
  reading.peers = std::move(details.peers);
  reading.passphrase = std::move(details.passphrase);
  if (details.adapter) reading.neighbours = NeighboursOf(*details.adapter);
  return reading;
}

MobileHotspotResult Win32HotspotStatus::ReadMobileHotspot() {
  // A call that outlived its limit still runs: no second one beside it, and nothing known meanwhile.
  if (!tethering_.WaitForOutstanding(std::chrono::milliseconds(0))) {
    MobileHotspotResult waiting;
    Fail(waiting, HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    waiting.timedOut = true;
    return waiting;
  }
  return tethering_.Run([](MobileHotspotResult& result, Deadline) {
    const ComPtr<ITetheringManager> manager = MakeTetheringManager(false, result);
    if (!manager) return;
    ReadStateAndConfiguration(manager.Get(), result);
    if (result.state == TetheringState::On) result.clients = ClientsOf(manager.Get());
  });
}

std::wstring Win32HotspotStatus::FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return std::wstring();
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, data, size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, data, size, text.data(), length);
  return text;
}

}  // namespace lumvora::win32
