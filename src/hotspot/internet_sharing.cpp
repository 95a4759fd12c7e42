#include "hotspot/internet_sharing.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <vector>

namespace lumvora {
namespace {

constexpr std::uint32_t kNotFound = 0x80070490;  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)
constexpr std::uint32_t kTimeout = 0x800705B4;   // HRESULT_FROM_WIN32(ERROR_TIMEOUT)
constexpr std::uint32_t kOutOfMemory = 0x8007000E;

const NetworkConnection* Find(const std::vector<NetworkConnection>& connections, const std::wstring& guid) {
  for (const NetworkConnection& c : connections) {
    if (SameGuid(c.guid, guid)) return &c;
  }
  return nullptr;
}

bool Shares(const NetworkConnection& c, SharingRole role) { return c.shared && c.role == role; }

SharingOutcome Outcome(SharingOutcome::Kind kind, SharingError error = {}) {
  SharingOutcome outcome;
  outcome.kind = kind;
  outcome.error = std::move(error);
  return outcome;
}

SharingOutcome Shared(const std::wstring& name) {
  SharingOutcome outcome = Outcome(SharingOutcome::Kind::Shared);
  outcome.connectionName = name;
  return outcome;
}

// The system's words end a sentence; inside the brackets they must not.
std::wstring WithoutFinalStop(std::wstring text) {
  while (!text.empty() && (text.back() == L'。' || text.back() == L'.' || std::iswspace(text.back()))) text.pop_back();
  return text;
}

}  // namespace

SharingOutcome ShareInternet(SharingSession& session, const std::wstring& hostedGuid) {
  using Kind = SharingOutcome::Kind;
  std::vector<NetworkConnection> connections;
  try {
    connections = session.Connections();
  } catch (const SharingFailure& failure) {
    return Outcome(Kind::Failed, failure.Error());
  }
  const NetworkConnection* hosted = Find(connections, hostedGuid);
  if (hosted == nullptr) return Outcome(Kind::Failed, {kNotFound, L"“网络连接”中没有热点的虚拟网卡"});
  const std::optional<std::wstring> internetGuid = session.InternetAdapterGuid();
  if (!internetGuid || SameGuid(*internetGuid, hostedGuid)) return Outcome(Kind::NoInternet);
  const NetworkConnection* internet = Find(connections, *internetGuid);
  if (internet == nullptr) return Outcome(Kind::Failed, {kNotFound, L"“网络连接”中没有连着互联网的网卡"});
  if (Shares(*internet, SharingRole::Public) && Shares(*hosted, SharingRole::Private)) return Shared(internet->name);

  // The pair that shares now, public first: the order to put it back in.
  std::vector<NetworkConnection> before;
  for (const NetworkConnection& c : connections) {
    if (c.shared) before.push_back(c);
  }
  std::stable_partition(before.begin(), before.end(), [](const auto& c) { return c.role == SharingRole::Public; });
  std::vector<std::wstring> enabled;
  const auto pair = [&] {
    session.Enable(internet->guid, SharingRole::Public);
    enabled.push_back(internet->guid);
    session.Enable(hosted->guid, SharingRole::Private);
    enabled.push_back(hosted->guid);
  };
  try {
    for (const NetworkConnection& c : before) session.Disable(c.guid);
    try {
      pair();
    } catch (const SharingFailure& failure) {
      if (failure.Error().code != kStaleSharingSettings) throw;
      for (const NetworkConnection& c : connections) session.Disable(c.guid);
      enabled.clear();
      pair();
    }
    SharingOutcome shared = Shared(internet->name);
    shared.moved = before;
    return shared;
  } catch (const SharingFailure& failure) {
    // As far as it goes: the first error is the one to tell.
    for (const std::wstring& guid : enabled) {
      try {
        session.Disable(guid);
      } catch (const SharingFailure&) {
      }
    }
    for (const NetworkConnection& c : before) {
      try {
        session.Enable(c.guid, c.role);
      } catch (const SharingFailure&) {
      }
    }
    return Outcome(Kind::Failed, failure.Error());
  }
}

SharingOutcome StopSharing(SharingSession& session, const std::wstring& hostedGuid,
                           const std::vector<NetworkConnection>& putBack) {
  using Kind = SharingOutcome::Kind;
  std::vector<NetworkConnection> connections;
  bool unshared = false;
  try {
    connections = session.Connections();
    const NetworkConnection* hosted = Find(connections, hostedGuid);
    if (hosted != nullptr && Shares(*hosted, SharingRole::Private)) {
      session.Disable(hosted->guid);
      for (const NetworkConnection& c : connections) {
        if (Shares(c, SharingRole::Public)) session.Disable(c.guid);
      }
      unshared = true;
    }
  } catch (const SharingFailure& failure) {
    // Without the sharing manager nothing can be shared.
    if (failure.Error().code == kClassNotRegistered) return Outcome(Kind::NotShared);
    return Outcome(Kind::UnshareFailed, failure.Error());
  }
  const Kind done = unshared ? Kind::Unshared : Kind::NotShared;
  // The user's own pair goes back only where it is still there and nobody has shared anything since.
  const bool othersShare = std::any_of(connections.begin(), connections.end(), [&](const NetworkConnection& c) {
    return c.shared && !(unshared && (SameGuid(c.guid, hostedGuid) || c.role == SharingRole::Public));
  });
  if (putBack.empty() || othersShare) return Outcome(done);
  for (const NetworkConnection& c : putBack) {
    if (Find(connections, c.guid) == nullptr) continue;
    try {
      session.Enable(c.guid, c.role);
    } catch (const SharingFailure& failure) {
      SharingOutcome outcome = Outcome(Kind::RestoreFailed, failure.Error());
      outcome.connectionName = putBack.front().name;
      return outcome;
    }
  }
  return Outcome(done);
}

SharingOutcome RunSharingStep(ConnectionSharing& sharing, SharingStep step, const std::wstring& hostedGuid,
                              const std::vector<NetworkConnection>& putBack, std::chrono::milliseconds limit) {
  const SharingOutcome::Kind failed =
      step == SharingStep::Share ? SharingOutcome::Kind::Failed : SharingOutcome::Kind::UnshareFailed;
  // Owned by the work as well: a run that outlives the limit writes here, not into a gone caller.
  const auto result = std::make_shared<SharingOutcome>();
  const bool finished = sharing.Run(
      [result, step, hostedGuid, putBack, failed](SharingSession& session) {
        try {
          *result = step == SharingStep::Share ? ShareInternet(session, hostedGuid)
                                               : StopSharing(session, hostedGuid, putBack);
        } catch (const std::exception&) {
          *result = Outcome(failed, {kOutOfMemory, L"内存不足"});
        }
      },
      limit);
  SharingOutcome outcome = finished ? *result : Outcome(SharingOutcome::Kind::TimedOut);
  outcome.step = step;
  if (!finished) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit).count();
    outcome.error = {kTimeout, std::to_wstring(seconds) + L"秒"};
  }
  return outcome;
}

std::optional<SharingNote> NoteFor(const SharingOutcome& outcome) {
  using Kind = SharingOutcome::Kind;
  switch (outcome.kind) {
    case Kind::Shared:
      return SharingNote{L"已把“" + outcome.connectionName + L"”的互联网连接共享给热点，连上热点的设备可以上网了。", false};
    case Kind::NoInternet:
      return SharingNote{L"这台电脑现在没有连上互联网，连上热点的设备暂时不能上网。", false};
    case Kind::Failed: {
      SharingNote note{L"没能共享互联网连接（" + WithoutFinalStop(outcome.error.systemText) +
                           L"），连上热点的设备暂时不能上网。可以按使用说明手动共享。",
                       true};
      if (outcome.error.serviceDisabled) {
        note.text += L"\r\nWindows 的 Internet Connection Sharing (ICS) 服务已被禁用。请按 Win+R，输入 services.msc，"
                     L"把“Internet Connection Sharing (ICS)”服务的启动类型改为“手动”。";
      }
      return note;
    }
    case Kind::UnshareFailed:
      return SharingNote{L"没能取消热点的互联网连接共享（" + WithoutFinalStop(outcome.error.systemText) +
                             L"），可以在“网络连接”中手动取消。",
                         false};
    case Kind::RestoreFailed:
      return SharingNote{L"热点的互联网连接共享已取消，但没能恢复原来“" + outcome.connectionName + L"”的共享（" +
                             WithoutFinalStop(outcome.error.systemText) + L"），可以在“网络连接”中手动设置。",
                         false};
    case Kind::TimedOut:
      if (outcome.step == SharingStep::Share) {
        return SharingNote{L"共享互联网连接的操作在" + outcome.error.systemText +
                               L"内没有完成，结果还不知道：它仍在进行。过一会儿可以在“网络连接”中查看。",
                           true};
      }
      return SharingNote{L"取消互联网连接共享的操作在" + outcome.error.systemText +
                             L"内没有完成，结果还不知道：它仍在进行。过一会儿可以在“网络连接”中查看。",
                         true};
    case Kind::Unshared:
    case Kind::NotShared:
      break;
  }
  return std::nullopt;
}

}  // namespace lumvora
