#include <gtest/gtest.h>

#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Log = std::vector<std::wstring>;

class MainControllerTest : public ::testing::Test, public ControllerRig {
 protected:
  // Runs something that may end the process; tells whether it did.
  template <typename F>
  bool Ends(F&& f) {
    try {
      f();
    } catch (const ProcessEnded&) {
      return true;
    }
    return false;
  }
};

TEST_F(MainControllerTest, StartUpSetsVersionAndAppDirRemovesLeftoverBatchFilesThenShowsTheWindow) {
  for (const wchar_t* name : {L"WXRD.bat", L"QDWXRD.bat", L"GBWXRD.bat"}) {
    session.files[std::wstring(L"C:\\Apps\\Lumvora\\") + name] = L"netsh ... Key=12345678\r\n";
  }
  session.files[L"C:\\Apps\\Lumvora\\other.bat"] = L"not ours";
  EXPECT_FALSE(Ends([&] { controller.Start(); }));
  EXPECT_EQ(log, (Log{L"VersionNumbers", L"SetVersionCaption", L"PreviousInstance", L"AppDirectory", L"DeleteFile",
                      L"DeleteFile", L"DeleteFile", L"Show"}));
  EXPECT_EQ(controller.VersionText(), L"1.2.0");
  EXPECT_EQ(view.versionCaption, L"程序版本：1.2.0");
  EXPECT_EQ(controller.AppDir(), L"C:\\Apps\\Lumvora\\");
  EXPECT_EQ(session.files.size(), 1u) << "only the three batch files go";
  EXPECT_TRUE(session.messages.empty());
}

TEST_F(MainControllerTest, ALeftoverThatCannotBeDeletedDoesNotStopTheStart) {
  session.failing = {L"DeleteFile"};
  EXPECT_FALSE(Ends([&] { controller.Start(); }));
  EXPECT_TRUE(view.shown);
  EXPECT_TRUE(session.messages.empty());
}

TEST_F(MainControllerTest, VersionTextIsMajorMinorRevisionInPlainDecimal) {
  EXPECT_EQ(FormatVersionText({1, 2, 7}), L"1.2.7");
  EXPECT_EQ(FormatVersionText({10, 0, 65535}), L"10.0.65535");
  EXPECT_EQ(FormatVersionText({0, 0, 0}), L"0.0.0");
}

TEST_F(MainControllerTest, AppDirAtADriveRootEndsInTwoBackslashes) {
  session.appDirectory = L"D:\\";
  controller.Start();
  EXPECT_EQ(controller.AppDir(), L"D:\\\\");
}

TEST_F(MainControllerTest, SecondInstanceIsToldAndEndsWithoutShowingTheWindow) {
  session.previousInstance = true;
  EXPECT_TRUE(Ends([&] { controller.Start(); }));
  EXPECT_FALSE(view.shown);
  ASSERT_EQ(session.messages.size(), 1u);
  EXPECT_EQ(session.messages[0].text, L"该程序已经在运行！");
  EXPECT_EQ(session.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(session.messages[0].caption, L"Lumvora");
  // The process ends only after the message has been acknowledged and the running one brought forward; it
  // deletes no batch file, which the running one may be using.
  EXPECT_EQ(log, (Log{L"VersionNumbers", L"SetVersionCaption", L"PreviousInstance", L"ShowMessage",
                      L"ShowPreviousInstance", L"EndProcess"}));
}

TEST_F(MainControllerTest, FailureDuringStartUpIsReportedThenEnds) {
  session.failAppDirectory = true;
  EXPECT_TRUE(Ends([&] { controller.Start(); }));
  EXPECT_FALSE(view.shown);
  ASSERT_EQ(session.messages.size(), 1u);
  EXPECT_EQ(session.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(session.messages[0].caption, L"Lumvora");
  const std::wstring& text = session.messages[0].text;
  EXPECT_NE(text.find(L"确定程序所在的目录"), std::wstring::npos) << "names the operation";
  EXPECT_NE(text.find(L"系统找不到指定的文件。"), std::wstring::npos) << "carries the system's text";
}

constexpr wchar_t kNotice[] =
    L"如果热点创建失败，可能是由于：\r\n1.您的操作系统版本低于Windows7\r\n2.您的网卡不支持\r\n3.您的操作步骤有误";

TEST_F(MainControllerTest, ClosingAndExitShowTheNoticeOnceThenEnd) {
  for (int way = 0; way < 2; ++way) {
    ControllerRig r;
    r.controller.Start();
    EXPECT_TRUE(Ends([&] { way == 0 ? r.controller.OnClose() : r.controller.OnMenuExit(); }));
    ASSERT_EQ(r.session.messages.size(), 1u);
    EXPECT_EQ(r.session.messages[0].text, kNotice);
    EXPECT_EQ(r.session.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(r.session.messages[0].caption, L"Lumvora");
    EXPECT_EQ(r.session.endProcessCalls, 1);
  }
}

TEST_F(MainControllerTest, ACloseRequestWhileTheNoticeIsShownDoesNotShowItAgain) {
  controller.Start();
  session.whileMessageShown = [&] { controller.OnClose(); };
  EXPECT_TRUE(Ends([&] { controller.OnMenuExit(); }));
  EXPECT_EQ(session.messages.size(), 1u);
  EXPECT_EQ(session.endProcessCalls, 1);
}

TEST(DescribeFailureTest, NamesOperationSubjectAndSystemText) {
  const PlatformError error(L"写入文件", L"C:\\A\\WXRD.bat", L"拒绝访问。");
  EXPECT_EQ(DescribeFailure(error), L"无法写入文件：\r\nC:\\A\\WXRD.bat\r\n\r\n拒绝访问。");
}

TEST(AboutTest, SixLinesWithTheVersionAndTenBlanksBeforeTheLast) {
  ControllerRig rig;
  rig.session.version = {1, 2, 7};
  rig.controller.Start();
  rig.controller.OnMenuAbout();
  ASSERT_EQ(rig.session.messages.size(), 1u);
  EXPECT_EQ(rig.session.messages[0].text,
            L"主程序版本：1.2.7\r\n完成时间：2012-6-7\r\n主程序设计：Kestrune\r\n帮助文件制作：Quillom\r\n\r\n"
            L"          纪念已逝的大学生活");
  EXPECT_EQ(rig.session.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(rig.session.messages[0].caption, L"Lumvora");
  EXPECT_EQ(rig.session.endProcessCalls, 0);
}

}  // namespace
}  // namespace lumvora::testing
