// The one owner of the program on Win32: it makes the platform, the command's worker, internet sharing, the
// Mobile Hotspot and the status window's reader, hands them to the logic as one set of capabilities, and
// makes the windows.
#pragma once

#include "platform/win32/windows_api.h"

#include <chrono>

#include "app/hotspot_status_controller.h"
#include "app/main_controller.h"
#include "help/help_progress_window.h"
#include "platform/win32/connection_sharing.h"
#include "platform/win32/hotspot_status.h"
#include "platform/win32/mobile_hotspot.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/worker.h"
#include "ui/hotspot_status_window.h"
#include "ui/main_window.h"

namespace lumvora {

class Program {
 public:
  Program(HINSTANCE instance, std::chrono::milliseconds commandTimeLimit);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Creates the main window hidden and runs the start-up, which shows it (or ends the process). Throws
  // PlatformError when the window cannot be made.
  void Start();
  // Runs the window's message loop until the window is gone; its exit code.
  int RunMessageLoop();
  HWND MainWindowHandle() const { return window_.Handle(); }
  SessionOperations& Session() { return platform_; }

 private:
  win32::Win32Platform platform_;
  win32::Win32Worker worker_;
  // The status window reads on a worker of its own: the command's stays free for commands.
  win32::Win32Worker statusWorker_;
  // These load nothing until a command or the status window needs them.
  win32::Win32ConnectionSharing sharing_;
  win32::Win32MobileHotspot mobileHotspot_;
  win32::Win32HotspotStatus hotspotStatus_;
  const Capabilities capabilities_;
  win32::HelpProgressWindow helpProgress_;
  win32::HotspotStatusWindow statusWindow_;
  win32::MainWindow window_;
  HotspotStatusController statusController_;
  MainController controller_;
};

}  // namespace lumvora
