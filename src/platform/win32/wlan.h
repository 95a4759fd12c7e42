// The part of the Native Wifi API (wlanapi.dll) that tells the state of the hosted network, declared from
// Microsoft's documented layout: MinGW's headers lack the hosted network's part. The program loads the DLL
// at run time, so only the types and the functions' shapes are needed. The names in the comments are
// Microsoft's.
#pragma once

#include "platform/win32/windows_api.h"

#include <cstddef>

namespace lumvora::win32::wlan {

inline constexpr DWORD kClientVersion = 2;  // Windows Vista and later

// WLAN_INTF_OPCODE
inline constexpr DWORD kOpcodeRadioState = 4;             // wlan_intf_opcode_radio_state
inline constexpr DWORD kOpcodeHostedNetworkCapable = 15;  // wlan_intf_opcode_hosted_network_capable
// WLAN_HOSTED_NETWORK_OPCODE
inline constexpr DWORD kOpcodeConnectionSettings = 0;  // wlan_hosted_network_opcode_connection_settings
inline constexpr DWORD kOpcodeEnable = 3;              // wlan_hosted_network_opcode_enable
// WLAN_HOSTED_NETWORK_STATE
inline constexpr DWORD kHostedNetworkUnavailable = 0;
inline constexpr DWORD kHostedNetworkIdle = 1;
inline constexpr DWORD kHostedNetworkActive = 2;
// WLAN_HOSTED_NETWORK_PEER_AUTH_STATE
inline constexpr DWORD kPeerAuthenticated = 1;  // wlan_hosted_network_peer_state_authenticated
// DOT11_RADIO_STATE
inline constexpr DWORD kRadioOn = 1;
inline constexpr DWORD kRadioOff = 2;

struct InterfaceInfo {  // WLAN_INTERFACE_INFO
  GUID interfaceGuid;
  wchar_t description[256];
  DWORD state;  // WLAN_INTERFACE_STATE
};

struct InterfaceInfoList {  // WLAN_INTERFACE_INFO_LIST
  DWORD numberOfItems;
  DWORD index;
  InterfaceInfo items[1];  // numberOfItems of them
};

struct PhyRadioState {  // WLAN_PHY_RADIO_STATE
  DWORD phyIndex;
  DWORD softwareRadioState;  // DOT11_RADIO_STATE
  DWORD hardwareRadioState;
};

struct RadioState {  // WLAN_RADIO_STATE
  DWORD numberOfPhys;
  PhyRadioState phys[64];
};

struct Ssid {  // DOT11_SSID
  ULONG length;
  UCHAR bytes[32];
};

struct ConnectionSettings {  // WLAN_HOSTED_NETWORK_CONNECTION_SETTINGS
  Ssid ssid;
  DWORD maxNumberOfPeers;
};

struct PeerState {  // WLAN_HOSTED_NETWORK_PEER_STATE
  UCHAR macAddress[6];
  DWORD authState;
};

struct HostedNetworkStatus {  // WLAN_HOSTED_NETWORK_STATUS
  DWORD state;  // WLAN_HOSTED_NETWORK_STATE
  GUID ipDeviceId;
  UCHAR bssid[6];
  DWORD phyType;  // DOT11_PHY_TYPE
  ULONG channelFrequency;
  DWORD numberOfPeers;
  PeerState peers[1];  // numberOfPeers of them
};

// No pointers inside: the same layout in both flavours.
static_assert(sizeof(InterfaceInfo) == 532);
static_assert(sizeof(InterfaceInfoList) == 540 && offsetof(InterfaceInfoList, items) == 8);
static_assert(sizeof(RadioState) == 772);
static_assert(sizeof(ConnectionSettings) == 40);
static_assert(sizeof(PeerState) == 12);
static_assert(offsetof(HostedNetworkStatus, phyType) == 28 && offsetof(HostedNetworkStatus, peers) == 40);
static_assert(sizeof(HostedNetworkStatus) == 52);

using OpenHandleFn = DWORD(WINAPI*)(DWORD clientVersion, void* reserved, DWORD* negotiatedVersion, HANDLE* client);
using CloseHandleFn = DWORD(WINAPI*)(HANDLE client, void* reserved);
using EnumInterfacesFn = DWORD(WINAPI*)(HANDLE client, void* reserved, InterfaceInfoList** list);
using QueryInterfaceFn = DWORD(WINAPI*)(HANDLE client, const GUID* interfaceGuid, DWORD opcode, void* reserved,
                                        DWORD* dataSize, void** data, DWORD* valueType);
using HostedNetworkQueryStatusFn = DWORD(WINAPI*)(HANDLE client, HostedNetworkStatus** status, void* reserved);
using HostedNetworkQueryPropertyFn = DWORD(WINAPI*)(HANDLE client, DWORD opcode, DWORD* dataSize, void** data,
                                                    DWORD* valueType, void* reserved);
// keyLength counts the NUL that ends a pass phrase (9 to 64); a binary key is 32 bytes; 0 and null: no key.
using HostedNetworkQuerySecondaryKeyFn = DWORD(WINAPI*)(HANDLE client, DWORD* keyLength, UCHAR** keyData,
                                                        BOOL* isPassPhrase, BOOL* persistent, DWORD* failReason,
                                                        void* reserved);
using FreeMemoryFn = void(WINAPI*)(void* memory);

}  // namespace lumvora::win32::wlan
