// Internet Connection Sharing: which network connections share, and turning it on and off for one. The
// Win32 layer implements it with Windows' sharing manager; the unit tests with a recording fake. Nothing
// here includes a Windows header.
#pragma once

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumvora {

// Public: the connection whose internet is shared. Private: the one that it is shared with.
enum class SharingRole { Public, Private };

// A connection of the Network Connections folder.
struct NetworkConnection {
  std::wstring guid;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", in any case
  std::wstring name;  // as Network Connections shows it
  bool shared = false;
  SharingRole role = SharingRole::Public;  // where shared
};

// Windows writes adapter GUIDs in either case.
inline bool SameGuid(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towupper(x) == std::towupper(y);
         });
}

inline constexpr std::uint32_t kClassNotRegistered = 0x80040154;  // REGDB_E_CLASSNOTREG
// Sharing settings left behind for adapters that no longer exist get in the way of new ones.
inline constexpr std::uint32_t kStaleSharingSettings = 0x80040201;

struct SharingError {
  std::uint32_t code = 0;   // the HRESULT
  std::wstring systemText;  // the system's words for it
  bool serviceDisabled = false;  // the Internet Connection Sharing service is disabled
};

class SharingFailure : public std::runtime_error {
 public:
  explicit SharingFailure(SharingError error)
      : std::runtime_error("connection sharing failed"), error_(std::move(error)) {}
  const SharingError& Error() const { return error_; }

 private:
  SharingError error_;
};

// The operations, valid only within ConnectionSharing::Run. Each throws SharingFailure when Windows refuses.
class SharingSession {
 public:
  virtual ~SharingSession() = default;
  virtual std::vector<NetworkConnection> Connections() = 0;
  // The adapter that holds the route to the internet, where there is one.
  virtual std::optional<std::wstring> InternetAdapterGuid() = 0;
  virtual void Enable(const std::wstring& guid, SharingRole role) = 0;
  virtual void Disable(const std::wstring& guid) = 0;
};

class ConnectionSharing {
 public:
  virtual ~ConnectionSharing() = default;
  // Runs the work with a session and waits for it at most the time limit. False when it did not finish
  // within it: the work then goes on, kept until it returns, so it must own whatever it touches.
  virtual bool Run(std::function<void(SharingSession&)> work, std::chrono::milliseconds limit) = 0;
  // Waits, at most the time given, for work that outlived its limit; true when none runs any more.
  virtual bool WaitForOutstanding(std::chrono::milliseconds limit) = 0;
};

}  // namespace lumvora
