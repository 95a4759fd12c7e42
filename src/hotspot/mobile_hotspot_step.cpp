#include "hotspot/mobile_hotspot_step.h"

#include <cstdio>

namespace lumvora {

const wchar_t kMobileHotspotStoodInLine[] = L"这台电脑的无线网卡不支持承载网络，Lumvora 改用了 Windows 的“移动热点”。";
const wchar_t kNoInternetToShareLine[] =
    L"Windows 的“移动热点”需要一个可以共享的互联网连接，这台电脑现在没有连上互联网。";
const wchar_t kMobileHotspotBusyLine[] = L"Windows 的“移动热点”正在开启或关闭，请稍等几秒再试。";

namespace {

const wchar_t* StatusName(TetheringStatus status) {
  switch (status) {
    case TetheringStatus::Success: return L"Success";
    case TetheringStatus::Unknown: return L"Unknown";
    case TetheringStatus::MobileBroadbandDeviceOff: return L"MobileBroadbandDeviceOff";
    case TetheringStatus::WiFiDeviceOff: return L"WiFiDeviceOff";
    case TetheringStatus::EntitlementCheckTimeout: return L"EntitlementCheckTimeout";
    case TetheringStatus::EntitlementCheckFailure: return L"EntitlementCheckFailure";
    case TetheringStatus::OperationInProgress: return L"OperationInProgress";
    case TetheringStatus::BluetoothDeviceOff: return L"BluetoothDeviceOff";
    case TetheringStatus::NetworkLimitedConnectivity: return L"NetworkLimitedConnectivity";
  }
  return L"?";
}

std::wstring HresultLine(const MobileHotspotResult& result) {
  wchar_t code[16];
  std::swprintf(code, 16, L"0x%08X", static_cast<unsigned>(result.hresult));
  return L"Windows 的“移动热点”出错（" + std::wstring(code) + L"）：" + result.systemText;
}

// What stands in the way, or nothing when the operation did what it should.
std::optional<std::wstring> Problem(const HotspotOperation& operation, const MobileHotspotResult& result) {
  if (result.hresult != 0 && !result.internet) return HresultLine(result);
  if (!result.internet) return kNoInternetToShareLine;
  if (result.status == TetheringStatus::WiFiDeviceOff) return kRadioOffLine;
  if (result.status == TetheringStatus::OperationInProgress || result.state == TetheringState::InTransition) {
    return kMobileHotspotBusyLine;
  }
  const bool badKey = operation.kind == HotspotKind::Create && !IsValidKey(operation.key);
  if (result.hresult != 0) return badKey ? kKeyRuleLine : HresultLine(result);
  if (result.status && *result.status != TetheringStatus::Success) {
    std::wstring line = L"Windows 的“移动热点”回答：" + std::wstring(StatusName(*result.status));
    if (!result.additionalErrorMessage.empty()) line += L"\r\n" + result.additionalErrorMessage;
    return line;
  }
  switch (operation.kind) {
    case HotspotKind::Create:
      if (result.ssid == operation.ssid && result.passphrase == operation.key) return std::nullopt;
      return badKey ? kKeyRuleLine : L"Windows 的“移动热点”保存的名称或密钥与输入的不同。";
    case HotspotKind::Start:
      if (result.state == TetheringState::On) return std::nullopt;
      return L"Windows 的“移动热点”没有开启。";
    case HotspotKind::Close:
      if (result.state == TetheringState::Off) return std::nullopt;
      return L"Windows 的“移动热点”没有关闭。";
  }
  return std::nullopt;
}

}  // namespace

bool MobileHotspotMayStandIn(const HostedNetworkState& network) {
  return network.apiPresent && network.serviceRunning && network.answered && network.interfacesFound &&
         !network.capable;
}

MobileHotspotResult RunMobileHotspot(MobileHotspot& hotspot, const HotspotOperation& operation) {
  switch (operation.kind) {
    case HotspotKind::Create: return hotspot.Configure(operation.ssid, operation.key);
    case HotspotKind::Start: return hotspot.Start();
    case HotspotKind::Close: break;
  }
  MobileHotspotResult now = hotspot.Query();
  if (now.internet && now.hresult == 0 &&
      (now.state == TetheringState::On || now.state == TetheringState::InTransition)) {
    return hotspot.Stop();
  }
  return now;
}

Verdict JudgeMobileHotspot(const HotspotOperation& operation, const MobileHotspotResult& result) {
  Verdict verdict;
  verdict.reasons.push_back(kMobileHotspotStoodInLine);
  const std::optional<std::wstring> problem = Problem(operation, result);
  verdict.succeeded = !problem;
  if (problem) {
    verdict.reasons.push_back(*problem);
  } else if (operation.kind == HotspotKind::Start) {
    verdict.reasons.push_back(L"已共享“" + result.profileName + L"”的互联网连接，连上热点的设备可以上网了。");
  }
  return verdict;
}

}  // namespace lumvora
