#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

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
  FakeWorker worker;
  MainController controller{platform, view, helpProgress, worker};
};

TEST_F(HelpTest, FirstClickWritesTheDocumentBehindTheStripThenStartsTheViewer) {
  controller.OnHelpLinkClick();
  EXPECT_EQ(platform.files.at(kHelpPath), Document()) << "exactly the first HelpDocLength bytes";
  EXPECT_EQ(platform.files.count(kPartPath), 0u);
  // The strip comes before the main window goes, and is gone before the file is closed and named.
  EXPECT_LT(Position(L"ShowHelpProgress"), Position(L"HideMainView"));
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

// The document is held from its check on: nobody can change it before the viewer opens it, so later clicks
// only start the viewer.
TEST_F(HelpTest, TheCheckedDocumentStaysHeldAndLaterClicksOnlyStartTheViewer) {
  controller.OnHelpLinkClick();
  EXPECT_LT(Position(L"RenameFile"), Position(L"HoldIfIdentical"));
  EXPECT_LT(Position(L"HoldIfIdentical"), Position(L"StartProcess"));
  EXPECT_EQ(platform.held, std::set<std::wstring>{kHelpPath});
  log.clear();
  controller.OnHelpLinkClick();
  controller.OnHelpLinkClick();
  EXPECT_EQ(log, (Log{L"StartProcess", L"StartProcess"}));
  EXPECT_EQ(platform.held, std::set<std::wstring>{kHelpPath});
  EXPECT_EQ(platform.started.size(), 3u);
}

// A file of that name is held and opened as it is only when it is byte for byte this program's document;
// anything else is written over first. A document that cannot be held as written is never opened.
TEST_F(HelpTest, OnlyTheProgramsOwnDocumentIsOpenedAndAnythingElseIsReplaced) {
  std::wstring changed = Document();
  changed[HelpDocLength / 2] ^= 0x01;
  const struct {
    const char* what;
    std::optional<std::wstring> content;
    bool holdFails;  // the file cannot be held as it is (open for writing elsewhere, changed behind the check)
    bool written, opened;
  } cases[] = {
      {"the document", Document(), false, false, true},
      {"none", std::nullopt, false, true, true},
      {"cut short", Document().substr(0, HelpDocLength - 1), false, true, true},
      {"one byte changed", changed, false, true, true},
      {"another help document", L"ITSF" + std::wstring(1000, L'x'), false, true, true},
      {"longer", Document() + L"x", false, true, true},
      {"cannot be held, not even once written", Document(), true, true, false},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    FakeMainView v;
    FakeHelpProgressView progress;
    FakeWorker w;
    Log calls;
    p.resource = platform.resource;
    MainController f{p, v, progress, w};
    f.Start();
    if (c.content) p.files[kHelpPath] = *c.content;
    if (c.holdFails) p.failing = {L"HoldIfIdentical"};
    p.log = progress.log = &calls;
    f.OnHelpLinkClick();
    const auto at = [&](const wchar_t* entry) { return std::find(calls.begin(), calls.end(), entry) - calls.begin(); };
    EXPECT_EQ(std::count(calls.begin(), calls.end(), L"RenameFile"), c.written ? 1 : 0) << c.what;
    if (c.written) EXPECT_LT(at(L"ShowHelpProgress"), at(L"RenameFile")) << c.what << ": behind the strip";
    EXPECT_EQ(p.files.at(kHelpPath), Document()) << c.what;
    EXPECT_EQ(p.started, c.opened ? std::vector<FakePlatform::Started>{kViewer} : std::vector<FakePlatform::Started>{})
        << c.what;
    EXPECT_EQ(p.held.count(kHelpPath), c.opened ? 1u : 0u) << c.what;
    EXPECT_EQ(p.messages.size(), c.opened ? 0u : 1u) << c.what;
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
    FakeWorker w;
    p.resource = platform.resource;
    MainController f{p, v, progress, w};
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
