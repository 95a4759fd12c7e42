#include "app/program.h"

#include <algorithm>

#include "ui/window_class_names.h"

namespace lumvora {

Program::Program(HINSTANCE instance, std::chrono::milliseconds commandTimeLimit)
    : platform_(instance, kMainWindowClassName),
      mobileHotspot_(std::min(win32::kMobileHotspotTimeLimit, commandTimeLimit)),
      helpProgress_(instance),
      window_(instance, controller_),
      controller_(Capabilities{platform_, platform_, platform_, worker_, sharing_, mobileHotspot_}, window_,
                  helpProgress_, commandTimeLimit) {}

void Program::Start() {
  window_.Create();
  platform_.SetOwnerWindow(window_.Handle());
  controller_.Start();
}

int Program::RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Gives the window the dialog keyboard interface: Tab and Shift+Tab between the controls.
    if (::IsDialogMessageW(window_.Handle(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace lumvora
