// Windows' Mobile Hotspot (Windows 10 and later), where the program reaches it: the portable side. The
// Win32 layer implements it through the Windows runtime; the unit tests with a scripted fake. Nothing here
// includes a Windows header.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumvora {

// What a start or a stop answered: Windows' TetheringOperationStatus, value for value. Windows may answer
// a value that came after these: it is kept as its number.
enum class TetheringStatus : std::int32_t {
  Success,
  Unknown,
  MobileBroadbandDeviceOff,
  WiFiDeviceOff,
  EntitlementCheckTimeout,
  EntitlementCheckFailure,
  OperationInProgress,
  BluetoothDeviceOff,
  NetworkLimitedConnectivity,
  AlreadyOn,
  RadioRestriction,
  BandInterference,
};

// Windows' TetheringOperationalState, value for value.
enum class TetheringState { Unknown, On, Off, InTransition };

// One of a client's host names, as Windows' HostName gives it (HostNameType, value for value).
struct HostNameEntry {
  enum class Kind { DomainName, Ipv4, Ipv6, Bluetooth } kind = Kind::DomainName;
  std::wstring text;
};

// A device that has joined the Mobile Hotspot: its MAC as Windows writes it, and its host names.
struct TetheringClientEntry {
  std::wstring mac;
  std::vector<HostNameEntry> hostNames;
};

// What one call did, and what the Mobile Hotspot looked like afterwards.
struct MobileHotspotResult {
  // Windows named the connection to the internet, and the hotspot's manager was made from it.
  bool internet = false;
  // A manager was made: from the internet connection, or (but for a start, which shares that connection)
  // from another of the PC's connections. Without one nothing further was asked.
  bool manager = false;
  std::wstring profileName;          // the internet connection's name, as Windows shows it
  // The call did not answer within its time limit: what it did is not known yet (it goes on).
  bool timedOut = false;
  std::int32_t hresult = 0;          // the first call that failed (0: none did)
  std::wstring systemText;           // the system's words for it
  std::optional<TetheringStatus> status;  // the answer of a start or a stop, where one was made
  std::wstring additionalErrorMessage;    // what Windows added to that answer
  TetheringState state = TetheringState::Unknown;  // read after the operation
  std::optional<std::wstring> ssid, passphrase;    // the configuration read after the operation
  std::vector<TetheringClientEntry> clients;       // read by the status window only, while it is on
};

class MobileHotspot {
 public:
  virtual ~MobileHotspot() = default;
  // Whether this Windows offers the Mobile Hotspot to programs (Windows 10 1607 and later).
  virtual bool Available() = 0;
  // Sets the name and key, then reads the configuration back.
  virtual MobileHotspotResult Configure(const std::wstring& ssid, const std::wstring& passphrase) = 0;
  virtual MobileHotspotResult Start() = 0;
  virtual MobileHotspotResult Stop() = 0;
  // Only reads the state and the configuration.
  virtual MobileHotspotResult Query() = 0;
  // Waits, at most the time given, for a call that outlived its limit; true when none runs any more.
  virtual bool WaitForOutstanding(std::chrono::milliseconds limit) = 0;
};

}  // namespace lumvora
