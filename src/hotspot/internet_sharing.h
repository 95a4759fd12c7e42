// Sharing the PC's internet connection with the hosted network after a start, and taking it back before a
// close; and the line that the result box adds for it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/connection_sharing.h"

namespace lumvora {

// Each call may take many seconds while Windows starts its sharing service.
inline constexpr std::chrono::milliseconds kSharingTimeLimit{60000};

struct SharingOutcome {
  enum class Kind {
    Shared,         // shared now, or already before
    NoInternet,     // no connection to share
    Failed,         // could not share; the pair shared before is back
    Unshared,       // the hosted network's sharing was turned off
    NotShared,      // nothing to turn off
    UnshareFailed,  // could not turn it off
  };
  Kind kind = Kind::Failed;
  std::wstring connectionName;  // Shared: the connection whose internet the hotspot gets
  SharingError error;           // Failed, UnshareFailed
};

// At most one pair shares on a PC: the one that exists is moved to the internet connection and the hosted
// network's adapter, and put back should that fail.
SharingOutcome ShareInternet(SharingSession& session, const std::wstring& hostedGuid);
// Turns sharing off on the hosted network's adapter, where it is shared, and on its public partner.
SharingOutcome StopSharing(SharingSession& session, const std::wstring& hostedGuid);

enum class SharingStep { Share, Stop };
// One of the two within the time limit.
SharingOutcome RunSharingStep(ConnectionSharing& sharing, SharingStep step, const std::wstring& hostedGuid,
                              std::chrono::milliseconds limit = kSharingTimeLimit);

struct SharingNote {
  std::wstring text;  // one line, or two where the service is disabled
  bool warning = false;
};
// What the result box adds, if anything.
std::optional<SharingNote> NoteFor(const SharingOutcome& outcome);

}  // namespace lumvora
