#include <gtest/gtest.h>

#include "app/form1.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Log = std::vector<std::wstring>;

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() {
    platform.log = &log;
    view.log = &log;
  }
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

  Log log;
  FakePlatform platform;
  FakeForm1View view;
  FakeForm2View form2;
  Form1 form{platform, view, form2};
};

TEST_F(Form1Test, StartUpSetsVersionAndAppDirThenShowsTheWindow) {
  EXPECT_FALSE(Ends([&] { form.Load(); }));
  EXPECT_EQ(log, (Log{L"VersionNumbers", L"SetVerInfoCaption", L"PreviousInstance", L"AppDirectory", L"Show"}));
  EXPECT_EQ(form.VersionText(), L"1.2.0");
  EXPECT_EQ(view.verInfo, L"程序版本：1.2.0");
  EXPECT_EQ(form.AppDir(), L"C:\\Apps\\Lumvora\\");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Form1Test, VersionTextIsMajorMinorRevisionInPlainDecimal) {
  EXPECT_EQ(FormatVersionText({1, 2, 7}), L"1.2.7");
  EXPECT_EQ(FormatVersionText({10, 0, 65535}), L"10.0.65535");
  EXPECT_EQ(FormatVersionText({0, 0, 0}), L"0.0.0");
}

TEST_F(Form1Test, AppDirAtADriveRootEndsInTwoBackslashes) {
  platform.appDirectory = L"D:\\";
  form.Load();
  EXPECT_EQ(form.AppDir(), L"D:\\\\");
}

TEST_F(Form1Test, SecondInstanceIsToldAndEndsWithoutShowingTheWindow) {
  platform.previousInstance = true;
  EXPECT_TRUE(Ends([&] { form.Load(); }));
  EXPECT_FALSE(view.shown);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, L"该程序已经在运行！");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(platform.messages[0].caption, L"Lumvora");
  // The process ends only after the message has been acknowledged.
  EXPECT_EQ(log.back(), L"EndProcess");
  EXPECT_EQ(log[log.size() - 2], L"ShowMessage");
}

TEST_F(Form1Test, FailureDuringStartUpIsReportedThenEnds) {
  platform.failAppDirectory = true;
  EXPECT_TRUE(Ends([&] { form.Load(); }));
  EXPECT_FALSE(view.shown);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(platform.messages[0].caption, L"Lumvora");
  const std::wstring& text = platform.messages[0].text;
  EXPECT_NE(text.find(L"确定程序所在的目录"), std::wstring::npos) << "names the operation";
  EXPECT_NE(text.find(L"系统找不到指定的文件。"), std::wstring::npos) << "carries the system's text";
}

constexpr wchar_t kNotice[] =
    L"如果热点创建失败，可能是由于：\r\n1.您的操作系统版本低于Windows7\r\n2.您的网卡不支持\r\n3.您的操作步骤有误";

TEST_F(Form1Test, ClosingAndExitShowTheNoticeOnceThenEnd) {
  for (int way = 0; way < 2; ++way) {
    FakePlatform p;
    FakeForm1View v;
    FakeForm2View f2;
    Form1 f{p, v, f2};
    f.Load();
    EXPECT_TRUE(Ends([&] { way == 0 ? f.OnClose() : f.OnExitClick(); }));
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].text, kNotice);
    EXPECT_EQ(p.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(p.messages[0].caption, L"Lumvora");
    EXPECT_EQ(p.endProcessCalls, 1);
  }
}

TEST_F(Form1Test, ACloseRequestWhileTheNoticeIsShownDoesNotShowItAgain) {
  form.Load();
  platform.whileMessageShown = [&] { form.OnClose(); };
  EXPECT_TRUE(Ends([&] { form.OnExitClick(); }));
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.endProcessCalls, 1);
}

TEST(DescribeFailureTest, NamesOperationSubjectAndSystemText) {
  const PlatformError error(L"写入文件", L"C:\\A\\WXRD.bat", L"拒绝访问。");
  EXPECT_EQ(DescribeFailure(error), L"无法写入文件：\r\nC:\\A\\WXRD.bat\r\n\r\n拒绝访问。");
}

}  // namespace
}  // namespace lumvora::testing

namespace lumvora::testing {
namespace {

TEST(AboutTest, SixLinesWithTheVersionAndTenBlanksBeforeTheLast) {
  FakePlatform platform;
  FakeForm1View view;
  platform.version = {1, 2, 7};
  FakeForm2View form2;
  Form1 form{platform, view, form2};
  form.Load();
  form.OnAboutClick();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            L"主程序版本：1.2.7\r\n完成时间：2012-6-7\r\n主程序设计：Kestrune\r\n帮助文件制作：Quillom\r\n\r\n"
            L"          纪念已逝的大学生活");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(platform.messages[0].caption, L"Lumvora");
  EXPECT_EQ(platform.endProcessCalls, 0);
}

}  // namespace
}  // namespace lumvora::testing
