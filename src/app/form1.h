// The main window's logic: start-up, the strings the window keeps for its life, and the way the program ends.
#pragma once

#include <string>

#include "platform/platform.h"
#include "ui/form1_view.h"

namespace lumvora {

inline constexpr wchar_t kAppTitle[] = L"Lumvora";
extern const wchar_t kAlreadyRunningText[];
extern const wchar_t kTroubleshootingNoticeText[];

std::wstring FormatVersionText(const Version& version);
// The directory of the executable followed by a backslash. At a drive root the directory already ends in one,
// which gives two; Windows reads "C:\\x" as "C:\x", so the names built from it still lie in the root.
std::wstring MakeAppDir(const std::wstring& appDirectory);
// The text of the box that tells the user which operation failed, on what, and why.
std::wstring DescribeFailure(const PlatformError& error);

class Form1 {
 public:
  Form1(Platform& platform, Form1View& view) : platform_(platform), view_(view) {}
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Runs before the window is first shown; ends the process when another instance runs or a platform
  // operation fails.
  void Load();
  // The window is being closed (close box, Alt+F4, system menu).
  void OnClose();
  // The 退出 menu item.
  void OnExitClick();

  const std::wstring& AppDir() const { return appDir_; }
  const std::wstring& VersionText() const { return versionText_; }

 protected:
  Platform& platform_;
  Form1View& view_;

  // Runs one event handler. A failing platform operation abandons the handler and is reported; the program
  // goes on. Nothing thrown by a handler leaves this function.
  template <typename Handler>
  void RunHandler(Handler&& handler) {
    try {
      handler();
    } catch (const PlatformError& error) {
      ReportFailure(error);
    }
  }
  void ReportFailure(const PlatformError& error);

 private:
  void TroubleshootingNoticeThenEnd();

  std::wstring appDir_;
  std::wstring versionText_;
  // Set once the notice is on screen: a second close request that arrives while it is shown must not show
  // it again.
  bool ending_ = false;
};

}  // namespace lumvora
