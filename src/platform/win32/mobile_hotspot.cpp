#include "platform/win32/mobile_hotspot.h"

#include <memory>
#include <system_error>

#include "platform/win32/winrt_tethering.h"

namespace lumvora::win32 {
namespace {

using namespace winrt;

void Fail(MobileHotspotResult& result, HRESULT hr) {
  if (result.hresult != 0) return;  // the first failure is the one to tell
  result.hresult = static_cast<std::int32_t>(hr);
  result.systemText = HresultText(hr);
  // Not a failure: Windows goes on with it, and what it does is not known yet.
  result.timedOut = hr == kNotYetKnown;
}

enum class Call { Configure, Start, Stop, Query };

void Configure(ITetheringManager* manager, const std::wstring& ssid, const std::wstring& passphrase, Deadline deadline) {
  const HString name(ssid), key(passphrase);
  // The user's own configuration with only name and key changed: its band (Windows 10 2004 on) and its kind
  // of security (Windows 11 24H2 on) stay as they were. A new one only where there is none.
  ComPtr<ITetheringAccessPointConfiguration> configuration;
  Check(manager->GetCurrentAccessPointConfiguration(configuration.Out()));
  if (!configuration) {
    configuration = ActivateInstance(kAccessPointConfigurationClass)
                        .As<ITetheringAccessPointConfiguration>(kIidAccessPointConfiguration);
  }
  Check(configuration->put_Ssid(name.Get()));
  Check(configuration->put_Passphrase(key.Get()));
  ComPtr<IAsyncAction> action;
  Check(manager->ConfigureAccessPointAsync(configuration.Get(), action.Out()));
  Await(action.Get(), kIidAsyncActionCompletedHandler, deadline);
  Check(action->GetResults());
}

void StartOrStop(ITetheringManager* manager, bool start, MobileHotspotResult& result, Deadline deadline) {
  ComPtr<IAsyncTetheringOperation> operation;
  Check(start ? manager->StartTetheringAsync(operation.Out()) : manager->StopTetheringAsync(operation.Out()));
  Await(operation.Get(), kIidAsyncTetheringOperationCompletedHandler, deadline);
  ComPtr<ITetheringOperationResult> answer;
  Check(operation->GetResults(answer.Out()));
  INT32 status = 0;
  Check(answer->get_Status(&status));
  result.status = static_cast<TetheringStatus>(status);
  HString message;
  if (SUCCEEDED(answer->get_AdditionalErrorMessage(message.Out()))) result.additionalErrorMessage = message.Text();
}

// The state and the configuration as they are now.
void ReadBack(ITetheringManager* manager, MobileHotspotResult& result) {
  INT32 state = 0;
  Check(manager->get_TetheringOperationalState(&state));
  result.state = state >= 0 && state <= 3 ? static_cast<TetheringState>(state) : TetheringState::Unknown;
  ComPtr<ITetheringAccessPointConfiguration> current;
  Check(manager->GetCurrentAccessPointConfiguration(current.Out()));
  if (!current) return;
  HString ssid, passphrase;
  Check(current->get_Ssid(ssid.Out()));
  Check(current->get_Passphrase(passphrase.Out()));
  result.ssid = ssid.Text();
  result.passphrase = passphrase.Text();
}

// A manager from the first of the PC's other connections that makes one: where there is no internet, the
// hotspot can still be stopped and read, only not started.
ComPtr<ITetheringManager> ManagerFromAnyProfile(INetworkInformationStatics* information, ITetheringManagerStatics2* statics) {
  ComPtr<IConnectionProfileVectorView> profiles;
  UINT32 count = 0;
  if (FAILED(information->GetConnectionProfiles(profiles.Out())) || !profiles || FAILED(profiles->get_Size(&count))) {
    return {};
  }
  for (UINT32 i = 0; i < count; ++i) {
    ComPtr<IConnectionProfile> profile;
    ComPtr<ITetheringManager> manager;
    if (SUCCEEDED(profiles->GetAt(i, profile.Out())) && profile &&
        SUCCEEDED(statics->CreateFromConnectionProfile(profile.Get(), manager.Out())) && manager) {
      return manager;
    }
  }
  return {};
}

// The whole call, in the multithreaded apartment: the manager from the internet connection (or, but for a
// start, another one), the operation, then the state and the configuration as they are afterwards.
void Run(Call call, const std::wstring& ssid, const std::wstring& passphrase, MobileHotspotResult& result,
         Deadline deadline) {
  const auto information = ActivationFactory<INetworkInformationStatics>(kNetworkInformationClass, kIidNetworkInformationStatics);
  ComPtr<IConnectionProfile> profile;
  Check(information->GetInternetConnectionProfile(profile.Out()));
  if (!profile && call == Call::Start) return;  // nothing to share
  const auto statics = ActivationFactory<ITetheringManagerStatics2>(kTetheringManagerClass, kIidTetheringManagerStatics2);
  ComPtr<ITetheringManager> manager;
  if (profile) {
    HString name;
    if (SUCCEEDED(profile->get_ProfileName(name.Out()))) result.profileName = name.Text();
    Check(statics->CreateFromConnectionProfile(profile.Get(), manager.Out()));
    result.internet = true;
  } else {
    manager = ManagerFromAnyProfile(information.Get(), statics.Get());
  }
  if (!manager) return;  // nothing to reach the hotspot through
  result.manager = true;
  try {
    switch (call) {
      case Call::Configure: Configure(manager.Get(), ssid, passphrase, deadline); break;
      case Call::Start: StartOrStop(manager.Get(), true, result, deadline); break;
      case Call::Stop: StartOrStop(manager.Get(), false, result, deadline); break;
      case Call::Query: break;
    }
  } catch (const ComError& error) {
    Fail(result, error.Code());
  }
  ReadBack(manager.Get(), result);
}

}  // namespace

MobileHotspotResult Win32MobileHotspot::OnCallThread(std::function<void(MobileHotspotResult&, Deadline)> work) {
  // Owned by the call as well: a call that outlives the limit writes here, not into a gone caller.
  const auto result = std::make_shared<MobileHotspotResult>();
  MobileHotspotResult failed;
  try {
    const bool returned = calls_.Run(
        [result, work = std::move(work)](Deadline deadline) {
          MobileHotspotResult answer;
          try {
            work(answer, deadline);
          } catch (const ComError& error) {
            Fail(answer, error.Code());
          }
          *result = std::move(answer);
        },
        limit_);
    if (returned) return *result;
    Fail(failed, kNotYetKnown);
  } catch (const std::system_error&) {
    Fail(failed, E_OUTOFMEMORY);
  }
  return failed;
}

MobileHotspotResult Win32MobileHotspot::RunCall(int call, const std::wstring& ssid, const std::wstring& passphrase) {
  return OnCallThread([call, ssid, passphrase](MobileHotspotResult& result, Deadline deadline) {
    Run(static_cast<Call>(call), ssid, passphrase, result, deadline);
  });
}

bool Win32MobileHotspot::Available() {
  if (available_) return *available_;
  // The manager's class is there from Windows 10 1507 on, but desktop programs may use it only from 1607 on,
  // which added this interface to it.
  const MobileHotspotResult probe = OnCallThread([](MobileHotspotResult&, Deadline) {
    ActivationFactory<IInspectable>(kTetheringManagerClass, kIidTetheringManagerStatics3);
  });
  // A probe that did not answer in time says nothing either way: asked again next time, tried meanwhile.
  if (probe.timedOut) return true;
  available_ = probe.hresult == 0;
  return *available_;
}

bool Win32MobileHotspot::WaitForOutstanding(std::chrono::milliseconds limit) { return calls_.WaitForOutstanding(limit); }

MobileHotspotResult Win32MobileHotspot::Configure(const std::wstring& ssid, const std::wstring& passphrase) {
  return RunCall(static_cast<int>(Call::Configure), ssid, passphrase);
}
MobileHotspotResult Win32MobileHotspot::Start() { return RunCall(static_cast<int>(Call::Start)); }
MobileHotspotResult Win32MobileHotspot::Stop() { return RunCall(static_cast<int>(Call::Stop)); }
MobileHotspotResult Win32MobileHotspot::Query() { return RunCall(static_cast<int>(Call::Query)); }

}  // namespace lumvora::win32
