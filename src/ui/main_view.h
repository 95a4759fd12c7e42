// What the main window's logic needs from the real window. The Win32 window implements it; the unit tests
// record the calls.
#pragma once

#include <string>

namespace lumvora {

class MainView {
 public:
  virtual ~MainView() = default;

  virtual void SetVersionCaption(const std::wstring& caption) = 0;
  virtual std::wstring Ssid() = 0;
  virtual std::wstring Key() = 0;
  // Shows the window centred on the screen.
  virtual void Show() = 0;
  // Hides the window, and shows it again where it was.
  virtual void Hide() = 0;
  virtual void ShowAgain() = 0;
  // Disables the window and shows the busy cursor while a command runs (it goes on painting and answering),
  // and enables it again.
  virtual void SetBusy(bool busy) = 0;
};

}  // namespace lumvora
