#include <gtest/gtest.h>

#include "hotspot/internet_sharing.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Calls = std::vector<std::wstring>;
using Kind = SharingOutcome::Kind;
const std::wstring I = L"{AAAAAAAA-0000-0000-0000-000000000001}", H = L"{BBBBBBBB-0000-0000-0000-000000000002}",
                   h = L"{bbbbbbbb-0000-0000-0000-000000000002}",
                   O = L"{CCCCCCCC-0000-0000-0000-000000000003}", P = L"{DDDDDDDD-0000-0000-0000-000000000004}";

// The sharing settings of four connections; the hosted network's adapter is listed in lower case, as
// Windows may write it. Every call is recorded, failing ones too.
class FakeSharingSession : public SharingSession, public Recording {
 public:
  std::vector<NetworkConnection> connections{
      {I, L"以太网"}, {L"{bbbbbbbb-0000-0000-0000-000000000002}", L"本地连接* 2"}, {O, L"宽带连接"}, {P, L"本地连接 3"}};
  std::optional<std::wstring> internet = I;
  std::optional<std::uint32_t> listError;
  std::wstring failCall;  // this call fails failTimes times with failCode
  std::uint32_t failCode = 0x80004005;
  int failTimes = 0;
  bool serviceDisabled = false;

  std::vector<NetworkConnection> Connections() override {
    if (listError) throw SharingFailure({*listError, L"没有注册类。"});
    return connections;
  }
  std::optional<std::wstring> InternetAdapterGuid() override { return internet; }
  void Enable(const std::wstring& guid, SharingRole role) override {
    Change(guid, (role == SharingRole::Public ? L"+public " : L"+private ") + guid, true, role);
  }
  void Disable(const std::wstring& guid) override { Change(guid, L"-" + guid, false, SharingRole::Public); }
  void Share(const std::wstring& guid, SharingRole role) {
    for (auto& c : connections) {
      if (SameGuid(c.guid, guid)) c.shared = true, c.role = role;
    }
  }

 private:
  void Change(const std::wstring& guid, const std::wstring& call, bool shared, SharingRole role) {
    Log(call);
    if (call == failCall && failTimes-- > 0) throw SharingFailure({failCode, L"未指定的错误。", serviceDisabled});
    for (auto& c : connections) {
      if (SameGuid(c.guid, guid)) c.shared = shared, c.role = role;
    }
  }
};

// The end-to-end test has the common cases: nothing shared, the pair already shared, another pair moved, stale
// settings once, a refusal for good, the hotspot's own route, no sharing manager, a close.
TEST(InternetSharing, MovesTheOnePairToTheInternetConnectionAndTheHotspotOrPutsItBack) {
  const std::wstring fI = L"+public " + I, fH = L"+private " + h, fO = L"+public " + O, fP = L"+private " + P;
  const struct {
    const char* what;
    SharingStep step;
    std::wstring pub, priv;  // the pair shared before
    std::function<void(FakeSharingSession&)> setUp;
    Calls calls;
    Kind kind;
    std::uint32_t code;
    std::wstring pubAfter, privAfter;
  } cases[] = {
      {"half the pair", SharingStep::Share, I, P, nullptr, {L"-" + I, L"-" + P, fI, fH}, Kind::Shared, 0, I, H},
      {"stale settings twice", SharingStep::Share, O, P, [&](FakeSharingSession& s) { s.failCall = fI, s.failCode = kStaleSharingSettings, s.failTimes = 2; },
       {L"-" + O, L"-" + P, fI, L"-" + I, L"-{bbbbbbbb-0000-0000-0000-000000000002}", L"-" + O, L"-" + P, fI, fO, fP},
       Kind::Failed, kStaleSharingSettings, O, P},
      {"no route", SharingStep::Share, O, P, [](FakeSharingSession& s) { s.internet.reset(); }, {}, Kind::NoInternet, 0, O, P},
      {"route not a connection", SharingStep::Share, L"", L"", [](FakeSharingSession& s) { s.internet = L"{E}"; }, {},
       Kind::Failed, 0x80070490, L"", L""},
      {"stop: another pair", SharingStep::Stop, O, P, nullptr, {}, Kind::NotShared, 0, O, P},
      {"stop: no sharing manager", SharingStep::Stop, L"", L"", [](FakeSharingSession& s) { s.listError = kClassNotRegistered; },
       {}, Kind::NotShared, 0, L"", L""},
      {"stop: refused", SharingStep::Stop, I, H, [&](FakeSharingSession& s) { s.failCall = L"-" + h, s.failTimes = 1; },
       {L"-{bbbbbbbb-0000-0000-0000-000000000002}"}, Kind::UnshareFailed, 0x80004005, I, H},
  };
  for (const auto& c : cases) {
    Calls calls;
    FakeSharingSession session;
    session.log = &calls;
    if (!c.pub.empty()) session.Share(c.pub, SharingRole::Public);
    if (!c.priv.empty()) session.Share(c.priv, SharingRole::Private);
    if (c.setUp) c.setUp(session);
    const SharingOutcome outcome = c.step == SharingStep::Share ? ShareInternet(session, H) : StopSharing(session, H);
    EXPECT_EQ(calls, c.calls) << c.what;
    EXPECT_EQ(outcome.kind, c.kind) << c.what;
    EXPECT_EQ(outcome.error.code, c.code) << c.what;
    if (c.kind == Kind::Shared) {
      EXPECT_EQ(outcome.connectionName, L"以太网") << c.what;
    }
    std::wstring pubAfter, privAfter;
    for (const auto& conn : session.connections) {
      if (conn.shared) (conn.role == SharingRole::Public ? pubAfter : privAfter) += conn.guid;
    }
    EXPECT_TRUE(SameGuid(pubAfter, c.pubAfter) && SameGuid(privAfter, c.privAfter)) << c.what;
  }
}

// The end-to-end test has the boxes of sharing done, refused and not needed.
TEST(InternetSharing, TheResultBoxSaysWhatBecameOfItAndCloseTakesItBackFirst) {
  const std::wstring started = L"无线热点启动成功！\r\n", closed = L"无线热点已关闭！";
  const struct {
    const char* what;
    bool close, guidKnown;
    std::uint32_t exitCode;
    std::function<void(FakeSharing&, FakeSharingSession&)> setUp;
    std::wstring text;
    MessageIcon icon;
  } cases[] = {
      {"out of time", false, true, 0, [](FakeSharing& s, FakeSharingSession&) { s.finishes = false; },
       started + L"共享互联网连接的操作在60秒内没有完成，结果还不知道：它仍在进行。过一会儿可以在“网络连接”中查看。", MessageIcon::Warning},
      {"service disabled", false, true, 0, [&](FakeSharing&, FakeSharingSession& s) { s.failCall = L"+public " + I, s.failTimes = 1, s.serviceDisabled = true; },
       started + L"没能共享互联网连接（未指定的错误），连上热点的设备暂时不能上网。可以按使用说明手动共享。\r\nWindows 的 Internet "
                 L"Connection Sharing (ICS) 服务已被禁用。请按 Win+R，输入 services.msc，把“Internet Connection Sharing (ICS)”服务的启动类型改为“手动”。",
       MessageIcon::Warning},
      {"hotspot adapter unknown", false, false, 0, nullptr, L"无线热点启动成功！", MessageIcon::None},
      {"start failed", false, true, 1, nullptr, L"无线热点启动失败！", MessageIcon::Warning},
      {"close refused", true, true, 0,
       [](FakeSharing&, FakeSharingSession& s) { s.Share(I, SharingRole::Public), s.Share(H, SharingRole::Private), s.failCall = L"-" + h, s.failTimes = 1; },
       closed + L"\r\n没能取消热点的互联网连接共享（未指定的错误），可以在“网络连接”中手动取消。", MessageIcon::None},
  };
  for (const auto& c : cases) {
    ControllerRig rig;
    FakeSharingSession session;
    session.log = &rig.log;
    rig.sharing.session = &session;
    if (c.setUp) c.setUp(rig.sharing, session);
    HostedNetworkState& network = rig.command.hostedNetwork;
    network.apiPresent = network.serviceRunning = network.answered = network.interfacesFound = true;
    network.radioOn = network.capable = true;
    network.allowed = !c.close;
    network.status = HostedNetworkStatus::Active;
    if (c.guidKnown) network.hostedAdapterGuid = H;
    rig.command.runResult = {true, c.exitCode, L""};
    rig.controller.Start();
    c.close ? rig.controller.OnCloseHotspotClick() : rig.controller.OnStartHotspotClick();
    const Calls& log = rig.log;
    ASSERT_EQ(rig.session.messages.size(), 1u) << c.what;
    EXPECT_EQ(rig.session.messages[0].text, c.text) << c.what;
    EXPECT_EQ(rig.session.messages[0].icon, c.icon) << c.what;
    const bool tried = c.guidKnown && c.exitCode == 0;
    EXPECT_EQ(std::count(log.begin(), log.end(), L"Sharing"), tried ? 1 : 0) << c.what;
    if (c.close) {
      const auto taken = std::find(log.begin(), log.end(), L"-{bbbbbbbb-0000-0000-0000-000000000002}");
      EXPECT_LT(std::find(log.begin(), log.end(), L"QueryHostedNetwork"), taken) << c.what;
      EXPECT_LT(taken, std::find(log.begin(), log.end(), L"RunBatchFile")) << c.what;
    }
  }
}

// The close takes back exactly what the start did: with the adapter it shared with, though the hosted network
// names none any more (radio off), and the user's own pair put back; where something else shares by then, or a
// step of the start still runs, nothing of the user's is touched.
TEST(InternetSharing, TheCloseTakesBackWhatTheStartTookWithTheAdapterRememberedFromTheStart) {
  const struct {
    const char* what;
    bool othersShare, stepStillRuns;
    std::wstring pubAfter, privAfter;
  } cases[] = {
      {"the user's pair back", false, false, O, P},
      {"another pair since", true, false, L"", P},
      {"a step still runs", false, true, I, H},
  };
  for (const auto& c : cases) {
    ControllerRig rig;
    FakeSharingSession session;
    rig.sharing.session = &session;
    session.Share(O, SharingRole::Public), session.Share(P, SharingRole::Private);
    HostedNetworkState& network = rig.command.hostedNetwork;
    network.apiPresent = network.serviceRunning = network.answered = network.interfacesFound = true;
    network.radioOn = network.capable = network.allowed = true;
    network.status = HostedNetworkStatus::Active;
    network.hostedAdapterGuid = H;
    rig.controller.Start();
    rig.controller.OnStartHotspotClick();
    network = {};  // the radio is off: Windows names no adapter any more
    if (c.othersShare) session.Share(P, SharingRole::Private);
    rig.sharing.settled = !c.stepStillRuns;
    rig.controller.OnCloseHotspotClick();
    std::wstring pubAfter, privAfter;
    for (const auto& conn : session.connections) {
      if (conn.shared) (conn.role == SharingRole::Public ? pubAfter : privAfter) += conn.guid;
    }
    EXPECT_TRUE(SameGuid(pubAfter, c.pubAfter) && SameGuid(privAfter, c.privAfter)) << c.what;
    EXPECT_EQ(rig.session.messages.back().text,
              c.stepStillRuns ? L"上一次操作还没有结束，请稍等几秒再试。" : L"无线热点已关闭！") << c.what;
    EXPECT_EQ(rig.command.runs.size(), c.stepStillRuns ? 1u : 2u) << c.what << ": the close's command runs only after";
  }
}

}  // namespace
}  // namespace lumvora::testing
