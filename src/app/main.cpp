#include "platform/win32_windows.h"

#include "platform/startup_trace.h"
#include "platform/win32_mobile_hotspot.h"
#include "platform/win32_platform.h"
#include "ui/main_window.h"

// A build for the tests shortens the time a command may take, so that running out of it takes seconds.
#ifdef LUMVORA_TEST_COMMAND_TIME_LIMIT_MS
constexpr std::chrono::milliseconds kTimeLimit{LUMVORA_TEST_COMMAND_TIME_LIMIT_MS};
#else
constexpr std::chrono::milliseconds kTimeLimit = lumvora::kCommandTimeLimit;
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace lumvora;
  LUMVORA_STARTUP_BEGIN();
  // Before anything loads a library: a DLL planted beside the exe must never be the one that loads.
  win32::RestrictLibrarySearch();
  LUMVORA_STARTUP_MARK("library search restricted");
  win32::Win32Platform platform(instance);
  // Loads nothing until a command needs it.
  win32::Win32MobileHotspot mobileHotspot;
  try {
    win32::MainWindow window(instance, platform, kTimeLimit, &mobileHotspot);
    window.Create();

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      // Gives the window the dialog keyboard interface: Tab and Shift+Tab between the controls.
      if (::IsDialogMessageW(window.Handle(), &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  } catch (const PlatformError& error) {
    platform.ShowMessage(L"程序无法启动。\r\n" + DescribeFailure(error), MessageIcon::Error, kAppTitle);
    return 1;
  }
}
