// 使用说明 on the real exe: the document written out behind the progress strip, and the real viewer.
#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "resources/resource.h"
#include "ui/window_class_names.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <set>

namespace e2e {
namespace {

// The document as the exe carries it: resource CUSTOM 101, Chinese (PRC).
std::string HelpResource() {
  const HMODULE module =
      ::LoadLibraryExW(LumvoraExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return std::string();
  std::string bytes;
  const HRSRC info = ::FindResourceExW(module, L"CUSTOM", MAKEINTRESOURCEW(IDR_HELPDOC),
                                       MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  if (info != nullptr) {
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, info)));
    bytes.assign(data, ::SizeofResource(module, info));
  }
  ::FreeLibrary(module);
  return bytes;
}

void KillProcess(DWORD pid) {
  const HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return;
  ::TerminateProcess(process, 0);
  ::WaitForSingleObject(process, 5000);
  ::CloseHandle(process);
}

HWND VisibleWindowOf(DWORD pid, const wchar_t* className) {
  for (HWND hwnd : TopLevelWindows(pid)) {
    if (ClassOf(hwnd) == className && ::IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

// The threads of a process, to hold still for a look at what it shows: it cannot change meanwhile.
// Released, if held, when it ends.
class ProcessThreads {
 public:
  explicit ProcessThreads(DWORD pid) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry)) {
      if (entry.th32OwnerProcessID != pid) continue;
      const HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
      if (thread != nullptr) threads_.push_back(thread);
    }
    ::CloseHandle(snapshot);
  }
  ~ProcessThreads() {
    Release();
    for (HANDLE thread : threads_) ::CloseHandle(thread);
  }
  ProcessThreads(const ProcessThreads&) = delete;
  ProcessThreads& operator=(const ProcessThreads&) = delete;

  void Hold() {
    if (held_) return;
    held_ = true;
    for (HANDLE thread : threads_) ::SuspendThread(thread);
  }
  void Release() {
    if (!held_) return;
    held_ = false;
    for (HANDLE thread : threads_) ::ResumeThread(thread);
  }

 private:
  std::vector<HANDLE> threads_;
  bool held_ = false;
};

class Help : public ::testing::Test {
 protected:
  void Start() {
    app = std::make_unique<App>(dir.Exe());
    main = app->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
  }
  void TearDown() override {
    if (app) {
      for (DWORD viewer : ChildProcesses(app->Pid(), L"hh.exe")) KillProcess(viewer);
      app->Kill();
    }
  }
  // Clicks 使用说明 with the mouse, as the user does, and returns at once.
  void ClickHelp() {
    const HWND label = ::GetDlgItem(main, IDC_HELP_LINK);
    // Nothing may lie over the label, a viewer's window of an earlier click, say.
    WaitUntil([&] { return Activate(main) && ::WindowFromPoint(CentreOf(label)) == label; }, 3s);
    PressAt(CentreOf(label), Button::Left);
  }
  // Waits for a viewer started by the program that is not among those already seen, and for its window.
  // A viewer killed before it has one can make the program's start of it fail under Wine.
  DWORD WaitForNewViewer(const std::set<DWORD>& seen) {
    DWORD found = 0;
    WaitUntil(
        [&] {
          for (DWORD pid : ChildProcesses(app->Pid(), L"hh.exe")) {
            if (!seen.count(pid)) found = pid;
          }
          return found != 0;
        },
        15s);
    if (found != 0) WaitUntil([&] { return !TopLevelWindows(found).empty(); }, 10s);
    return found;
  }

  AppDir dir;
  std::unique_ptr<App> app;
  HWND main = nullptr;
};

TEST_F(Help, FirstClickWritesTheDocumentBehindTheStripAndOpensTheViewer) {
  const std::string resource = HelpResource();
  ASSERT_GT(resource.size(), 1000u);
  EXPECT_EQ(resource.substr(0, 4), "ITSF");
  Start();
  // While the document is written only the strip is on screen, and it advances: the program is busy
  // writing and answers no messages, so the bar is read off the screen (how much of it is filled).
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF filled = RGB(GetBValue(highlight), GetGValue(highlight), GetRValue(highlight));  // DIB order
  bool sawStripAlone = false;
  bool stripChecked = false;
  std::set<size_t> drawn;
  // The strip lives a tenth of a second or so, less than a few readings of the screen under Wine: after the
  // click the program runs in steps of a millisecond or two and is held still for each look. A click whose
  // strip was missed all the same is followed by another first click (the document deleted, its viewer closed).
  ProcessThreads program(app->Pid());
  std::set<DWORD> earlierViewers;
  for (int attempt = 0; attempt < 3 && !(sawStripAlone && drawn.size() >= 2); ++attempt) {
    if (attempt > 0) {
      const DWORD earlier = WaitForNewViewer(earlierViewers);
      earlierViewers.insert(earlier);
      KillProcess(earlier);
      ::DeleteFileW(dir.File(L"Lumvo_help.chm").c_str());
      sawStripAlone = false;
      drawn.clear();
    }
    ClickHelp();
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!FileExists(dir.File(L"Lumvo_help.chm")) && std::chrono::steady_clock::now() < deadline) {
      program.Hold();
      const HWND strip = VisibleWindowOf(app->Pid(), lumvora::kHelpProgressClassName);
      if (strip != nullptr && !stripChecked) {
        // Borderless, no taskbar button, 289 x 17 at 96 DPI and scaled at another, centred.
        stripChecked = true;
        RECT client{}, window{};
        ::GetClientRect(strip, &client);
        ::GetWindowRect(strip, &window);
        EXPECT_EQ(client.right, Scaled(289));
        EXPECT_EQ(client.bottom, Scaled(17));
        EXPECT_EQ(window.right - window.left, client.right) << "no border";
        EXPECT_FALSE(::GetWindowLongW(strip, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
        EXPECT_TRUE(::GetWindowLongW(strip, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
        EXPECT_LE(std::abs(window.left + window.right - ::GetSystemMetrics(SM_CXSCREEN)), 1);
        EXPECT_LE(std::abs(window.top + window.bottom - ::GetSystemMetrics(SM_CYSCREEN)), 1);
      }
      // Only while it stands alone: the phase that counts (it shows just before the main window hides).
      if (strip != nullptr && !::IsWindowVisible(main)) {
        sawStripAlone = true;
        RECT rect{};
        ::GetWindowRect(strip, &rect);
        const std::vector<COLORREF> pixels = ScreenPixels(rect);
        drawn.insert(static_cast<size_t>(std::count(pixels.begin(), pixels.end(), filled)));
        if (drawn.size() == 3) SaveScreenshot(rect, L"help_progress_strip");
      }
      program.Release();
      if (drawn.size() >= 3) break;
      ::Sleep(1);
    }
  }
  EXPECT_TRUE(stripChecked) << "the strip's shape was read";
  EXPECT_TRUE(sawStripAlone) << "the strip stood in for the main window";
  EXPECT_GE(drawn.size(), 2u) << "the strip visibly advanced";

  const DWORD viewer = WaitForNewViewer(earlierViewers);
  EXPECT_NE(viewer, 0u) << "hh.exe started by the program";
  EXPECT_EQ(ReadFileBytes(dir.File(L"Lumvo_help.chm")), resource) << "the document, byte for byte";
  EXPECT_FALSE(FileExists(dir.File(L"Lumvo_help.chm.part")));
  EXPECT_TRUE(::IsWindowVisible(main)) << "the main window is back";
  EXPECT_EQ(VisibleWindowOf(app->Pid(), lumvora::kHelpProgressClassName), nullptr) << "the strip is gone";
  EXPECT_TRUE(app->MessageBoxes().empty());

  // A second click writes nothing and opens the viewer again.
  FILETIME written{};
  {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(dir.File(L"Lumvo_help.chm").c_str(), GetFileExInfoStandard, &data);
    written = data.ftLastWriteTime;
  }
  // The viewer's window may lie over the label: close it first.
  KillProcess(viewer);
  ::Sleep(300);
  ClickHelp();
  bool stripShown = false;
  const DWORD second = WaitForNewViewer({viewer});
  stripShown = VisibleWindowOf(app->Pid(), lumvora::kHelpProgressClassName) != nullptr;
  EXPECT_NE(second, 0u);
  EXPECT_FALSE(stripShown);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExW(dir.File(L"Lumvo_help.chm").c_str(), GetFileExInfoStandard, &data);
  EXPECT_EQ(::CompareFileTime(&written, &data.ftLastWriteTime), 0) << "not written again";
  EXPECT_TRUE(::IsWindowVisible(main));
}

// F1 reaches the window as WM_HELP from whichever control has the focus: a text box or a button.
TEST_F(Help, F1DoesWhatAClickOnTheHelpLabelDoes) {
  Start();
  std::set<DWORD> viewers;
  for (const int focus : {IDC_SSID_EDIT, IDC_CREATE_HOTSPOT, IDC_KEY_EDIT}) {
    ASSERT_TRUE(Activate(main));
    ASSERT_TRUE(WaitUntil([&] { return ::GetDlgCtrlID(FocusOf(main)) == focus; }, 2s)) << focus;
    PressKey(VK_F1);
    const DWORD viewer = WaitForNewViewer(viewers);
    EXPECT_NE(viewer, 0u) << "F1 in control " << focus;
    viewers.insert(viewer);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main); }, 5s));
    KillProcess(viewer);  // its window would keep the keyboard
    ASSERT_TRUE(Activate(main));
    PressKey(VK_TAB);
  }
  EXPECT_TRUE(FileExists(dir.File(L"Lumvo_help.chm")));
  EXPECT_TRUE(app->MessageBoxes().empty());
}

// A comctl32.dll put beside the exe is never loaded: not at start-up, not when the progress strip needs
// the common controls. (The test runs with comctl32=n,b, so Wine searches for it as Windows does.)
TEST_F(Help, AComctl32PlantedBesideTheExeNeverLoads) {
  ASSERT_TRUE(::CopyFileW(BuiltFile(PLANTED_COMCTL32_DLL).c_str(), dir.File(L"comctl32.dll").c_str(), FALSE));
  Start();
  EXPECT_FALSE(FileExists(dir.File(L"planted_loaded.txt"))) << "loaded at start-up";
  ClickHelp();
  ASSERT_NE(WaitForNewViewer({}), 0u);
  EXPECT_TRUE(FileExists(dir.File(L"Lumvo_help.chm")));
  EXPECT_FALSE(FileExists(dir.File(L"planted_loaded.txt"))) << "loaded for the progress strip";
}

TEST_F(Help, TheViewerOpensTheDocumentWhateverTheCurrentDirectory) {
  // Started from elsewhere, as from a shortcut: the viewer is still given the document's full path.
  AppDir elsewhere;
  app = std::make_unique<App>(dir.Exe(), elsewhere.Path());
  main = app->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ClickHelp();
  const DWORD viewer = WaitForNewViewer({});
  ASSERT_NE(viewer, 0u);
  EXPECT_TRUE(FileExists(dir.File(L"Lumvo_help.chm")));
  EXPECT_FALSE(FileExists(elsewhere.File(L"Lumvo_help.chm")));
  // The viewer shows a window for the document it could open.
  EXPECT_TRUE(WaitUntil([&] { return !TopLevelWindows(viewer).empty(); }, 10s));
}

// When the file was last written.
ULONGLONG WrittenAt(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A file of that name counts only when it is the program's own document, byte for byte: anything else is
// written over before the viewer opens it, since the viewer runs with the program's rights. The program's
// own is opened as it is, not written again. From then on, while the program runs, the document is held:
// any reader gets in, nobody can write, replace or delete it. A hard link planted as the part file is
// never written through.
TEST_F(Help, OnlyTheProgramsOwnDocumentIsOpenedAsItIsAndHeldWhileTheProgramRuns) {
  const std::string resource = HelpResource();
  std::string changed = resource;
  changed[changed.size() / 2] ^= 0x01;
  const struct {
    const char* what;
    std::string content;
    bool replaced;
  } cases[] = {
      {"cut short", resource.substr(0, resource.size() / 2), true},
      {"of the right length with one byte changed", changed, true},
      {"another help document", std::string("ITSF\x03\0\0\0", 8) + std::string(5000, '\x01'), true},
      {"the program's own", resource, false},
  };
  const std::wstring path = dir.File(L"Lumvo_help.chm");
  const std::wstring victim = dir.File(L"victim.txt");
  WriteFileBytes(victim, "someone else's");
  ASSERT_TRUE(::CreateHardLinkW(dir.File(L"Lumvo_help.chm.part").c_str(), victim.c_str(), nullptr));
  WriteFileBytes(dir.File(L"other.chm"), "other");
  for (const auto& c : cases) {
    WriteFileBytes(path, c.content);
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME longAgo{0, 0x01C07000};  // in 2000
    ::SetFileTime(file, nullptr, nullptr, &longAgo);
    ::CloseHandle(file);
    const ULONGLONG before = WrittenAt(path);
    Start();
    ClickHelp();
    ASSERT_NE(WaitForNewViewer({}), 0u) << c.what;
    EXPECT_EQ(ReadFileBytes(path), resource) << c.what;
    EXPECT_EQ(WrittenAt(path) != before, c.replaced) << c.what;
    EXPECT_TRUE(app->MessageBoxes().empty()) << c.what;
    const HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << c.what << ": opened for writing";
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
    EXPECT_FALSE(::DeleteFileW(path.c_str())) << c.what;
    EXPECT_FALSE(::MoveFileExW(dir.File(L"other.chm").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) << c.what;
    const HANDLE reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE) << c.what << ": a reader sharing read";
    if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);
    TearDown();
    app.reset();
  }
  EXPECT_EQ(ReadFileBytes(victim), "someone else's");
}

TEST_F(Help, AHiddenFileOfThatNameDoesNotCount) {
  WriteFileBytes(dir.File(L"Lumvo_help.chm"), "hidden");
  ::SetFileAttributesW(dir.File(L"Lumvo_help.chm").c_str(), FILE_ATTRIBUTE_HIDDEN);
  Start();
  ClickHelp();
  EXPECT_NE(WaitForNewViewer({}), 0u);
  EXPECT_EQ(ReadFileBytes(dir.File(L"Lumvo_help.chm")), HelpResource());
}

TEST_F(Help, ADocumentThatCannotBeWrittenIsReportedAndTheProgramGoesOn) {
  // A directory in the way of the file being written, as in a read-only application directory.
  ::CreateDirectoryW(dir.File(L"Lumvo_help.chm.part").c_str(), nullptr);
  Start();
  ClickHelp();
  const auto box = app->WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Lumvora");
  EXPECT_EQ(box->icon, BoxIcon::Error);
  EXPECT_NE(box->text.find(L"Lumvo_help.chm.part"), std::wstring::npos);
  SaveScreenshot(box->hwnd, L"help_cannot_write");
  box->PressOk();
  EXPECT_TRUE(WaitUntil([&] { return app->MessageBoxes().empty(); }, 5s));
  EXPECT_TRUE(app->Running());
  EXPECT_TRUE(::IsWindowVisible(main));
  EXPECT_EQ(VisibleWindowOf(app->Pid(), lumvora::kHelpProgressClassName), nullptr);
  EXPECT_FALSE(FileExists(dir.File(L"Lumvo_help.chm")));
  EXPECT_TRUE(ChildProcesses(app->Pid(), L"hh.exe").empty()) << "no viewer for a missing document";
  ::RemoveDirectoryW(dir.File(L"Lumvo_help.chm.part").c_str());
}

TEST_F(Help, AProgramKilledWhileWritingLeavesNoDocument) {
  const std::string resource = HelpResource();
  Start();
  // Kill it while the strip shows: the program runs in steps and is held still for each look. A click
  // that never reached the label is given again.
  bool sawStrip = false;
  {
    ProcessThreads program(app->Pid());
    for (int attempt = 0; attempt < 3 && !sawStrip && !FileExists(dir.File(L"Lumvo_help.chm")); ++attempt) {
      ClickHelp();
      const auto deadline = std::chrono::steady_clock::now() + 5s;
      while (!sawStrip && !FileExists(dir.File(L"Lumvo_help.chm")) && std::chrono::steady_clock::now() < deadline) {
        program.Hold();
        sawStrip = VisibleWindowOf(app->Pid(), lumvora::kHelpProgressClassName) != nullptr;
        if (!sawStrip) {
          program.Release();
          ::Sleep(1);
        }
      }
    }
    app->Kill();  // held, if it was seen writing
  }
  ASSERT_TRUE(sawStrip);
  // Never a truncated document under the final name; when the kill came too late to interrupt the write,
  // the document is whole.
  if (FileExists(dir.File(L"Lumvo_help.chm"))) {
    EXPECT_EQ(ReadFileBytes(dir.File(L"Lumvo_help.chm")), resource);
  } else {
    // A later run writes it in full despite what the killed one left.
    Start();
    ClickHelp();
    EXPECT_NE(WaitForNewViewer({}), 0u);
    EXPECT_EQ(ReadFileBytes(dir.File(L"Lumvo_help.chm")), resource);
  }
}

}  // namespace
}  // namespace e2e
