// What the Mobile Hotspot (platform/win32/mobile_hotspot.cpp) and the status window's reader
// (platform/win32/hotspot_status.cpp) share of Windows' Mobile Hotspot: its calls, each in the
// multithreaded apartment on a thread of its own within a time limit; whether this Windows offers it; its
// manager, made from the PC's connection to the internet; and its state and configuration.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "platform/mobile_hotspot.h"
#include "platform/win32/com.h"
#include "platform/win32/winrt_tethering.h"

namespace lumvora::win32 {

// The first failure of a call is the one its result tells.
void Fail(MobileHotspotResult& result, HRESULT hr);

class TetheringCalls {
 public:
  explicit TetheringCalls(std::chrono::milliseconds limit) : limit_(limit) {}
  // Runs the work and waits for it at most the limit: a call that did not answer in time is reported as
  // timed out (not as a failure: it goes on, and what it did is not known yet).
  MobileHotspotResult Run(std::function<void(MobileHotspotResult&, Deadline)> work);
  // Whether this Windows offers the Mobile Hotspot to programs (Windows 10 1607 on); asked once.
  bool Available();
  bool WaitForOutstanding(std::chrono::milliseconds limit) { return calls_.WaitForOutstanding(limit); }

 private:
  std::chrono::milliseconds limit_;
  MtaCalls calls_;
  std::optional<bool> available_;
};

// The manager from the connection to the internet (result.internet, result.profileName), or where there is
// none and internetOnly is false, from the first of the PC's other connections that makes one. Sets
// result.manager; null where there is none. Throws ComError.
ComPtr<winrt::ITetheringManager> MakeTetheringManager(bool internetOnly, MobileHotspotResult& result);

// The state and the configuration as they are now. Throws ComError.
void ReadStateAndConfiguration(winrt::ITetheringManager* manager, MobileHotspotResult& result);

}  // namespace lumvora::win32
