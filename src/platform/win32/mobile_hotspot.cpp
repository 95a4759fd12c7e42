#include "platform/win32/mobile_hotspot.h"

#include "platform/win32/tethering_manager.h"

namespace lumvora::win32 {
namespace {

using namespace winrt;

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

// The whole call, in the multithreaded apartment: the manager from the internet connection (or, but for a
// start, another one), the operation, then the state and the configuration as they are afterwards.
void Run(Call call, const std::wstring& ssid, const std::wstring& passphrase, MobileHotspotResult& result,
         Deadline deadline) {
  const ComPtr<ITetheringManager> manager = MakeTetheringManager(call == Call::Start, result);
  if (!manager) return;  // nothing to share, or nothing to reach the hotspot through
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
  ReadStateAndConfiguration(manager.Get(), result);
}

}  // namespace

MobileHotspotResult Win32MobileHotspot::RunCall(int call, const std::wstring& ssid, const std::wstring& passphrase) {
  return calls_.Run([call, ssid, passphrase](MobileHotspotResult& result, Deadline deadline) {
    Run(static_cast<Call>(call), ssid, passphrase, result, deadline);
  });
}

bool Win32MobileHotspot::Available() { return calls_.Available(); }

bool Win32MobileHotspot::WaitForOutstanding(std::chrono::milliseconds limit) { return calls_.WaitForOutstanding(limit); }

MobileHotspotResult Win32MobileHotspot::Configure(const std::wstring& ssid, const std::wstring& passphrase) {
  return RunCall(static_cast<int>(Call::Configure), ssid, passphrase);
}
MobileHotspotResult Win32MobileHotspot::Start() { return RunCall(static_cast<int>(Call::Start)); }
MobileHotspotResult Win32MobileHotspot::Stop() { return RunCall(static_cast<int>(Call::Stop)); }
MobileHotspotResult Win32MobileHotspot::Query() { return RunCall(static_cast<int>(Call::Query)); }

}  // namespace lumvora::win32
