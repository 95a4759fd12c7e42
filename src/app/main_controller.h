// The main window's logic: start-up, the strings the window keeps for its life, and the way the program ends.
#pragma once

#include <string>

#include "help/help_progress_view.h"
#include "hotspot/batch_command_runner.h"
#include "platform/platform.h"
#include "ui/main_view.h"

namespace lumvora {

inline constexpr wchar_t kAppTitle[] = L"Lumvora";
extern const wchar_t kAlreadyRunningText[];
extern const wchar_t kTroubleshootingNoticeText[];

std::wstring FormatVersionText(const Version& version);
std::wstring AboutText(const std::wstring& versionText);
// The directory of the executable followed by a backslash. At a drive root the directory already ends in one,
// which gives two; Windows reads "C:\\x" as "C:\x", so the names built from it still lie in the root.
std::wstring MakeAppDir(const std::wstring& appDirectory);
// The text of the box that tells the user which operation failed, on what, and why.
std::wstring DescribeFailure(const PlatformError& error);

class MainController {
 public:
  MainController(Platform& platform, MainView& view, HelpProgressView& helpProgress,
                 std::chrono::milliseconds commandTimeLimit = kCommandTimeLimit, MobileHotspot* mobileHotspot = nullptr)
      : platform_(platform),
        view_(view),
        helpProgress_(helpProgress),
        runner_(platform, view, commandTimeLimit, mobileHotspot) {}
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;

  // Runs before the window is first shown; ends the process when another instance runs (bringing that one
  // forward) or a platform operation fails.
  void Start();
  // The window is being closed (close box, Alt+F4, system menu, WM_CLOSE from another program). A request
  // that arrives while a handler runs (a command's batch file is on disk) is carried out when it ends.
  void OnClose();
  void OnMenuExit();
  void OnMenuAbout();
  void OnHelpLinkClick();
  void OnCreateHotspotClick();
  void OnStartHotspotClick();
  void OnCloseHotspotClick();

  const std::wstring& AppDir() const { return appDir_; }
  const std::wstring& VersionText() const { return versionText_; }
  const std::wstring& CreateCmd() const { return createCmd_; }
  const std::wstring& StartCmd() const { return startCmd_; }
  const std::wstring& CloseCmd() const { return closeCmd_; }

 protected:
  Platform& platform_;
  MainView& view_;
  HelpProgressView& helpProgress_;

  // Runs one event handler. A failing platform operation abandons the handler and is reported; the program
  // goes on. A handler that arrives while another runs (the window pumps messages while a command runs)
  // is dropped.
  template <typename Handler>
  void RunHandler(Handler&& handler) {
    if (handling_) return;
    {
      handling_ = true;
      struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
      } reset{handling_};
      try {
        handler();
      } catch (const PlatformError& error) {
        ReportFailure(error);
      } catch (const std::exception&) {
        // Out of memory, in practice. It must not unwind into the window procedure.
        ReportFailure(PlatformError(L"完成操作", L"Lumvora", L"内存不足。"));
      }
    }
    if (closePending_) TroubleshootingNoticeThenEnd();
  }
  void ReportFailure(const PlatformError& error);

 private:
  void TroubleshootingNoticeThenEnd();
  // Deletes the batch files that a run killed before it could delete them left behind, with the key.
  void RemoveLeftoverBatchFiles();
  // Tells the user why a typed value cannot be used; true when it was refused.
  bool Refuse(const wchar_t* field, const std::wstring& value);
  // Runs a hotspot command and shows its outcome, unless a close request came meanwhile.
  void RunCommand(const HotspotOperation& operation);

  BatchCommandRunner runner_;
  std::wstring appDir_;
  std::wstring versionText_;
  std::wstring createCmd_;
  std::wstring startCmd_;
  std::wstring closeCmd_;
  bool handling_ = false;
  // Set once the notice is on screen: a second close request that arrives while it is shown must not show
  // it again.
  bool ending_ = false;
  // A close request arrived while a handler ran; ending then would leave the batch file, with the key, on
  // disk.
  bool closePending_ = false;
};

}  // namespace lumvora
