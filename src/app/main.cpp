#include "platform/win32/windows_api.h"

#include "app/program.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/system_library.h"

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
  Program program(instance, kTimeLimit);
  try {
    program.Start();
    return program.RunMessageLoop();
  } catch (const PlatformError& error) {
    program.Session().ShowMessage(L"程序无法启动。\r\n" + DescribeFailure(error), MessageIcon::Error, kAppTitle);
    return 1;
  }
}
