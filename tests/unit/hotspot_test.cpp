#include <gtest/gtest.h>

#include "help/help_delivery.h"
#include "hotspot/hotspot_operations.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Log = std::vector<std::wstring>;
using namespace std::chrono_literals;

constexpr wchar_t kDir[] = L"C:\\Apps\\Lumvora\\";

TEST(ProtectForBatch, PlainValuesStandAsTyped) {
  EXPECT_EQ(BuildCreateCommand(L"LumvoSoft", L"12345678"),
            L"netsh wlan set hostednetwork mode=allow ssid =LumvoSoft Key=12345678");
  EXPECT_EQ(BuildCreateCommand(L"LumvoSoft", L""), L"netsh wlan set hostednetwork mode=allow ssid =LumvoSoft Key=");
  EXPECT_EQ(ProtectForBatch(L"热点-一号_2.4G"), L"热点-一号_2.4G");
}

TEST(ProtectForBatch, BlanksAndInterpreterCharactersAreQuoted) {
  EXPECT_EQ(ProtectForBatch(L" "), L"\" \"");
  EXPECT_EQ(ProtectForBatch(L"my net"), L"\"my net\"");
  EXPECT_EQ(ProtectForBatch(L"a&b12345"), L"\"a&b12345\"");
  for (const wchar_t* special : {L"|", L"<", L">", L"^", L"(", L")", L",", L";", L"=", L"!"}) {
    const std::wstring value = std::wstring(L"x") + special + L"y";
    EXPECT_EQ(ProtectForBatch(value), L"\"" + value + L"\"") << value.c_str();
  }
  EXPECT_EQ(BuildCreateCommand(L"my net", L"a&b12345"),
            L"netsh wlan set hostednetwork mode=allow ssid =\"my net\" Key=\"a&b12345\"");
}

TEST(ProtectForBatch, PercentIsDoubledQuotedOrNot) {
  EXPECT_EQ(ProtectForBatch(L"100%"), L"100%%");
  EXPECT_EQ(ProtectForBatch(L"%PATH%"), L"%%PATH%%");
  EXPECT_EQ(ProtectForBatch(L"a %b%"), L"\"a %%b%%\"");
}

TEST(ProtectForBatch, BackslashesRightBeforeTheClosingQuoteAreDoubledOthersStay) {
  EXPECT_EQ(ProtectForBatch(L"my net\\"), L"\"my net\\\\\"");
  EXPECT_EQ(ProtectForBatch(L"a\\\\ b\\\\\\"), L"\"a\\\\ b\\\\\\\\\\\\\"");
  EXPECT_EQ(ProtectForBatch(L"a\\b c"), L"\"a\\b c\"");
  EXPECT_EQ(ProtectForBatch(L"C:\\net\\"), L"C:\\net\\") << "unquoted: no quote follows";
}

TEST(ProtectForBatch, QuotesAndControlCharactersCannotBePassed) {
  EXPECT_TRUE(HasQuoteOrControl(L"a\"b"));
  EXPECT_TRUE(HasQuoteOrControl(L"a\tb"));
  EXPECT_TRUE(HasQuoteOrControl(L"a\r\nb"));
  EXPECT_TRUE(HasQuoteOrControl(std::wstring(L"a\0b", 3)));
  EXPECT_TRUE(HasQuoteOrControl(L"\x7f"));
  EXPECT_FALSE(HasQuoteOrControl(L"a&b|c%d 热点"));
}

TEST(FormatCommandOutput, DropsTrailingBlankLinesAndKeepsAtMostTwentyLines) {
  EXPECT_EQ(FormatCommandOutput(L""), L"");
  EXPECT_EQ(FormatCommandOutput(L"\r\n  \r\n"), L"");
  EXPECT_EQ(FormatCommandOutput(L"无法启动承载网络。\r\n\r\n"), L"无法启动承载网络。");
  EXPECT_EQ(FormatCommandOutput(L"a\nb\rc\r\n\r\nd\r\n"), L"a\r\nb\r\nc\r\n\r\nd");
  std::wstring many;
  for (int i = 1; i <= 30; ++i) many += std::to_wstring(i) + L"\r\n";
  const std::wstring shown = FormatCommandOutput(many);
  EXPECT_EQ(shown.rfind(L"20"), shown.size() - 2);
  EXPECT_EQ(shown.find(L"21"), std::wstring::npos);
  const std::wstring cut = FormatCommandOutput(L"short\r\n" + std::wstring(5000, L'x') + L"\r\n");
  EXPECT_EQ(cut, L"short\r\n" + std::wstring(159, L'x') + L"…");
}

class HotspotTest : public ::testing::Test, public ControllerRig {
 protected:
  HotspotTest() {
    controller.Start();
    log.clear();
  }
  const ShownMessage& OnlyMessage() {
    EXPECT_EQ(session.messages.size(), 1u);
    return session.messages.back();
  }
};

TEST_F(HotspotTest, CreateWritesRunsDeletesThenConfirms) {
  view.key = L"12345678";
  controller.OnCreateHotspotClick();
  EXPECT_EQ(log, (Log{L"Busy", L"WriteHeldTextFile", L"RunBatchFile", L"DeleteFile", L"QueryHostedNetwork", L"Idle",
                      L"ShowMessage"}));
  ASSERT_EQ(command.runs.size(), 1u);
  EXPECT_EQ(command.runs[0].batchPath, std::wstring(kDir) + L"WXRD.bat");
  EXPECT_EQ(command.runs[0].batchContent,
            L"netsh wlan set hostednetwork mode=allow ssid =LumvoSoft Key=12345678\r\n");
  EXPECT_EQ(command.runs[0].timeLimit, 60000ms);
  EXPECT_TRUE(command.files.empty()) << "the batch file is gone before the result is shown";
  EXPECT_EQ(OnlyMessage().text, L"无线热点创建成功！");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::None);
  EXPECT_EQ(OnlyMessage().caption, L"Lumvora");
  EXPECT_EQ(controller.CreateCmd(), L"netsh wlan set hostednetwork mode=allow ssid =LumvoSoft Key=12345678");
}

TEST_F(HotspotTest, StartAndCloseIgnoreTheTextBoxes) {
  view.ssid = L"a&b";
  view.key = L"\"";
  controller.OnStartHotspotClick();
  controller.OnCloseHotspotClick();
  ASSERT_EQ(command.runs.size(), 2u);
  EXPECT_EQ(command.runs[0].batchPath, std::wstring(kDir) + L"QDWXRD.bat");
  EXPECT_EQ(command.runs[0].batchContent, L"netsh wlan start hostednetwork\r\n");
  EXPECT_EQ(command.runs[1].batchPath, std::wstring(kDir) + L"GBWXRD.bat");
  EXPECT_EQ(command.runs[1].batchContent, L"netsh wlan set hostednetwork mode=disallow\r\n");
  ASSERT_EQ(session.messages.size(), 2u);
  EXPECT_EQ(session.messages[0].text, L"无线热点启动成功！");
  EXPECT_EQ(session.messages[1].text, L"无线热点已关闭！");
  EXPECT_EQ(controller.StartCmd(), L"netsh wlan start hostednetwork");
  EXPECT_EQ(controller.CloseCmd(), L"netsh wlan set hostednetwork mode=disallow");
}

TEST_F(HotspotTest, AFailedCommandShowsItsOutputUnderAWarning) {
  command.runResult = {true, 1, L"承载网络无法启动。\r\n组或资源的状态不是执行请求操作的正确状态。\r\n\r\n"};
  controller.OnStartHotspotClick();
  EXPECT_EQ(OnlyMessage().text,
            L"无线热点启动失败！\r\n\r\n承载网络无法启动。\r\n组或资源的状态不是执行请求操作的正确状态。");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::Warning);
  EXPECT_EQ(OnlyMessage().caption, L"Lumvora");
  EXPECT_TRUE(command.files.empty());
}

TEST_F(HotspotTest, AFailureThatPrintedNothingIsTheHeadlineAlone) {
  command.runResult = {true, 9009, L"\r\n"};
  controller.OnCloseHotspotClick();
  EXPECT_EQ(OnlyMessage().text, L"无线热点关闭失败！");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::Warning);
}

TEST_F(HotspotTest, ACommandStillRunningAtTheLimitIsReportedAsUnknown) {
  ControllerRig r{150ms};
  r.controller.Start();
  r.view.key = L"12345678";
  r.command.runResult = {false, 0, L"partial output"};
  r.controller.OnCreateHotspotClick();
  ASSERT_EQ(r.command.runs.size(), 1u);
  EXPECT_EQ(r.command.runs[0].timeLimit, 150ms);
  ASSERT_EQ(r.session.messages.size(), 1u);
  EXPECT_EQ(r.session.messages[0].text, L"无线热点创建失败！\r\n\r\n命令在60秒内没有结束，结果未知。");
  EXPECT_EQ(r.session.messages[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(r.command.files.empty()) << "the key does not stay on disk";
  EXPECT_FALSE(r.view.busy);
}

TEST_F(HotspotTest, TheWindowIsBusyOnlyWhileTheCommandRuns) {
  bool busyDuringRun = false;
  command.whileCommandRuns = [&] { busyDuringRun = view.busy; };
  controller.OnStartHotspotClick();
  EXPECT_TRUE(busyDuringRun);
  EXPECT_FALSE(view.busy);
}

TEST_F(HotspotTest, AClickArrivingWhileACommandRunsIsDropped) {
  command.whileCommandRuns = [&] {
    command.whileCommandRuns = nullptr;
    controller.OnCloseHotspotClick();
    controller.OnCreateHotspotClick();
  };
  controller.OnStartHotspotClick();
  EXPECT_EQ(command.runs.size(), 1u);
  EXPECT_EQ(session.messages.size(), 1u);
  controller.OnCloseHotspotClick();
  EXPECT_EQ(command.runs.size(), 2u) << "once it is over, clicks work again";
}

// A close request while the command runs must not end the program with the batch file (and the key) on
// disk: it waits until the file is deleted, then the notice is shown once and the program ends. A run that
// fails still reports its failure first.
TEST_F(HotspotTest, ACloseDuringACommandEndsOnlyAfterTheBatchFileIsDeleted) {
  const struct {
    const wchar_t* failing;
    Log expected;
  } cases[] = {
      {nullptr,
       {L"Busy", L"WriteHeldTextFile", L"RunBatchFile", L"DeleteFile", L"QueryHostedNetwork", L"Idle", L"ShowMessage",
        L"EndProcess"}},
      {L"DeleteFile",
       {L"Busy", L"WriteHeldTextFile", L"RunBatchFile", L"DeleteFile", L"Idle", L"ShowMessage", L"ShowMessage",
        L"EndProcess"}},
  };
  for (const auto& c : cases) {
    ControllerRig r;
    r.controller.Start();
    r.log.clear();
    if (c.failing) r.command.failing = {c.failing};
    r.command.whileCommandRuns = [&] {
      r.controller.OnClose();
      r.controller.OnClose();
      EXPECT_EQ(r.session.endProcessCalls, 0) << "not while the batch file is on disk";
    };
    EXPECT_THROW(r.controller.OnStartHotspotClick(), ProcessEnded);
    EXPECT_EQ(r.log, c.expected);
    EXPECT_TRUE(r.command.files.empty());
    EXPECT_EQ(r.session.messages.back().text, kTroubleshootingNoticeText);
    EXPECT_EQ(r.session.endProcessCalls, 1);
  }
}

// The command runs on the worker; meanwhile the one busy state turns every other request away, and a close
// is carried out once the command has ended.
TEST_F(HotspotTest, WhileACommandRunsOnTheWorkerNothingElseStartsAndACloseWaitsForIt) {
  worker.hold = true;
  helpFiles.resource.assign(HelpDocLength, 0);
  view.key = L"12345678";
  controller.OnStartHotspotClick();
  EXPECT_TRUE(view.busy);
  EXPECT_FALSE(controller.AcceptsInput());
  controller.OnHelpLinkClick();
  controller.OnMenuAbout();
  controller.OnCreateHotspotClick();
  controller.OnCloseHotspotClick();
  controller.OnMenuExit();
  controller.OnClose();
  EXPECT_TRUE(session.messages.empty());
  EXPECT_TRUE(helpFiles.started.empty());
  EXPECT_TRUE(helpFiles.files.empty());
  EXPECT_EQ(session.endProcessCalls, 0);
  worker.RunWork();
  EXPECT_EQ(command.runs.size(), 1u);
  EXPECT_TRUE(command.files.empty());
  EXPECT_THROW(worker.Finish(), ProcessEnded);
  ASSERT_EQ(session.messages.size(), 1u);
  EXPECT_EQ(session.messages[0].text, kTroubleshootingNoticeText);
}

// A logoff or shutdown while a command runs: the command is ended and its batch file deleted before the
// handler returns, and no box follows. Called off, commands run again.
TEST_F(HotspotTest, TheEndOfTheSessionEndsTheCommandAndDeletesItsFileBeforeItReturns) {
  worker.hold = true;
  controller.OnEndSession(true);
  EXPECT_TRUE(log.empty()) << "nothing runs: nothing to end";
  controller.OnStartHotspotClick();
  bool endedFirst = false;
  command.whileCommandRuns = [&] { endedFirst = session.commandsEnded; };
  controller.OnEndSession(true);
  EXPECT_TRUE(endedFirst);
  EXPECT_EQ(worker.waits, 1);
  EXPECT_TRUE(command.files.empty());
  worker.Finish();
  EXPECT_TRUE(session.messages.empty());
  EXPECT_FALSE(view.busy);
  controller.OnEndSession(false);
  EXPECT_FALSE(session.commandsEnded);
  worker.hold = false;
  controller.OnStartHotspotClick();
  EXPECT_EQ(OnlyMessage().text, L"无线热点启动成功！");
}

TEST_F(HotspotTest, EmptySsidShowsOnlyTheNotice) {
  controller.OnStartHotspotClick();
  const std::wstring before = controller.CreateCmd();
  view.ssid = L"LumvoSoft";
  view.key = L"12345678";
  controller.OnCreateHotspotClick();
  const std::wstring previous = controller.CreateCmd();
  session.messages.clear();
  log.clear();
  view.ssid = L"";
  controller.OnCreateHotspotClick();
  EXPECT_EQ(log, Log{L"ShowMessage"});
  EXPECT_EQ(OnlyMessage().text, L"热点名称(SSID)不能为空！");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::Information);
  EXPECT_EQ(OnlyMessage().caption, L"提示");
  EXPECT_EQ(controller.CreateCmd(), previous);
  EXPECT_NE(before, previous);
}

TEST_F(HotspotTest, ABlankSsidIsNotEmptyAndIsQuoted) {
  view.ssid = L" ";
  controller.OnCreateHotspotClick();
  ASSERT_EQ(command.runs.size(), 1u);
  EXPECT_EQ(command.runs[0].batchContent, L"netsh wlan set hostednetwork mode=allow ssid =\" \" Key=\r\n");
}

TEST_F(HotspotTest, ValuesThatCannotBePassedAreRefusedBeforeAnythingHappens) {
  const struct {
    std::wstring ssid, key, notice;
  } cases[] = {
      {L"a\"b", L"12345678", L"热点名称(SSID)不能包含双引号或控制字符！"},
      {L"ab\t", L"12345678", L"热点名称(SSID)不能包含双引号或控制字符！"},
      {L"net", L"1234\"5678", L"密钥(KEY)不能包含双引号或控制字符！"},
      {L"caf\u00e9", L"12345678", L"热点名称(SSID)包含系统代码页无法表示的字符！"},
      {L"net", L"key\U0001F600key", L"密钥(KEY)包含系统代码页无法表示的字符！"},
      // The SSID is judged first.
      {L"a\"", L"\U0001F600", L"热点名称(SSID)不能包含双引号或控制字符！"},
  };
  for (const auto& c : cases) {
    session.messages.clear();
    log.clear();
    view.ssid = c.ssid;
    view.key = c.key;
    controller.OnCreateHotspotClick();
    EXPECT_EQ(log, Log{L"ShowMessage"}) << c.notice;
    EXPECT_EQ(OnlyMessage().text, c.notice);
    EXPECT_EQ(OnlyMessage().icon, MessageIcon::Information);
    EXPECT_EQ(OnlyMessage().caption, L"提示");
    EXPECT_TRUE(controller.CreateCmd().empty());
  }
}

TEST_F(HotspotTest, AFileThatCannotBeWrittenIsReportedAndTheWindowGoesOn) {
  command.failing = {L"WriteHeldTextFile"};
  controller.OnStartHotspotClick();
  EXPECT_TRUE(command.runs.empty());
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::Error);
  EXPECT_EQ(OnlyMessage().caption, L"Lumvora");
  EXPECT_NE(OnlyMessage().text.find(L"QDWXRD.bat"), std::wstring::npos);
  EXPECT_NE(OnlyMessage().text.find(L"拒绝访问。"), std::wstring::npos);
  EXPECT_FALSE(view.busy);
  command.failing.clear();
  session.messages.clear();
  controller.OnStartHotspotClick();
  EXPECT_EQ(OnlyMessage().text, L"无线热点启动成功！") << "the next click works";
}

TEST_F(HotspotTest, AnInterpreterThatCannotStartLeavesNoBatchFile) {
  command.failing = {L"RunBatchFile"};
  controller.OnCreateHotspotClick();
  EXPECT_TRUE(command.files.empty());
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::Error);
  EXPECT_NE(OnlyMessage().text.find(L"RunBatchFile"), std::wstring::npos) << "names the failed operation";
  EXPECT_FALSE(view.busy);
}

TEST_F(HotspotTest, ABatchFileThatCannotBeDeletedIsReportedInsteadOfTheResult) {
  command.failing = {L"DeleteFile"};
  controller.OnCloseHotspotClick();
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::Error);
  EXPECT_NE(OnlyMessage().text.find(L"GBWXRD.bat"), std::wstring::npos);
  EXPECT_FALSE(view.busy);
}

}  // namespace
}  // namespace lumvora::testing
