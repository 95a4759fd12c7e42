// Where the wireless driver has no hosted network, Windows' Mobile Hotspot stands in after the netsh
// command: when it may, what to ask it for each button, and what to tell the user.
#pragma once

#include "hotspot/hotspot_command.h"
#include "hotspot/verdict.h"
#include "platform/mobile_hotspot.h"

namespace lumvora {

extern const wchar_t kMobileHotspotStoodInLine[];
extern const wchar_t kNoInternetToShareLine[];
extern const wchar_t kMobileHotspotBusyLine[];
extern const wchar_t kMobileHotspotTimedOutLine[];
extern const wchar_t kMobileHotspotUnreachableLine[];

// What a start or a stop answered, in words: a line for each of Windows' answers, with its number.
std::wstring TetheringStatusLine(TetheringStatus status);

// A wireless adapter answered and none supports the hosted network: the only case where the Mobile
// Hotspot is asked at all (whether it is there is its own question).
bool MobileHotspotMayStandIn(const HostedNetworkState& network);

// Create sets name and key; start starts; close stops, where the hotspot is on or on its way.
MobileHotspotResult RunMobileHotspot(MobileHotspot& hotspot, const HotspotOperation& operation);

// Succeeded: create holds what was typed, start left it on, close left it off. The reasons always begin
// with the line that says the Mobile Hotspot stood in; a start that worked adds the connection shared.
Verdict JudgeMobileHotspot(const HotspotOperation& operation, const MobileHotspotResult& result);

}  // namespace lumvora
