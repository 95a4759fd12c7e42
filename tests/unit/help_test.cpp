#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "help/help_delivery.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

using Log = std::vector<std::wstring>;
using Started = FakeHelpFiles::Started;

constexpr wchar_t kHelpPath[] = L"C:\\Apps\\Lumvora\\Lumvo_help.chm";
constexpr wchar_t kPartPath[] = L"C:\\Apps\\Lumvora\\Lumvo_help.chm.part";
const Started kViewer{L"C:\\Windows\\hh.exe", L"\"C:\\Windows\\hh.exe\" \"C:\\Apps\\Lumvora\\Lumvo_help.chm\""};

class HelpTest : public ::testing::Test, public ControllerRig {
 protected:
  HelpTest() {
    // The document followed by bytes that are not part of it.
    for (std::uint32_t i = 0; i < HelpDocLength + 2; ++i) {
      helpFiles.resource.push_back(static_cast<std::uint8_t>(i < HelpDocLength ? (i * 31 + 7) & 0xFF : 0));
    }
    controller.Start();
    log.clear();
  }
  std::wstring Document() const {
    return std::wstring(helpFiles.resource.begin(), helpFiles.resource.begin() + HelpDocLength);
  }
  size_t Position(const std::wstring& entry) const {
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }
};

TEST_F(HelpTest, FirstClickWritesTheDocumentBehindTheStripThenStartsTheViewer) {
  controller.OnHelpLinkClick();
  EXPECT_EQ(helpFiles.files.at(kHelpPath), Document()) << "exactly the first HelpDocLength bytes";
  EXPECT_EQ(helpFiles.files.count(kPartPath), 0u);
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
  EXPECT_EQ(helpFiles.started, std::vector<Started>{kViewer});
  EXPECT_TRUE(session.messages.empty());
}

// The document is held from its check on: nobody can change it before the viewer opens it, so later clicks
// only start the viewer.
TEST_F(HelpTest, TheCheckedDocumentStaysHeldAndLaterClicksOnlyStartTheViewer) {
  controller.OnHelpLinkClick();
  EXPECT_LT(Position(L"RenameFile"), Position(L"HoldIfIdentical"));
  EXPECT_LT(Position(L"HoldIfIdentical"), Position(L"StartProcess"));
  EXPECT_EQ(helpFiles.held, std::set<std::wstring>{kHelpPath});
  log.clear();
  controller.OnHelpLinkClick();
  controller.OnHelpLinkClick();
  EXPECT_EQ(log, (Log{L"StartProcess", L"StartProcess"}));
  EXPECT_EQ(helpFiles.held, std::set<std::wstring>{kHelpPath});
  EXPECT_EQ(helpFiles.started.size(), 3u);
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
    ControllerRig r;
    r.helpFiles.resource = helpFiles.resource;
    r.controller.Start();
    if (c.content) r.helpFiles.files[kHelpPath] = *c.content;
    if (c.holdFails) r.helpFiles.failing = {L"HoldIfIdentical"};
    r.controller.OnHelpLinkClick();
    const auto at = [&](const wchar_t* entry) { return std::find(r.log.begin(), r.log.end(), entry) - r.log.begin(); };
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), L"RenameFile"), c.written ? 1 : 0) << c.what;
    if (c.written) {
      EXPECT_LT(at(L"ShowHelpProgress"), at(L"RenameFile")) << c.what << ": behind the strip";
    }
    EXPECT_EQ(r.helpFiles.files.at(kHelpPath), Document()) << c.what;
    EXPECT_EQ(r.helpFiles.started, c.opened ? std::vector<Started>{kViewer} : std::vector<Started>{}) << c.what;
    EXPECT_EQ(r.helpFiles.held.count(kHelpPath), c.opened ? 1u : 0u) << c.what;
    EXPECT_EQ(r.session.messages.size(), c.opened ? 0u : 1u) << c.what;
  }
}

TEST_F(HelpTest, AHiddenFileOfThatNameDoesNotCount) {
  helpFiles.files[kHelpPath] = L"hidden";
  helpFiles.hidden.insert(kHelpPath);
  controller.OnHelpLinkClick();
  EXPECT_EQ(helpFiles.files.at(kHelpPath), Document());
  EXPECT_TRUE(helpFiles.FileExists(kHelpPath));
}

TEST_F(HelpTest, ALeftoverPartIsReplacedNotWrittenOverInPlace) {
  helpFiles.files[kPartPath] = std::wstring(HelpDocLength + 500, L'Z');
  controller.OnHelpLinkClick();
  EXPECT_EQ(helpFiles.files.at(kHelpPath), Document());
}

TEST_F(HelpTest, AFailureMidwayLeavesNoFileAndBringsTheWindowBack) {
  helpFiles.failWriteAt = static_cast<long>(HelpDocLength / 2);
  controller.OnHelpLinkClick();
  EXPECT_EQ(helpFiles.files.count(kHelpPath), 0u);
  EXPECT_EQ(helpFiles.files.count(kPartPath), 0u);
  EXPECT_FALSE(helpProgress.shown);
  EXPECT_TRUE(view.shown);
  ASSERT_EQ(session.messages.size(), 1u);
  EXPECT_EQ(session.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(session.messages[0].caption, L"Lumvora");
  EXPECT_NE(session.messages[0].text.find(L"磁盘空间不足。"), std::wstring::npos);
  EXPECT_TRUE(helpFiles.started.empty()) << "no viewer for a document that is not there";
  // The program goes on: the next click writes the document.
  helpFiles.failWriteAt = -1;
  controller.OnHelpLinkClick();
  EXPECT_EQ(helpFiles.files.at(kHelpPath), Document());
}

TEST_F(HelpTest, EveryFailingStepIsReportedWithoutLeavingAFile) {
  for (const wchar_t* step : {L"LoadResourceBytes", L"WriteFileBytes", L"CloseFile", L"RenameFile"}) {
    ControllerRig r;
    r.helpFiles.resource = helpFiles.resource;
    r.controller.Start();
    r.helpFiles.failing = {step};
    r.controller.OnHelpLinkClick();
    EXPECT_EQ(r.helpFiles.files.count(kHelpPath), 0u) << step;
    EXPECT_EQ(r.helpFiles.files.count(kPartPath), 0u) << step;
    EXPECT_TRUE(r.view.shown) << step;
    EXPECT_FALSE(r.helpProgress.shown) << step;
    ASSERT_EQ(r.session.messages.size(), 1u) << step;
    EXPECT_EQ(r.session.messages[0].icon, MessageIcon::Error) << step;
  }
}

TEST_F(HelpTest, AResourceShorterThanTheDocumentIsAFailureNotATruncatedFile) {
  helpFiles.resource.resize(HelpDocLength - 1);
  controller.OnHelpLinkClick();
  EXPECT_EQ(helpFiles.files.count(kHelpPath), 0u);
  ASSERT_EQ(session.messages.size(), 1u);
  EXPECT_EQ(session.messages[0].icon, MessageIcon::Error);
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
