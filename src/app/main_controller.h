// The main window's logic: start-up, the strings the window keeps for its life, and the way the program ends.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "app/capabilities.h"
#include "app/hotspot_status_controller.h"
#include "help/help_progress_view.h"
#include "hotspot/batch_command_runner.h"
#include "hotspot/hotspot_operations.h"
#include "ui/main_view.h"

namespace lumvora {

extern const wchar_t kAlreadyRunningText[];
extern const wchar_t kTroubleshootingNoticeText[];

std::wstring FormatVersionText(const Version& version);
std::wstring AboutText(const std::wstring& versionText);
// The directory of the executable followed by a backslash. At a drive root the directory already ends in one,
// which gives two; Windows reads "C:\\x" as "C:\x", so the names built from it still lie in the root.
std::wstring MakeAppDir(const std::wstring& appDirectory);
// The text of the box that tells the user which operation failed, on what, and why.
std::wstring DescribeFailure(const PlatformError& error);

// What the window accepts while something runs: one object decides it for every way in (clicks, the menu,
// F1, a close), so that nothing slips in beside a command that runs on the worker, or beside a handler
// that shows a box.
class BusyState {
 public:
  // A command runs on the worker, or a handler runs on the window's thread (a box it shows is open).
  bool Busy() const { return commandRunning_ || handlerRunning_; }
  bool CommandRunning() const { return commandRunning_; }
  bool AcceptsInput() const { return !Busy(); }
  // A close that arrived while busy is remembered and carried out once nothing runs any more.
  bool ClosePending() const { return closePending_; }

 private:
  friend class MainController;
  bool commandRunning_ = false;
  bool handlerRunning_ = false;
  bool closePending_ = false;
};

inline constexpr std::chrono::milliseconds kEndSessionWait{5000};

class MainController : public MainViewEvents {
 public:
  MainController(const Capabilities& capabilities, MainView& view, HelpProgressView& helpProgress,
                 HotspotStatusController& hotspotStatus,
                 std::chrono::milliseconds commandTimeLimit = kCommandTimeLimit)
      : session_(capabilities.session),
        helpFiles_(capabilities.helpFiles),
        command_(capabilities.command),
        view_(view),
        helpProgress_(helpProgress),
        hotspotStatus_(hotspotStatus),
        worker_(capabilities.worker),
        runner_(capabilities.command, capabilities.sharing, capabilities.mobileHotspot, commandTimeLimit) {}
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;

  // Runs before the window is first shown; ends the process when another instance runs (bringing that one
  // forward) or a platform operation fails.
  void Start();
  // A close that arrives while something runs (a command's batch file is on disk) is carried out when it
  // has ended.
  void OnClose() override;
  void OnMenuExit() override;
  void OnMenuAbout() override;
  void OnHelpLinkClick() override;
  // 热点状态 and its key: the status window opens, or comes forward.
  void OnStatusLinkClick() override;
  void OnCreateHotspotClick() override;
  void OnStartHotspotClick() override;
  void OnCloseHotspotClick() override;
  // The session ends (logoff, shutdown): a command that runs is ended and its batch file deleted before this
  // returns, and no further step of it starts. ending false: the end was called off.
  void OnEndSession(bool ending) override;

  // Whether the window may open its menu or take any other request now.
  bool AcceptsInput() const override { return busy_.AcceptsInput(); }
  const BusyState& Busy() const { return busy_; }

  const std::wstring& AppDir() const { return appDir_; }
  const std::wstring& VersionText() const { return versionText_; }
  const std::wstring& CreateCmd() const { return createCmd_; }
  const std::wstring& StartCmd() const { return startCmd_; }
  const std::wstring& CloseCmd() const { return closeCmd_; }

 protected:
  SessionOperations& session_;
  HelpFiles& helpFiles_;
  CommandOperations& command_;
  MainView& view_;
  HelpProgressView& helpProgress_;
  HotspotStatusController& hotspotStatus_;
  Worker& worker_;

  // Runs one event handler on the window's thread. A failing platform operation abandons the handler and
  // is reported; the program goes on. A request that arrives while something runs is dropped.
  template <typename Handler>
  void RunHandler(Handler&& handler) {
    if (busy_.Busy()) return;
    Handle(handler);
  }
  // Runs a handler whatever runs already: for the end of a command, which its own start may precede.
  template <typename Handler>
  void Handle(Handler&& handler) {
    {
      struct Reset {
        bool& flag;
        bool value;
        ~Reset() { flag = value; }
      } reset{busy_.handlerRunning_, busy_.handlerRunning_};
      busy_.handlerRunning_ = true;
      try {
        handler();
      } catch (const PlatformError& error) {
        ReportFailure(error);
      } catch (const std::exception&) {
        // Out of memory, in practice. It must not unwind into the window procedure.
        ReportFailure(PlatformError(L"完成操作", L"Lumvora", L"内存不足。"));
      }
    }
    if (busy_.closePending_ && !busy_.Busy()) TroubleshootingNoticeThenEnd();
  }
  void ReportFailure(const PlatformError& error);

 private:
  // Once no sharing or Mobile Hotspot step runs any more (about 10 s at most).
  void TroubleshootingNoticeThenEnd();
  void NoticeThenEnd();
  // Deletes the batch files that a run killed before it could delete them left behind, with the key.
  void RemoveLeftoverBatchFiles();
  // Tells the user why a typed value cannot be used; true when it was refused.
  bool Refuse(const wchar_t* field, const std::wstring& value);
  // Starts a hotspot command on the worker, the window busy until it has ended.
  void RunCommand(HotspotOperation operation);
  // Back on the window's thread: shows the outcome, unless a close request came meanwhile.
  void OnCommandEnded(const HotspotOperation& operation, const CommandOutcome* outcome,
                      const PlatformError* failure);

  BusyState busy_;
  BatchCommandRunner runner_;
  // The help document as checked, held from the check on so that nobody can change it under the viewer.
  std::unique_ptr<ReadLock> helpDocument_;
  std::wstring appDir_;
  std::wstring versionText_;
  std::wstring createCmd_;
  std::wstring startCmd_;
  std::wstring closeCmd_;
  // Set once the notice is on screen: a second close request that arrives while it is shown must not show
  // it again.
  bool ending_ = false;
  // The session ends: a command's outcome is no longer shown.
  bool sessionEnding_ = false;
};

}  // namespace lumvora
