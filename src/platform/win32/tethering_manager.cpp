#include "platform/win32/tethering_manager.h"

#include <memory>
#include <system_error>

namespace lumvora::win32 {

using namespace winrt;

void Fail(MobileHotspotResult& result, HRESULT hr) {
  if (result.hresult != 0) return;  // the first failure is the one to tell
  result.hresult = static_cast<std::int32_t>(hr);
  result.systemText = HresultText(hr);
  // Not a failure: Windows goes on with it, and what it does is not known yet.
  result.timedOut = hr == kNotYetKnown;
}

MobileHotspotResult TetheringCalls::Run(std::function<void(MobileHotspotResult&, Deadline)> work) {
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

bool TetheringCalls::Available() {
  if (available_) return *available_;
  // The manager's class is there from Windows 10 1507 on, but desktop programs may use it only from 1607 on,
  // which added this interface to it.
  const MobileHotspotResult probe = Run([](MobileHotspotResult&, Deadline) {
    ActivationFactory<IInspectable>(kTetheringManagerClass, kIidTetheringManagerStatics3);
  });
  // A probe that did not answer in time says nothing either way: asked again next time, tried meanwhile.
  if (probe.timedOut) return true;
  available_ = probe.hresult == 0;
  return *available_;
}

namespace {

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

}  // namespace

ComPtr<ITetheringManager> MakeTetheringManager(bool internetOnly, MobileHotspotResult& result) {
  const auto information = ActivationFactory<INetworkInformationStatics>(kNetworkInformationClass, kIidNetworkInformationStatics);
  ComPtr<IConnectionProfile> profile;
  Check(information->GetInternetConnectionProfile(profile.Out()));
  if (!profile && internetOnly) return {};
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
  result.manager = static_cast<bool>(manager);
  return manager;
}

void ReadStateAndConfiguration(ITetheringManager* manager, MobileHotspotResult& result) {
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

}  // namespace lumvora::win32
