#include "app/program.h"

#include <algorithm>

#include "ui/window_class_names.h"

namespace lumvora {

Program::Program(HINSTANCE instance, std::chrono::milliseconds commandTimeLimit)
    : platform_(instance, kMainWindowClassName),
      mobileHotspot_(std::min(win32::kMobileHotspotTimeLimit, commandTimeLimit)),
      capabilities_{platform_, platform_, platform_, worker_, sharing_, mobileHotspot_, hotspotStatus_},
      helpProgress_(instance),
      statusWindow_(instance, statusController_),
      window_(instance, controller_),
      statusController_(capabilities_, statusWorker_, statusWindow_),
      controller_(capabilities_, window_, helpProgress_, statusController_, commandTimeLimit) {}

void Program::Start() {
  window_.Create();
  platform_.SetOwnerWindow(window_.Handle());
  statusWindow_.SetOwner(window_.Handle());
  controller_.Start();
}

int Program::RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window_.TranslateShortcut(msg)) continue;
    // Gives the windows the dialog keyboard interface: Tab and Shift+Tab between the controls, Esc in the
    // status window.
    if (statusWindow_.TranslateDialogKeys(msg)) continue;
    if (::IsDialogMessageW(window_.Handle(), &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace lumvora
