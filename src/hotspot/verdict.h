// Whether a hotspot command worked: netsh's exit code, checked against what Windows says of its hosted
// network where it answers; and, when it did not work, why, in words that say what to do.
#pragma once

#include <string>
#include <vector>

#include "hotspot/hotspot_command.h"

namespace lumvora {

extern const wchar_t kServiceStoppedLine[];
extern const wchar_t kNoAdapterLine[];
extern const wchar_t kRadioOffLine[];
extern const wchar_t kNotCapableLine[];
extern const wchar_t kStartNotAllowedLine[];
extern const wchar_t kNotElevatedLine[];
extern const wchar_t kKeyRuleLine[];
extern const wchar_t kNotStartedLine[];
extern const wchar_t kNotAllowedLine[];
extern const wchar_t kStillAllowedLine[];
extern const wchar_t kSsidDiffersLine[];

struct Verdict {
  bool succeeded = false;
  // For a failure: the reasons that apply, in the order the box shows them, before netsh's own words.
  std::vector<std::wstring> reasons;
};

// A key that WPA2 takes as a pass phrase: 8 to 63 printable ASCII characters.
bool IsValidKey(const std::wstring& key);

// Succeeded: netsh exited 0 and, where Windows answered, the hosted network is as the operation leaves it
// (create: allowed with the SSID typed, where that is plain ASCII; start: active; close: not allowed).
// Where the wireless API is missing or cannot say, the exit code alone decides.
Verdict Judge(const HotspotOperation& operation, const CommandOutcome& outcome);

}  // namespace lumvora
