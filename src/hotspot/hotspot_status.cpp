#include "hotspot/hotspot_status.h"

#include <algorithm>
#include <memory>

#include "hotspot/mobile_hotspot_step.h"
#include "hotspot/verdict.h"

namespace lumvora {

// The state line: on, off, or why it cannot be known.
const wchar_t kHostedNetworkOnLine[] = L"热点已开启（承载网络）";
const wchar_t kMobileHotspotOnLine[] = L"热点已开启（Windows 的“移动热点”）";
const wchar_t kHotspotOffLine[] = L"热点没有开启";
const wchar_t kMobileHotspotNoAnswerLine[] = L"Windows 的“移动热点”没有及时回答，现在还不知道它是否开启。";

namespace {

const wchar_t kNamePrefix[] = L"热点名称：";
const wchar_t kKeyPrefix[] = L"密钥：";
const wchar_t kSharedPrefix[] = L"共享的互联网连接：";
const wchar_t kUnknown[] = L"（未知）";

}  // namespace

// Until the first reading has come.
const wchar_t kReadingStatusLine[] = L"正在读取热点的状态……";
const wchar_t kNothingSharedLine[] = L"没有共享互联网连接";
const wchar_t kScanHintLine[] = L"用手机相机或微信扫一扫，就能连上这个热点。";
const wchar_t kNameNotForCodeLine[] =
    L"热点名称的编码不是手机能认出的，所以没有二维码：请在手机上选择这个热点，再输入密钥。";

namespace {

void AppendCodePoint(std::wstring& out, char32_t c) {
  // Windows' wchar_t holds UTF-16: a character past the first plane takes a surrogate pair.
  if (sizeof(wchar_t) == 2 && c >= 0x10000) {
    c -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (c >> 10));
    out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    return;
  }
  out += static_cast<wchar_t>(c);
}

// Strict UTF-8: no overlong form, no surrogate, nothing past U+10FFFF. Nothing where the bytes are not that.
std::optional<std::wstring> FromUtf8(const std::vector<std::uint8_t>& bytes) {
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::uint8_t lead = bytes[i];
    const int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || bytes.size() - i <= static_cast<std::size_t>(extra)) return std::nullopt;
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (bytes[i + k] & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    AppendCodePoint(out, c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

// A pass phrase is 8 to 63 printable ASCII characters; anything else is not shown as one.
std::optional<std::wstring> KeyText(const std::optional<std::string>& passphrase) {
  if (!passphrase || passphrase->empty()) return std::nullopt;
  std::wstring key;
  for (const char c : *passphrase) {
    if (c < 0x20 || c > 0x7E) return std::nullopt;
    key += static_cast<wchar_t>(c);
  }
  return key;
}

bool MobileAnswered(const MobileHotspotResult& mobile) {
  return mobile.manager && mobile.hresult == 0 && !mobile.timedOut;
}

std::wstring StateLine(const HotspotStatus& status) {
  const HostedNetworkState& network = status.hosted.state;
  if (network.answered && network.status == HostedNetworkStatus::Active) return kHostedNetworkOnLine;
  if (status.mobile) {
    if (MobileAnswered(*status.mobile) && status.mobile->state == TetheringState::On) return kMobileHotspotOnLine;
    if (status.mobile->timedOut || status.mobile->hresult != 0) return kMobileHotspotNoAnswerLine;
    if (!status.mobile->manager) return kMobileHotspotUnreachableLine;
  }
  if (network.apiPresent && !network.serviceRunning) return kServiceStoppedLine;
  if (network.serviceRunning && !network.interfacesFound) return kNoAdapterLine;
  if (network.interfacesFound && !network.radioOn) return kRadioOffLine;
  // Where the Mobile Hotspot stands in, its state said it all.
  if (network.answered && !network.capable && !status.mobile) return kNotCapableLine;
  return kHotspotOffLine;
}

// Internet sharing: the connection shared publicly, where the hosted network's adapter is the private one.
std::wstring HostedNetworkSharedLine(const HotspotStatus& status) {
  const std::optional<std::wstring>& adapter = status.hosted.state.hostedAdapterGuid;
  if (!adapter) return kNothingSharedLine;
  if (!status.connections) return std::wstring(kSharedPrefix) + kUnknown;
  const std::vector<NetworkConnection>& connections = *status.connections;
  const bool hostedPrivate = std::any_of(connections.begin(), connections.end(), [&](const NetworkConnection& c) {
    return c.shared && c.role == SharingRole::Private && SameGuid(c.guid, *adapter);
  });
  for (const NetworkConnection& connection : connections) {
    if (hostedPrivate && connection.shared && connection.role == SharingRole::Public) return kSharedPrefix + connection.name;
  }
  return kNothingSharedLine;
}

}  // namespace

HotspotStatus ReadHotspotStatus(HotspotStatusReader& reader, ConnectionSharing& sharing) {
  HotspotStatus status;
  status.hosted = reader.ReadHostedNetwork();
  if (MobileHotspotMayStandIn(status.hosted.state) && reader.MobileHotspotAvailable()) {
    status.mobile = reader.ReadMobileHotspot();
    return status;
  }
  // A sharing call that outlived its limit (a command's or an earlier refresh's) gets no second one beside it.
  if (!status.hosted.state.hostedAdapterGuid || !sharing.WaitForOutstanding(std::chrono::milliseconds(0))) {
    return status;
  }
  // Owned by the call as well: one that outlives the limit writes here, not into a gone reading.
  const auto connections = std::make_shared<std::optional<std::vector<NetworkConnection>>>();
  const bool finished = sharing.Run(
      [connections](SharingSession& session) {
        try {
          *connections = session.Connections();
        } catch (const SharingFailure& failure) {
          // A Windows without the sharing manager shares nothing; any other failure leaves it unknown.
          if (failure.Error().code == kClassNotRegistered) *connections = std::vector<NetworkConnection>();
        }
      },
      kStatusSharingTimeLimit);
  if (finished) status.connections = *connections;
  return status;
}

std::wstring SsidText(const std::vector<std::uint8_t>& bytes, const AnsiDecoder& ansi) {
  std::optional<std::wstring> text = FromUtf8(bytes);
  return text ? *text : ansi(bytes);
}

HotspotStatusLines DescribeHotspotStatus(const HotspotStatus& status, const AnsiDecoder& ansi) {
  HotspotStatusLines lines;
  lines.state = StateLine(status);
  std::optional<std::wstring> name, key;
  bool on = false;
  // A phone finds the network by the bytes of its name: a code carries them only where they are UTF-8.
  bool nameFitsCode = true;
  if (status.mobile && MobileAnswered(*status.mobile)) {
    const MobileHotspotResult& mobile = *status.mobile;
    name = mobile.ssid;
    key = mobile.passphrase;
    on = mobile.state == TetheringState::On;
    if (on) lines.devices = TetheringClientDevices(mobile.clients);
    lines.shared = on && mobile.internet ? kSharedPrefix + mobile.profileName : kNothingSharedLine;
  } else if (status.mobile) {
    lines.shared = std::wstring(kSharedPrefix) + kUnknown;
  } else {
    const HostedNetworkReading& hosted = status.hosted;
    if (hosted.state.ssid && !hosted.state.ssid->empty()) {
      name = SsidText(*hosted.state.ssid, ansi);
      nameFitsCode = FromUtf8(*hosted.state.ssid).has_value();
    }
    key = KeyText(hosted.passphrase);
    on = hosted.state.answered && hosted.state.status == HostedNetworkStatus::Active;
    if (on) lines.devices = HostedNetworkDevices(hosted.peers, hosted.neighbours);
    lines.shared = HostedNetworkSharedLine(status);
  }
  if (name && name->empty()) name.reset();
  if (key && key->empty()) key.reset();
  lines.name = kNamePrefix + name.value_or(kUnknown);
  lines.key = kKeyPrefix + key.value_or(kUnknown);
  if (on && name && key && nameFitsCode) {
    lines.joinText = WifiJoinText(*name, *key);
    lines.joinCode = EncodeJoinCode(lines.joinText);
  }
  if (lines.joinCode.size > 0) lines.codeHint = kScanHintLine;
  if (on && name && key && !nameFitsCode) lines.codeHint = kNameNotForCodeLine;
  lines.devicesHeading = L"已连接的设备（" + std::to_wstring(lines.devices.size()) + L"）";
  return lines;
}

}  // namespace lumvora
