#include <gtest/gtest.h>

#include <optional>

#include "hotspot/hotspot_operations.h"
#include "hotspot/verdict.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Lines = std::vector<std::wstring>;

HostedNetworkState NoApi() { return {}; }
HostedNetworkState ServiceStopped() {
  HostedNetworkState state;
  state.apiPresent = true;
  return state;
}
// Wine's own wlanapi: the handle opens, the hosted network's status cannot be read.
HostedNetworkState Silent() {
  HostedNetworkState state = ServiceStopped();
  state.serviceRunning = true;
  return state;
}
// A capable adapter with its radio on.
HostedNetworkState Answering(HostedNetworkStatus status, bool allowed, std::optional<std::string> ssid = "LumvoSoft") {
  HostedNetworkState state = Silent();
  state.answered = state.interfacesFound = state.radioOn = state.capable = true;
  state.allowed = allowed;
  state.status = status;
  if (ssid) state.ssid = std::vector<std::uint8_t>(ssid->begin(), ssid->end());
  return state;
}
HostedNetworkState With(HostedNetworkState state, bool interfaces, bool radio, bool capable) {
  state.interfacesFound = interfaces;
  state.radioOn = radio;
  state.capable = capable;
  return state;
}

constexpr auto kIdle = HostedNetworkStatus::Idle;
constexpr auto kActive = HostedNetworkStatus::Active;
constexpr auto kUnavailable = HostedNetworkStatus::Unavailable;

TEST(Verdict, SuccessOnlyWhereNetshAndWindowsAgreeAndEveryReasonInItsPlace) {
  const HotspotOperation create = CreateOperation(L"…", L"LumvoSoft", L"12345678");
  const HotspotOperation start = StartOperation();
  const HotspotOperation close = CloseOperation();
  const struct {
    const char* what;
    HotspotOperation operation;
    int exit;  // -1: still running at the time limit
    HostedNetworkState network;
    bool elevated;
    bool succeeded;
    Lines reasons;
  } cases[] = {
      {"no API: exit 0", start, 0, NoApi(), true, true, {}},
      {"no API: exit 1", start, 1, NoApi(), true, false, {}},
      {"status unreadable: exit 0", start, 0, Silent(), true, true, {}},
      {"status unreadable: exit 1", close, 1, Silent(), true, false, {}},
      {"started", start, 0, Answering(kActive, true), true, true, {}},
      {"start: exit 0, idle", start, 0, Answering(kIdle, true), true, false, {kNotStartedLine}},
      {"start: exit 1, idle", start, 1, Answering(kIdle, true), true, false, {}},
      {"start: time out, idle", start, -1, Answering(kIdle, true), true, false, {}},
      {"start after close: not allowed", start, 1, Answering(kIdle, false), true, false, {kStartNotAllowedLine}},
      {"created", create, 0, Answering(kIdle, true), true, true, {}},
      {"create: not allowed", create, 0, Answering(kIdle, false), true, false, {kNotAllowedLine}},
      {"create: another SSID", create, 0, Answering(kIdle, true, "Other"), true, false, {kSsidDiffersLine}},
      {"create: SSID not told", create, 0, Answering(kIdle, true, std::nullopt), true, true, {}},
      {"create: Chinese SSID not compared", CreateOperation(L"…", L"热点", L"12345678"), 0,
       Answering(kIdle, true, "\xC8\xC8\xB5\xE3"), true, true, {}},
      {"closed", close, 0, Answering(kIdle, false), true, true, {}},
      {"close: still allowed", close, 0, Answering(kIdle, true), true, false, {kStillAllowedLine}},
      {"service stopped: exit 0", start, 0, ServiceStopped(), true, false, {kServiceStoppedLine}},
      {"service stopped: exit 1", create, 1, ServiceStopped(), true, false, {kServiceStoppedLine}},
      {"no adapter", start, 1, With(Answering(kUnavailable, false), false, false, false), true, false,
       {kNoAdapterLine}},
      {"radio off", start, 1, With(Answering(kUnavailable, true), true, false, true), true, false,
       {kRadioOffLine}},
      {"not capable", start, 1, With(Answering(kUnavailable, true), true, true, false), true, false,
       {kNotCapableLine}},
      {"not elevated", close, 1, NoApi(), false, false, {kNotElevatedLine}},
      {"key too short", CreateOperation(L"…", L"LumvoSoft", L"1234567"), 1, NoApi(), true, false,
       {kKeyRuleLine}},
      {"key not ASCII", CreateOperation(L"…", L"LumvoSoft", L"密钥密钥密钥密钥"), 1, NoApi(), true, false,
       {kKeyRuleLine}},
      {"key too long", CreateOperation(L"…", L"LumvoSoft", std::wstring(64, L'k')), 1, NoApi(), true, false,
       {kKeyRuleLine}},
      {"key of 63, any printable ASCII", CreateOperation(L"…", L"LumvoSoft", L" ~!" + std::wstring(60, L'k')),
       1, NoApi(), true, false, {}},
      {"all at once, in order", CreateOperation(L"…", L"LumvoSoft", L"short"), 0,
       With(Answering(kUnavailable, false), true, false, false), false, false,
       {kRadioOffLine, kNotCapableLine, kNotElevatedLine, kKeyRuleLine, kNotAllowedLine}},
  };
  for (const auto& c : cases) {
    const CommandResult command{c.exit >= 0, static_cast<std::uint32_t>(c.exit >= 0 ? c.exit : 0), L""};
    const Verdict verdict = Judge(c.operation, {false, command, c.network, c.elevated, std::nullopt, std::nullopt});
    EXPECT_EQ(verdict.succeeded, c.succeeded) << c.what;
    EXPECT_EQ(verdict.reasons, c.reasons) << c.what;
  }
}

// The reasons stand between the headline and netsh's own words, each block apart by an empty line.
TEST(Verdict, TheBoxShowsTheHeadlineTheReasonsThenNetshsWords) {
  const struct {
    std::wstring printed;
    std::wstring text;
  } cases[] = {
      {L"无法启动承载网络。\r\n", L"无线热点启动失败！\r\n\r\n" + std::wstring(kRadioOffLine) + L"\r\n" +
                                      kNotCapableLine + L"\r\n\r\n无法启动承载网络。"},
      {L"", L"无线热点启动失败！\r\n\r\n" + std::wstring(kRadioOffLine) + L"\r\n" + kNotCapableLine},
  };
  for (const auto& c : cases) {
    ControllerRig rig;
    rig.controller.Start();
    rig.command.runResult = {true, 1, c.printed};
    rig.command.hostedNetwork = With(Answering(kUnavailable, true), true, false, false);
    rig.controller.OnStartHotspotClick();
    ASSERT_EQ(rig.session.messages.size(), 1u);
    EXPECT_EQ(rig.session.messages[0].text, c.text);
    EXPECT_EQ(rig.session.messages[0].icon, MessageIcon::Warning);
  }
}

}  // namespace
}  // namespace lumvora::testing
