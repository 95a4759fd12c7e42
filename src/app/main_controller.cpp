#include "app/main_controller.h"

#include "help/help_delivery.h"
#include "hotspot/hotspot_operations.h"

#include <optional>

namespace lumvora {

const wchar_t kAlreadyRunningText[] = L"该程序已经在运行！";
const wchar_t kTroubleshootingNoticeText[] =
    L"如果热点创建失败，可能是由于：\r\n"
    L"1.您的操作系统版本低于Windows7\r\n"
    L"2.您的网卡不支持\r\n"
    L"3.您的操作步骤有误";

std::wstring FormatVersionText(const Version& version) {
  return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
         std::to_wstring(version.revision);
}

std::wstring AboutText(const std::wstring& versionText) {
  return L"主程序版本：" + versionText +
         L"\r\n"
         L"完成时间：2012-6-7\r\n"
         L"主程序设计：Kestrune\r\n"
         L"帮助文件制作：Quillom\r\n"
         L"\r\n"
         L"          纪念已逝的大学生活";
}

std::wstring MakeAppDir(const std::wstring& appDirectory) { return appDirectory + L"\\"; }

std::wstring DescribeFailure(const PlatformError& error) {
  std::wstring text = L"无法" + error.Operation() + L"：\r\n" + error.Subject();
  if (!error.SystemText().empty()) text += L"\r\n\r\n" + error.SystemText();
  return text;
}

void MainController::Start() {
  try {
    versionText_ = FormatVersionText(session_.VersionNumbers());
    view_.SetVersionCaption(L"程序版本：" + versionText_);
    if (session_.PreviousInstance()) {
      session_.ShowMessage(kAlreadyRunningText, MessageIcon::None, kAppTitle);
      session_.ShowPreviousInstance();
      session_.EndProcess();
    }
    appDir_ = MakeAppDir(session_.AppDirectory());
    RemoveLeftoverBatchFiles();
  } catch (const PlatformError& error) {
    session_.ShowMessage(L"程序无法启动。\r\n" + DescribeFailure(error), MessageIcon::Error, kAppTitle);
    session_.EndProcess();
  }
  view_.Show();
}

void MainController::RemoveLeftoverBatchFiles() {
  // Only the running instance may do this: a batch file of its own may be on disk while a command runs.
  for (const wchar_t* name : kBatchFileNames) {
    try {
      session_.DeleteFile(appDir_ + name);
    } catch (const PlatformError&) {
      // Not in the way of starting: each run replaces its file anyway.
    }
  }
}

void MainController::ReportFailure(const PlatformError& error) {
  session_.ShowMessage(DescribeFailure(error), MessageIcon::Error, kAppTitle);
}

void MainController::TroubleshootingNoticeThenEnd() {
  if (ending_) return;
  ending_ = true;
  // A sharing or Mobile Hotspot step that outlived its limit may sit between turning the user's old sharing
  // off and putting it back: it gets time to end, on the worker, the window busy meanwhile.
  if (!runner_.StepsSettled(std::chrono::milliseconds(0))) {
    try {
      busy_.commandRunning_ = true;
      view_.SetBusy(true);
      worker_.Start([this] { runner_.StepsSettled(kStepWaitAtClose); }, [this] { NoticeThenEnd(); });
      return;
    } catch (const PlatformError&) {
      // No worker to be had: the notice follows at once.
    }
  }
  NoticeThenEnd();
}

void MainController::NoticeThenEnd() {
  session_.ShowMessage(kTroubleshootingNoticeText, MessageIcon::None, kAppTitle);
  session_.EndProcess();
}

void MainController::OnClose() {
  if (busy_.Busy()) {
    busy_.closePending_ = true;
    return;
  }
  TroubleshootingNoticeThenEnd();
}

// The menu does not open while something runs; should its command arrive anyway, it is a close request.
void MainController::OnMenuExit() { OnClose(); }

void MainController::OnMenuAbout() {
  RunHandler([this] { session_.ShowMessage(AboutText(versionText_), MessageIcon::None, kAppTitle); });
}

bool MainController::Refuse(const wchar_t* field, const std::wstring& value) {
  const std::optional<std::wstring> refusal = RefusalFor(field, ProblemWith(value, command_));
  if (refusal) session_.ShowMessage(*refusal, MessageIcon::Information, kNoticeCaption);
  return refusal.has_value();
}

namespace {

// What the worker hands back: the outcome, or the failure that abandoned the command.
struct CommandRun {
  std::optional<CommandOutcome> outcome;
  std::optional<PlatformError> failure;
};

}  // namespace

void MainController::RunCommand(HotspotOperation operation) {
  auto run = std::make_shared<CommandRun>();
  auto shared = std::make_shared<const HotspotOperation>(std::move(operation));
  busy_.commandRunning_ = true;
  view_.SetBusy(true);
  try {
    // The worker reads only what stays put while it runs: the runner, its capabilities and AppDir.
    worker_.Start(
        [this, run, shared] {
          try {
            run->outcome = runner_.Execute(appDir_, *shared);
          } catch (const PlatformError& error) {
            run->failure = error;
          } catch (const std::exception&) {
            run->failure = PlatformError(L"完成操作", L"Lumvora", L"内存不足。");
          }
        },
        [this, run, shared] {
          OnCommandEnded(*shared, run->outcome ? &*run->outcome : nullptr, run->failure ? &*run->failure : nullptr);
        });
  } catch (const PlatformError&) {
    busy_.commandRunning_ = false;
    view_.SetBusy(false);
    throw;
  }
}

void MainController::OnCommandEnded(const HotspotOperation& operation, const CommandOutcome* outcome,
                                    const PlatformError* failure) {
  busy_.commandRunning_ = false;
  view_.SetBusy(false);
  if (sessionEnding_) return;
  // The user asked to leave while the command ran: the notice follows at once, not the result; a failure
  // that abandoned the command is still told first.
  if (busy_.closePending_) {
    if (failure != nullptr) ReportFailure(*failure);
    TroubleshootingNoticeThenEnd();
    return;
  }
  Handle([&] {
    if (failure != nullptr) throw *failure;
    if (outcome == nullptr) return;
    const ResultBox box = BatchCommandRunner::Report(operation, *outcome);
    session_.ShowMessage(box.text, box.icon, kAppTitle);
  });
}

void MainController::OnEndSession(bool ending) {
  if (!ending) {
    // Another program called the end off: later commands run again.
    sessionEnding_ = false;
    session_.EndCommands(false);
    return;
  }
  if (!busy_.CommandRunning()) return;
  sessionEnding_ = true;
  session_.EndCommands(true);
  // The worker deletes the batch file once the interpreter has gone; the session must not end before.
  worker_.WaitForWork(kEndSessionWait);
}

void MainController::OnCreateHotspotClick() {
  RunHandler([this] {
    const std::wstring ssid = view_.Ssid();
    const std::wstring key = view_.Key();
    if (ssid.empty()) {
      session_.ShowMessage(kEmptySsidText, MessageIcon::Information, kNoticeCaption);
      return;
    }
    if (Refuse(L"热点名称(SSID)", ssid) || Refuse(L"密钥(KEY)", key)) return;
    createCmd_ = BuildCreateCommand(ssid, key);
    RunCommand(CreateOperation(createCmd_, ssid, key));
  });
}

void MainController::OnHelpLinkClick() {
  RunHandler([this] { DeliverHelp(helpFiles_, view_, helpProgress_, appDir_, helpDocument_); });
}

void MainController::OnStatusLinkClick() {
  RunHandler([this] { hotspotStatus_.Open(); });
}

void MainController::OnStartHotspotClick() {
  RunHandler([this] {
    startCmd_ = kStartCommand;
    RunCommand(StartOperation());
  });
}

void MainController::OnCloseHotspotClick() {
  RunHandler([this] {
    closeCmd_ = kCloseCommand;
    RunCommand(CloseOperation());
  });
}

}  // namespace lumvora
