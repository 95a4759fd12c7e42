// The status window's logic: it opens the window, reads the hotspot's state on a worker of its own (the
// command's worker stays free for commands, and the window's thread only shows what was read), and reads
// it again about every 3 seconds for as long as the window is open.
#pragma once

#include <chrono>

#include "app/capabilities.h"
#include "hotspot/hotspot_status.h"
#include "ui/hotspot_status_view.h"

namespace lumvora {

inline constexpr std::chrono::milliseconds kStatusRefreshInterval{3000};

// What the window shows for the logic's lines.
HotspotStatusContent ContentFor(const HotspotStatusLines& lines);

class HotspotStatusController : public HotspotStatusViewEvents {
 public:
  // worker: the status window's own, not the command's.
  HotspotStatusController(const Capabilities& capabilities, Worker& worker, HotspotStatusView& view)
      : reader_(capabilities.hotspotStatus), sharing_(capabilities.sharing), worker_(worker), view_(view) {}
  HotspotStatusController(const HotspotStatusController&) = delete;
  HotspotStatusController& operator=(const HotspotStatusController&) = delete;

  // Opens the window (or brings it forward) and reads the state for it. Throws PlatformError where the
  // window or the worker cannot be had.
  void Open();
  void OnStatusRefreshDue() override;

 private:
  void StartReading();
  // Back on the window's thread: shows what was read and asks for the next refresh, while the window is open.
  void OnRead(const HotspotStatusContent& content);

  HotspotStatusReader& reader_;
  ConnectionSharing& sharing_;
  Worker& worker_;
  HotspotStatusView& view_;
  // A reading runs on the worker: one at a time, and a window opened meanwhile gets its result.
  bool reading_ = false;
};

}  // namespace lumvora
