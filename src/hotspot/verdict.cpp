#include "hotspot/verdict.h"

#include <optional>

namespace lumvora {

const wchar_t kServiceStoppedLine[] =
    L"Windows 的 WLAN AutoConfig 服务没有运行。请按 Win+R，输入 services.msc，启动“WLAN AutoConfig”服务。";
const wchar_t kNoAdapterLine[] = L"这台电脑上没有找到无线网卡，或者它已被禁用。请在“网络连接”中启用无线网络连接。";
const wchar_t kRadioOffLine[] = L"无线网卡已关闭。请打开无线开关（或按 Fn 组合键），或在 Windows 中打开 WLAN。";
const wchar_t kNotCapableLine[] =
    L"无线网卡的驱动不支持承载网络，所以无法在这台电脑上建立热点。可以到电脑或网卡厂商的网站更新驱动；"
    L"Windows 10 及以上版本可以改用“设置 → 网络和 Internet → 移动热点”。";
const wchar_t kStartNotAllowedLine[] =
    L"承载网络现在是禁止状态（点过“关闭热点”之后就是这样）。请先点“创建热点”，再点“启动热点”。";
const wchar_t kNotElevatedLine[] =
    L"Lumvora 没有以管理员身份运行。请关闭它，在 Lumvora.exe 上单击右键，选择“以管理员身份运行”。";
const wchar_t kKeyRuleLine[] = L"密钥必须是 8～63 个英文字母、数字或符号。";
const wchar_t kNotStartedLine[] = L"netsh 报告成功，但承载网络没有启动。";
const wchar_t kNotAllowedLine[] = L"netsh 报告成功，但承载网络没有被允许。";
const wchar_t kStillAllowedLine[] = L"netsh 报告成功，但承载网络仍然被允许。";
const wchar_t kSsidDiffersLine[] = L"netsh 报告成功，但 Windows 保存的热点名称与输入的不同。";

namespace {

bool IsPrintableAscii(wchar_t c) { return c >= 0x20 && c <= 0x7E; }

// Where the state disagrees with what the operation should have left, the line that says so.
std::optional<std::wstring> Disagreement(const HotspotOperation& operation, const HostedNetworkState& network) {
  switch (operation.kind) {
    case HotspotKind::Create: {
      if (!network.allowed) return kNotAllowedLine;
      // Windows keeps the SSID's bytes; only an ASCII one is known here as bytes without a code page.
      bool ascii = true;
      for (const wchar_t c : operation.ssid) ascii = ascii && c < 0x80;
      if (ascii && network.ssid &&
          *network.ssid != std::vector<std::uint8_t>(operation.ssid.begin(), operation.ssid.end())) {
        return kSsidDiffersLine;
      }
      return std::nullopt;
    }
    case HotspotKind::Start:
      if (network.status != HostedNetworkStatus::Active) return kNotStartedLine;
      return std::nullopt;
    case HotspotKind::Close:
      if (network.allowed) return kStillAllowedLine;
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

bool IsValidKey(const std::wstring& key) {
  if (key.size() < 8 || key.size() > 63) return false;
  for (const wchar_t c : key) {
    if (!IsPrintableAscii(c)) return false;
  }
  return true;
}

Verdict Judge(const HotspotOperation& operation, const CommandOutcome& outcome) {
  const HostedNetworkState& network = outcome.network;
  // A stopped service is an answer: no hosted network command can have worked without it.
  const bool serviceStopped = network.apiPresent && !network.serviceRunning;
  const bool answered = network.apiPresent && network.serviceRunning && network.answered;
  const bool exitedZero = outcome.command.finished && outcome.command.exitCode == 0;
  const std::optional<std::wstring> disagreement =
      answered ? Disagreement(operation, network) : std::optional<std::wstring>();
  Verdict verdict;
  verdict.succeeded = exitedZero && !serviceStopped && !disagreement;
  if (verdict.succeeded) return verdict;
  std::vector<std::wstring>& reasons = verdict.reasons;
  if (serviceStopped) reasons.push_back(kServiceStoppedLine);
  if (answered && !network.interfacesFound) reasons.push_back(kNoAdapterLine);
  if (answered && network.interfacesFound && !network.radioOn) reasons.push_back(kRadioOffLine);
  if (answered && network.interfacesFound && !network.capable) reasons.push_back(kNotCapableLine);
  // 关闭热点 leaves the hosted network disallowed, and netsh's own words for a start then say nothing useful.
  if (answered && network.interfacesFound && network.capable && operation.kind == HotspotKind::Start &&
      !network.allowed) {
    reasons.push_back(kStartNotAllowedLine);
  }
  if (!outcome.elevated) reasons.push_back(kNotElevatedLine);
  if (operation.kind == HotspotKind::Create && !IsValidKey(operation.key)) reasons.push_back(kKeyRuleLine);
  if (exitedZero && disagreement) reasons.push_back(*disagreement);
  return verdict;
}

}  // namespace lumvora
