// Everything through which the program's logic reaches Windows, made once by the program's owner and handed
// on as one set: no part of the logic makes its own or goes without one.
#pragma once

#include "platform/command_operations.h"
#include "platform/connection_sharing.h"
#include "platform/help_files.h"
#include "platform/hotspot_status.h"
#include "platform/mobile_hotspot.h"
#include "platform/session_operations.h"
#include "platform/worker.h"

namespace lumvora {

struct Capabilities {
  SessionOperations& session;
  HelpFiles& helpFiles;
  CommandOperations& command;
  Worker& worker;
  ConnectionSharing& sharing;
  MobileHotspot& mobileHotspot;
  HotspotStatusReader& hotspotStatus;
};

}  // namespace lumvora
