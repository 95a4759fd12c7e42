// The status window (热点状态) as its logic sees it: what the logic asks of the real window
// (HotspotStatusView), and what the window hands on (HotspotStatusViewEvents). The Win32 window implements
// the first and calls the second; the unit tests record the calls.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <vector>

namespace lumvora {

// What the window shows, each line in words already.
struct HotspotStatusContent {
  std::wstring state, name, key, shared, devicesHeading;
  // The join code's modules on a side, and whether each is dark, row by row; 0: no code is shown.
  int codeSize = 0;
  std::vector<bool> codeDark;
  // Beside the code, or in its place where there is none: empty for nothing.
  std::wstring codeHint;
  // The connected devices: name, IP address, MAC address.
  std::vector<std::array<std::wstring, 3>> devices;
};

class HotspotStatusView {
 public:
  virtual ~HotspotStatusView() = default;
  // Opens the window beside the main window, which owns it; where it is open already, brings it forward.
  // Throws PlatformError where it cannot be made.
  virtual void Open() = 0;
  // False once the user has closed it (Esc, the close box).
  virtual bool IsOpen() const = 0;
  // Shows the lines; the device list is updated in place, so that its selection and scroll position stay.
  virtual void Show(const HotspotStatusContent& content) = 0;
  // Asks for OnStatusRefreshDue once, after the delay, while the window stays open.
  virtual void RefreshAfter(std::chrono::milliseconds delay) = 0;
};

class HotspotStatusViewEvents {
 public:
  virtual ~HotspotStatusViewEvents() = default;
  // The delay that RefreshAfter asked for has passed, the window still open.
  virtual void OnStatusRefreshDue() = 0;
};

}  // namespace lumvora
