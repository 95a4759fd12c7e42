// Sharing the PC's internet connection with the hosted network after a start, and taking it back before a
// close; and the line that the result box adds for it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/connection_sharing.h"

namespace lumvora {

// Each call may take many seconds while Windows starts its sharing service.
inline constexpr std::chrono::milliseconds kSharingTimeLimit{60000};

enum class SharingStep { Share, Stop };

struct SharingOutcome {
  enum class Kind {
    Shared,         // shared now, or already before
    NoInternet,     // no connection to share
    Failed,         // could not share; the pair shared before is back
    Unshared,       // the hosted network's sharing was turned off (and the user's earlier pair put back)
    NotShared,      // nothing to turn off
    UnshareFailed,  // could not turn it off
    RestoreFailed,  // turned off, but the user's earlier pair could not be put back
    TimedOut,       // the step did not end within its time limit: what it did is not known yet
  };
  Kind kind = Kind::Failed;
  SharingStep step = SharingStep::Share;
  // Shared: the connection whose internet the hotspot gets; RestoreFailed: the earlier pair's public one.
  std::wstring connectionName;
  SharingError error;  // Failed, UnshareFailed, RestoreFailed, TimedOut
  // Shared: the user's earlier pair that was turned off to make way, public first, to put back at the close.
  std::vector<NetworkConnection> moved;
};

// At most one pair shares on a PC: the one that exists is moved to the internet connection and the hosted
// network's adapter, and put back should that fail.
SharingOutcome ShareInternet(SharingSession& session, const std::wstring& hostedGuid);
// Turns sharing off on the hosted network's adapter, where it is shared, and on its public partner; then puts
// back the user's pair that the start moved (putBack), where it is still there and nothing else shares now.
SharingOutcome StopSharing(SharingSession& session, const std::wstring& hostedGuid,
                           const std::vector<NetworkConnection>& putBack = {});

// One of the two within the time limit.
SharingOutcome RunSharingStep(ConnectionSharing& sharing, SharingStep step, const std::wstring& hostedGuid,
                              const std::vector<NetworkConnection>& putBack = {},
                              std::chrono::milliseconds limit = kSharingTimeLimit);

struct SharingNote {
  std::wstring text;  // one line, or two where the service is disabled
  bool warning = false;
};
// What the result box adds, if anything.
std::optional<SharingNote> NoteFor(const SharingOutcome& outcome);

}  // namespace lumvora
