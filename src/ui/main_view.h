// The main window as its logic sees it: what the logic asks of the real window (MainView), and what the
// window hands on to the logic (MainViewEvents). The Win32 window implements the first and calls the
// second; the unit tests record the calls.
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

// The user's requests and the session's news, as the window receives them, on the window's thread.
class MainViewEvents {
 public:
  virtual ~MainViewEvents() = default;

  // The window is being closed (close box, Alt+F4, system menu, taskbar, WM_CLOSE from another program).
  virtual void OnClose() = 0;
  virtual void OnMenuExit() = 0;
  virtual void OnMenuAbout() = 0;
  virtual void OnHelpLinkClick() = 0;
  // 热点状态 clicked, or its key (F2) pressed.
  virtual void OnStatusLinkClick() = 0;
  virtual void OnCreateHotspotClick() = 0;
  virtual void OnStartHotspotClick() = 0;
  virtual void OnCloseHotspotClick() = 0;
  // The session ends (logoff, shutdown), or the end was called off (ending false).
  virtual void OnEndSession(bool ending) = 0;
  // Whether the window may open its menu or take any other request now.
  virtual bool AcceptsInput() const = 0;
};

}  // namespace lumvora
