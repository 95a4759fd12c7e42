#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_controller.h"
#include "help/help_delivery.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Log = std::vector<std::wstring>;

constexpr wchar_t kHelpPath[] = L"C:\\Apps\\Lumvora\\Lumvo_help.chm";
constexpr wchar_t kPartPath[] = L"C:\\Apps\\Lumvora\\Lumvo_help.chm.part";
const FakePlatform::Started kViewer{L"C:\\Windows\\hh.exe",
                                    L"\"C:\\Windows\\hh.exe\" \"C:\\Apps\\Lumvora\\Lumvo_help.chm\""};

class HelpTest : public ::testing::Test {
 protected:
  HelpTest() {
    platform.log = &log;
    view.log = &log;
    helpProgress.log = &log;
    // The document followed by bytes that are not part of it.
    for (std::uint32_t i = 0; i < HelpDocLength + 2; ++i) {
      platform.resource.push_back(static_cast<std::uint8_t>(i < HelpDocLength ? (i * 31 + 7) & 0xFF : 0));
    }
    controller.Start();
    log.clear();
  }
  std::wstring Document() const {
    return std::wstring(platform.resource.begin(), platform.resource.begin() + HelpDocLength);
  }
  size_t Position(const std::wstring& entry) const {
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }

  Log log;
  FakePlatform platform;
  FakeMainView view;
  FakeHelpProgressView helpProgress;
  MainController controller{platform, view, helpProgress};
};

TEST_F(HelpTest, FirstClickWritesTheDocumentBehindTheStripThenStartsTheViewer) {
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.at(kHelpPath), Document()) << "exactly the first HelpDocLength bytes";
  EXPECT_EQ(platform.files.count(kPartPath), 0u);
  // The strip comes before the main window goes, and is gone before the file is closed and named.
  EXPECT_LT(Position(L"ShowHelpProgress"), Position(L"HideMainView"));
  EXPECT_LT(Position(L"HideMainView"), Position(L"LoadResourceBytes CUSTOM 101"));
  EXPECT_LT(Position(L"CloseHelpProgress"), Position(L"ShowMainViewAgain"));
  EXPECT_LT(Position(L"ShowMainViewAgain"), Position(L"CloseFile"));
  EXPECT_LT(Position(L"CloseFile"), Position(L"RenameFile"));
  EXPECT_LT(Position(L"RenameFile"), Position(L"StartProcess"));
  EXPECT_EQ(helpProgress.min, 0.0f);
  EXPECT_EQ(helpProgress.max, static_cast<float>(HelpDocLength));
  EXPECT_EQ(helpProgress.valueCalls, HelpDocLength) << "one update per byte";
  EXPECT_EQ(helpProgress.lastValue, static_cast<float>(HelpDocLength - 1));
  EXPECT_TRUE(helpProgress.valuesInOrder);
  EXPECT_FALSE(helpProgress.shown);
  EXPECT_TRUE(view.shown);
  EXPECT_EQ(platform.started, std::vector<FakePlatform::Started>{kViewer});
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(HelpTest, LaterClicksCompareTheFileWithTheDocumentAndOnlyStartTheViewer) {
  controller.OnHelpLinkClick();
  log.clear();
  controller.OnHelpLinkClick();
  controller.OnHelpLinkClick();
  const Log click{L"LoadResourceBytes CUSTOM 101", L"ReadFile", L"StartProcess"};
  Log twice = click;
  twice.insert(twice.end(), click.begin(), click.end());
  EXPECT_EQ(log, twice);
  EXPECT_EQ(platform.started.size(), 3u);
  EXPECT_EQ(platform.started.back(), kViewer);
}

// A file of that name that is not byte for byte this program's document is written over before the viewer
// opens it.
TEST_F(HelpTest, AFileThatIsNotTheProgramsOwnDocumentIsReplaced) {
  std::wstring changed = Document();
  changed[HelpDocLength / 2] ^= 0x01;
  const struct {
    const char* what;
    std::wstring content;
    bool unreadable;
  } cases[] = {
      {"cut short", Document().substr(0, HelpDocLength - 1), false},
      {"one byte changed", changed, false},
      {"another help document", L"ITSF" + std::wstring(1000, L'x'), false},
      {"longer", Document() + L"x", false},
      {"unreadable", Document(), true},
  };
  for (const auto& c : cases) {
    platform.files[kHelpPath] = c.content;
    platform.failing.clear();
    if (c.unreadable) platform.failing = {L"ReadFile"};
    platform.started.clear();
    log.clear();
    controller.OnHelpLinkClick();
    EXPECT_EQ(platform.files.at(kHelpPath), Document()) << c.what;
    EXPECT_LT(Position(L"ShowHelpProgress"), Position(L"RenameFile")) << c.what << ": behind the strip";
    EXPECT_EQ(platform.started, std::vector<FakePlatform::Started>{kViewer}) << c.what;
    EXPECT_TRUE(platform.messages.empty()) << c.what;
  }
}

TEST_F(HelpTest, AHiddenFileOfThatNameDoesNotCount) {
  platform.files[kHelpPath] = L"hidden";
  platform.hidden.insert(kHelpPath);
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.at(kHelpPath), Document());
  EXPECT_TRUE(platform.FileExists(kHelpPath));
}

TEST_F(HelpTest, ALeftoverPartIsReplacedNotWrittenOverInPlace) {
  platform.files[kPartPath] = std::wstring(HelpDocLength + 500, L'Z');
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.at(kHelpPath), Document());
}

TEST_F(HelpTest, AFailureMidwayLeavesNoFileAndBringsTheWindowBack) {
  platform.failWriteAt = static_cast<long>(HelpDocLength / 2);
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.count(kHelpPath), 0u);
  EXPECT_EQ(platform.files.count(kPartPath), 0u);
  EXPECT_FALSE(helpProgress.shown);
  EXPECT_TRUE(view.shown);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(platform.messages[0].caption, L"Lumvora");
  EXPECT_NE(platform.messages[0].text.find(L"磁盘空间不足。"), std::wstring::npos);
  EXPECT_TRUE(platform.started.empty()) << "no viewer for a document that is not there";
  // The program goes on: the next click writes the document.
  platform.failWriteAt = -1;
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.at(kHelpPath), Document());
}

TEST_F(HelpTest, EveryFailingStepIsReportedWithoutLeavingAFile) {
  for (const wchar_t* step : {L"LoadResourceBytes", L"WriteFileBytes", L"CloseFile", L"RenameFile"}) {
    FakePlatform p;
    FakeMainView v;
    FakeHelpProgressView progress;
    p.resource = platform.resource;
    MainController f{p, v, progress};
    f.Start();
    p.failing = {step};
    f.OnHelpLinkClick();
    EXPECT_EQ(p.files.count(kHelpPath), 0u) << step;
    EXPECT_EQ(p.files.count(kPartPath), 0u) << step;
    EXPECT_TRUE(v.shown) << step;
    EXPECT_FALSE(progress.shown) << step;
    ASSERT_EQ(p.messages.size(), 1u) << step;
    EXPECT_EQ(p.messages[0].icon, MessageIcon::Error) << step;
  }
}

TEST_F(HelpTest, AResourceShorterThanTheDocumentIsAFailureNotATruncatedFile) {
  platform.resource.resize(HelpDocLength - 1);
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.count(kHelpPath), 0u);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
}

TEST(HelpViewerCommand, TheViewerInTheWindowsDirectoryAndTheDocumentQuoted) {
  EXPECT_EQ(HelpViewerPath(L"C:\\WINDOWS"), L"C:\\WINDOWS\\hh.exe");
  EXPECT_EQ(HelpViewerPath(L"C:\\"), L"C:\\hh.exe");
  EXPECT_EQ(HelpViewerCommand(L"C:\\WINDOWS\\hh.exe", L"D:\\\\Lumvo_help.chm"),
            L"\"C:\\WINDOWS\\hh.exe\" \"D:\\\\Lumvo_help.chm\"");
  EXPECT_EQ(HelpViewerCommand(L"C:\\hh.exe", L"C:\\My Apps\\Lumvo_help.chm"),
            L"\"C:\\hh.exe\" \"C:\\My Apps\\Lumvo_help.chm\"");
}

}  // namespace
}  // namespace lumvora::testing
