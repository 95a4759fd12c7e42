#include "hotspot/mobile_hotspot_step.h"

#include <cstdio>
#include <iterator>

namespace lumvora {

const wchar_t kMobileHotspotStoodInLine[] = L"这台电脑的无线网卡不支持承载网络，Lumvora 改用了 Windows 的“移动热点”。";
const wchar_t kNoInternetToShareLine[] =
    L"Windows 的“移动热点”需要一个可以共享的互联网连接，这台电脑现在没有连上互联网。";
const wchar_t kMobileHotspotBusyLine[] = L"Windows 的“移动热点”正在开启或关闭，请稍等几秒再试。";
const wchar_t kMobileHotspotTimedOutLine[] =
    L"Windows 的“移动热点”没有及时回答，结果还不知道：它仍在进行。请稍等几秒，再点一次按钮查看。";
const wchar_t kMobileHotspotUnreachableLine[] =
    L"这台电脑现在没有任何网络连接，Lumvora 无法联系 Windows 的“移动热点”。";

std::wstring TetheringStatusLine(TetheringStatus status) {
  // Windows' TetheringOperationStatus, value for value.
  static constexpr const wchar_t* kMeanings[] = {
      L"操作成功。",
      L"操作的结果未知。",
      L"移动宽带设备已关闭，无法开启热点。",
      L"无线网卡已关闭，无法开启热点。",
      L"联系不上移动运营商，无法确认这个账户是否允许共享网络。",
      L"移动运营商不允许这个账户共享网络。",
      L"上一个开启或关闭的操作还在进行。",
      L"蓝牙已关闭，无法开启热点。",
      L"网络连接受限，操作没有完成。",
      L"热点已经开启。",
      L"无线网卡的限制使热点无法在所选的频段开启。",
      L"现在的无线连接与所选的频段冲突，热点无法在这个频段开启。",
  };
  const auto number = static_cast<std::int32_t>(status);
  const bool known = number >= 0 && number < static_cast<std::int32_t>(std::size(kMeanings));
  return L"Windows 的“移动热点”回答（状态 " + std::to_wstring(number) + L"）：" +
         (known ? kMeanings[number] : L"Lumvora 不认识这个回答。");
}

namespace {

std::wstring HresultLine(const MobileHotspotResult& result) {
  wchar_t code[16];
  std::swprintf(code, 16, L"0x%08X", static_cast<unsigned>(result.hresult));
  const std::wstring head = L"Windows 的“移动热点”出错（" + std::wstring(code) + L"）";
  // Where the system has no words for it, its number is all there is to tell.
  if (result.systemText.empty() || result.systemText.starts_with(L"错误代码")) return head + L"。";
  return head + L"：" + result.systemText;
}

// What stands in the way, or nothing when the operation did what it should.
std::optional<std::wstring> Problem(const HotspotOperation& operation, const MobileHotspotResult& result) {
  if (result.timedOut) return kMobileHotspotTimedOutLine;
  if (result.hresult != 0 && !result.manager) return HresultLine(result);
  // Only a start needs the internet connection: it is what the hotspot shares.
  if (!result.internet && operation.kind == HotspotKind::Start) return kNoInternetToShareLine;
  if (!result.manager) return kMobileHotspotUnreachableLine;
  if (result.status == TetheringStatus::WiFiDeviceOff) return kRadioOffLine;
  if (result.status == TetheringStatus::OperationInProgress || result.state == TetheringState::InTransition) {
    return kMobileHotspotBusyLine;
  }
  const bool badKey = operation.kind == HotspotKind::Create && !IsValidKey(operation.key);
  if (result.hresult != 0) return badKey ? kKeyRuleLine : HresultLine(result);
  if (result.status && *result.status != TetheringStatus::Success) {
    std::wstring line = TetheringStatusLine(*result.status);
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
  if (now.manager && now.hresult == 0 && !now.timedOut &&
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
