// Stands in for Windows' Mobile Hotspot classes in the end-to-end tests. The harness registers it under
// HKLM\Software\Microsoft\WindowsRuntime\ActivatableClassId for NetworkInformation,
// NetworkOperatorTetheringManager and NetworkOperatorTetheringAccessPointConfiguration (Wine's combase then
// loads it and asks DllGetActivationFactory). Its interfaces are declared here from Windows' metadata, apart
// from the program's. It answers as tethering_state.txt in the program's directory says, read anew each
// time the program asks for the internet connection:
//   internet=0       no internet connection profile (default 1)
//   profile=NAME     that connection's name, UTF-8 (default 以太网)
//   state=on|off|transition   the hotspot's state (default off)
//   start=N, stop=N  the TetheringOperationStatus they answer (default 0, Success); Success turns the state
//                    on or off unless stuck=1
//   never=start|stop that call never completes
//   band=N           the current configuration's Wi-Fi band (default 0, Auto; 2 is 5 GHz)
//   statics3=0       the manager's factory (read when it is made) refuses the statics that Windows 10 1607
//                    added, as earlier Windows does
// GetConnectionProfiles lists one profile, which is not the internet connection where internet=0.
// Calls complete later, from a thread of their own that holds the handler meanwhile, as Windows' do.
// Each call the program makes is appended to tethering_calls.txt beside it; a configuration with its band.
#include <windows.h>
#include <inspectable.h>
#include <winstring.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/settings_file.h"

// The interfaces, from Windows' metadata. They must not sit in an anonymous namespace: a type of internal
// linkage tells GCC that every class derived from it is in this file, and a call through Handler (whose only
// implementation is the program's) was then compiled as a call of the pure virtual, which faulted.
namespace tethering {

struct Profile : IInspectable { virtual HRESULT STDMETHODCALLTYPE ProfileName(HSTRING*) = 0; };
// IVectorView<ConnectionProfile>, up to the methods the program calls.
struct Profiles : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32, Profile**) = 0;
  virtual HRESULT STDMETHODCALLTYPE Size(UINT32*) = 0;
};
struct Information : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetConnectionProfiles(Profiles**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(Profile**) = 0;
};
struct Configuration : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE Ssid(HSTRING*) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSsid(HSTRING) = 0;
  virtual HRESULT STDMETHODCALLTYPE Passphrase(HSTRING*) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPassphrase(HSTRING) = 0;
};
// INetworkOperatorTetheringAccessPointConfiguration2 (Windows 10 2004 on); a TetheringWiFiBand is an INT32.
struct Configuration2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE IsBandSupported(INT32, boolean*) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsBandSupportedAsync(INT32, IInspectable**) = 0;
  virtual HRESULT STDMETHODCALLTYPE Band(INT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBand(INT32) = 0;
};
struct OperationResult : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE Status(INT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdditionalErrorMessage(HSTRING*) = 0;
};
struct Handler : IUnknown { virtual HRESULT STDMETHODCALLTYPE Invoke(IInspectable*, INT32) = 0; };
// IAsyncAction's GetResults takes nothing; IAsyncOperation<TetheringOperationResult>'s gives the result.
struct AsyncAction : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE SetCompleted(Handler*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Completed(Handler**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults() = 0;
};
struct AsyncOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE SetCompleted(Handler*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Completed(Handler**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(OperationResult**) = 0;
};
struct AsyncInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE Id(UINT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Status(INT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ErrorCode(HRESULT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};
struct Manager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE MaxClientCount(UINT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClientCount(UINT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE TetheringOperationalState(INT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(Configuration**) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(Configuration*, AsyncAction**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StartTetheringAsync(AsyncOperation**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StopTetheringAsync(AsyncOperation**) = 0;
};
struct ManagerStatics2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetTetheringCapabilityFromConnectionProfile(Profile*, INT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(Profile*, Manager**) = 0;
};
struct ActivationFactory : IInspectable { virtual HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable**) = 0; };

}  // namespace tethering

namespace {

using namespace tethering;

const GUID kNetworkInformationStatics{0x5074f851, 0x950d, 0x4165, {0x9c, 0x15, 0x36, 0x56, 0x19, 0x48, 0x1e, 0xea}};
const GUID kManagerStatics2{0x5b235412, 0x35f0, 0x49e7, {0x9b, 0x08, 0x16, 0xd2, 0x78, 0xfb, 0xaa, 0x42}};
const GUID kManagerStatics3{0x8fdaadb6, 0x4af9, 0x4f21, {0x9b, 0x58, 0xd5, 0x3e, 0x9f, 0x24, 0x23, 0x1e}};
const GUID kConfiguration{0x0bcc0284, 0x412e, 0x403d, {0xac, 0xc6, 0xb7, 0x57, 0xe3, 0x47, 0x74, 0xa4}};
const GUID kConfiguration2{0xb1809142, 0x7238, 0x59a0, {0x92, 0x8b, 0x74, 0xab, 0x46, 0xfd, 0x64, 0xb6}};
// IVectorView<ConnectionProfile>'s, from its signature in Windows' metadata.
const GUID kProfiles{0x6db1b492, 0x3852, 0x5df8, {0xa2, 0x9d, 0x69, 0x44, 0x00, 0x2f, 0x58, 0xd4}};
const GUID kActivationFactory{0x00000035, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kAsyncInfo{0x00000036, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kAsyncAction{0x5a648006, 0x843a, 0x4da9, {0x86, 0x5b, 0x9d, 0x26, 0xe5, 0xdf, 0xad, 0x7b}};
const GUID kAsyncOperation{0x601b30ed, 0x9b7f, 0x54b6, {0xb6, 0x1b, 0x24, 0xa0, 0x9b, 0xc5, 0x63, 0x04}};

e2e::Settings g_state;
std::wstring g_ssid = L"DESKTOP-1", g_passphrase = L"00000000";

std::wstring Dir() { return e2e::StandInDirectory(); }
std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}
void Record(const std::wstring& line) {
  std::ofstream((Dir() + L"\\tethering_calls.txt").c_str(), std::ios::binary | std::ios::app) << Utf8(line) << '\n';
}
std::wstring Wide(const std::string& utf8) {
  std::wstring out(utf8.size(), L'\0');
  out.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                       out.data(), static_cast<int>(out.size()))));
  return out;
}
std::string Get(const char* name, const char* fallback) {
  const auto it = g_state.find(name);
  return it == g_state.end() ? fallback : it->second;
}
HRESULT String(const std::wstring& text, HSTRING* out) {
  return ::WindowsCreateString(text.c_str(), static_cast<UINT32>(text.size()), out);
}

struct Nothing {};
// One object answering one interface (and IUnknown, IInspectable, and extra where given), and a second one
// as secondIid where given.
template <typename Interface, typename Second = Nothing>
struct Object : Interface, Second {
  GUID iid, extra{}, secondIid;
  LONG refs = 1;
  explicit Object(const GUID& id, const GUID& second = {}) : iid(id), secondIid(second) {}
  virtual ~Object() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (IsEqualGUID(id, secondIid)) return *out = static_cast<Second*>(this), AddRef(), S_OK;
    if (IsEqualGUID(id, iid) || IsEqualGUID(id, extra) || IsEqualGUID(id, __uuidof(IUnknown)) ||
        IsEqualGUID(id, __uuidof(IInspectable))) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&refs);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
};

struct ProfileImpl : Object<Profile> {
  ProfileImpl() : Object(GUID{0x71ba143c, 0x598e, 0x49d0, {0x84, 0xeb, 0x8f, 0xeb, 0xae, 0xdc, 0xc1, 0x95}}) {}
  HRESULT STDMETHODCALLTYPE ProfileName(HSTRING* out) override { return String(Wide(Get("profile", "以太网")), out); }
};
struct ProfilesImpl : Object<Profiles> {
  ProfilesImpl() : Object(kProfiles) {}
  HRESULT STDMETHODCALLTYPE GetAt(UINT32, Profile** out) override { return *out = new ProfileImpl, S_OK; }
  HRESULT STDMETHODCALLTYPE Size(UINT32* out) override { return *out = 1, S_OK; }
};
struct InformationImpl : Object<Information> {
  InformationImpl() : Object(kNetworkInformationStatics) {}
  HRESULT STDMETHODCALLTYPE GetConnectionProfiles(Profiles** out) override { return *out = new ProfilesImpl, S_OK; }
  HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(Profile** out) override {
    g_state = e2e::ReadSettings(Dir() + L"\\tethering_state.txt");
    Record(L"GetInternetConnectionProfile");
    *out = Get("internet", "1") == "0" ? nullptr : new ProfileImpl;
    return S_OK;
  }
};
struct ConfigurationImpl : Object<Configuration, Configuration2> {
  std::wstring ssid, passphrase;
  INT32 band = 0;  // Auto
  ConfigurationImpl() : Object(kConfiguration, kConfiguration2) {}
  HRESULT STDMETHODCALLTYPE IsBandSupported(INT32, boolean* out) override { return *out = 1, S_OK; }
  HRESULT STDMETHODCALLTYPE IsBandSupportedAsync(INT32, IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Band(INT32* out) override { return *out = band, S_OK; }
  HRESULT STDMETHODCALLTYPE SetBand(INT32 value) override { return band = value, S_OK; }
  HRESULT STDMETHODCALLTYPE Ssid(HSTRING* out) override { return String(ssid, out); }
  HRESULT STDMETHODCALLTYPE SetSsid(HSTRING value) override { return ssid = ::WindowsGetStringRawBuffer(value, nullptr), S_OK; }
  HRESULT STDMETHODCALLTYPE Passphrase(HSTRING* out) override { return String(passphrase, out); }
  HRESULT STDMETHODCALLTYPE SetPassphrase(HSTRING value) override {
    return passphrase = ::WindowsGetStringRawBuffer(value, nullptr), S_OK;
  }
};
struct ResultImpl : Object<OperationResult> {
  INT32 status;
  explicit ResultImpl(INT32 s) : Object(GUID{0xebd203a1, 0x01ba, 0x476d, {0xb4, 0xb3, 0xbf, 0x3d, 0x12, 0xc8, 0xf8, 0x0c}}), status(s) {}
  HRESULT STDMETHODCALLTYPE Status(INT32* out) override { return *out = status, S_OK; }
  HRESULT STDMETHODCALLTYPE AdditionalErrorMessage(HSTRING* out) override { return String(L"", out); }
};
// IAsyncInfo is not asked for more than its status.
template <typename Interface>
struct AsyncImpl : Object<Interface, AsyncInfo> {
  const bool never;
  AsyncImpl(const GUID& iid, bool n) : Object<Interface, AsyncInfo>(iid, kAsyncInfo), never(n) {}
  HRESULT STDMETHODCALLTYPE SetCompleted(Handler* handler) override {
    handler->AddRef();  // held until invoked, and for good by a call that never completes
    if (never) return S_OK;
    this->AddRef();
    std::thread([this, handler] {
      handler->Invoke(static_cast<Interface*>(this), 1 /* Completed */);
      handler->Release();
      this->Release();
    }).detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Completed(Handler**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Id(UINT32* out) override { return *out = 1, S_OK; }
  HRESULT STDMETHODCALLTYPE Status(INT32* out) override { return *out = 1, S_OK; }
  HRESULT STDMETHODCALLTYPE ErrorCode(HRESULT* out) override { return *out = S_OK, S_OK; }
  HRESULT STDMETHODCALLTYPE Cancel() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
};
struct ActionImpl : AsyncImpl<AsyncAction> {
  ActionImpl() : AsyncImpl(kAsyncAction, false) {}
  HRESULT STDMETHODCALLTYPE GetResults() override { return S_OK; }
};
struct OperationImpl : AsyncImpl<AsyncOperation> {
  OperationResult* result;  // owned
  OperationImpl(OperationResult* r, bool never) : AsyncImpl(kAsyncOperation, never), result(r) {}
  ~OperationImpl() override { result->Release(); }
  HRESULT STDMETHODCALLTYPE GetResults(OperationResult** out) override {
    result->AddRef();
    return *out = result, S_OK;
  }
};
}  // namespace

// ---- For the status window: the clients that have joined, through INetworkOperatorTetheringClientManager
// (which the manager's class serves as well), as tethering_state.txt says:
//   clients=MAC|NAME|IPV4;...   each client with its domain name (where NAME is not empty) and IPv4 address
namespace tethering {

struct HostName : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE IPInformation(IInspectable**) = 0;
  virtual HRESULT STDMETHODCALLTYPE RawName(HSTRING*) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisplayName(HSTRING*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CanonicalName(HSTRING*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Type(INT32*) = 0;
};
template <typename Item>
struct VectorView : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32, Item**) = 0;
  virtual HRESULT STDMETHODCALLTYPE Size(UINT32*) = 0;
};
struct Client : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE MacAddress(HSTRING*) = 0;
  virtual HRESULT STDMETHODCALLTYPE HostNames(VectorView<HostName>**) = 0;
};
struct ClientManager : IInspectable { virtual HRESULT STDMETHODCALLTYPE GetTetheringClients(VectorView<Client>**) = 0; };

}  // namespace tethering

namespace {

const GUID kClientManager{0x91b14016, 0x8dca, 0x4225, {0xbb, 0xed, 0xee, 0xf8, 0xb8, 0xd7, 0x18, 0xd7}};

struct HostNameImpl : Object<HostName> {
  INT32 type;
  std::wstring text;
  HostNameImpl(INT32 t, std::wstring name)
      : Object(GUID{0xbf8ecaad, 0xed96, 0x49a7, {0x90, 0x84, 0xd4, 0x16, 0xca, 0xe8, 0x8d, 0xcb}}), type(t), text(name) {}
  HRESULT STDMETHODCALLTYPE IPInformation(IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RawName(HSTRING* out) override { return String(text, out); }
  HRESULT STDMETHODCALLTYPE DisplayName(HSTRING* out) override { return String(text, out); }
  HRESULT STDMETHODCALLTYPE CanonicalName(HSTRING* out) override { return String(text, out); }
  HRESULT STDMETHODCALLTYPE Type(INT32* out) override { return *out = type, S_OK; }
};
template <typename Item>
struct VectorImpl : Object<VectorView<Item>> {
  std::vector<Item*> items;  // owned
  explicit VectorImpl(const GUID& iid) : Object<VectorView<Item>>(iid) {}
  ~VectorImpl() override {
    for (Item* item : items) item->Release();
  }
  HRESULT STDMETHODCALLTYPE GetAt(UINT32 i, Item** out) override {
    if (i >= items.size()) return E_INVALIDARG;
    items[i]->AddRef();
    return *out = items[i], S_OK;
  }
  HRESULT STDMETHODCALLTYPE Size(UINT32* out) override { return *out = static_cast<UINT32>(items.size()), S_OK; }
};
struct ClientImpl : Object<Client> {
  std::wstring mac;
  VectorImpl<HostName>* names = new VectorImpl<HostName>(GUID{0xf4706ab1, 0x55a3, 0x5270, {0xaf, 0xb2, 0x73, 0x29, 0x88, 0xfe, 0x82, 0x27}});
  ClientImpl() : Object(GUID{0x709d254c, 0x595f, 0x4847, {0xbb, 0x30, 0x64, 0x69, 0x35, 0x54, 0x29, 0x18}}) {}
  ~ClientImpl() override { names->Release(); }
  HRESULT STDMETHODCALLTYPE MacAddress(HSTRING* out) override { return String(mac, out); }
  HRESULT STDMETHODCALLTYPE HostNames(VectorView<HostName>** out) override { return names->AddRef(), *out = names, S_OK; }
};
struct ClientManagerImpl : Object<ClientManager> {
  ClientManagerImpl() : Object(kClientManager) {}
  HRESULT STDMETHODCALLTYPE GetTetheringClients(VectorView<Client>** out) override {
    auto* list = new VectorImpl<Client>(GUID{0xe21d6797, 0x4ef6, 0x553f, {0xb7, 0xf9, 0x5e, 0xd7, 0x4b, 0xce, 0xbd, 0x7e}});
    std::stringstream clients(Get("clients", ""));
    for (std::string entry; std::getline(clients, entry, ';');) {
      std::stringstream fields(entry);
      std::string mac, name, ipv4;
      std::getline(fields, mac, '|'), std::getline(fields, name, '|'), std::getline(fields, ipv4, '|');
      auto* client = new ClientImpl;
      client->mac = Wide(mac);
      if (!name.empty()) client->names->items.push_back(new HostNameImpl(0 /* DomainName */, Wide(name)));
      client->names->items.push_back(new HostNameImpl(1 /* Ipv4 */, Wide(ipv4)));
      list->items.push_back(client);
    }
    return *out = list, S_OK;
  }
};
// The manager answers for the client manager with one of its own.
HRESULT QueryClients(Object<Manager>* manager, REFIID id, void** out) {
  if (!IsEqualGUID(id, kClientManager)) return manager->Object<Manager>::QueryInterface(id, out);
  return *out = static_cast<ClientManager*>(new ClientManagerImpl), S_OK;
}
// ---- end of the clients

struct ManagerImpl : Object<Manager> {
  ManagerImpl() : Object(GUID{0xd45a8da0, 0x0e86, 0x4d98, {0x8b, 0xa4, 0xdd, 0x70, 0xd4, 0xb7, 0x64, 0xd3}}) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override { return QueryClients(this, id, out); }
  HRESULT STDMETHODCALLTYPE MaxClientCount(UINT32* out) override { return *out = 8, S_OK; }
  HRESULT STDMETHODCALLTYPE ClientCount(UINT32* out) override { return *out = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE TetheringOperationalState(INT32* out) override {
    const std::string state = Get("state", "off");
    *out = state == "on" ? 1 : state == "transition" ? 3 : 2;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(Configuration** out) override {
    auto* configuration = new ConfigurationImpl;
    configuration->ssid = g_ssid;
    configuration->passphrase = g_passphrase;
    configuration->band = std::atoi(Get("band", "0").c_str());
    return *out = configuration, S_OK;
  }
  HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(Configuration* c, AsyncAction** out) override {
    auto* given = static_cast<ConfigurationImpl*>(c);
    Record(L"Configure " + given->ssid + L" " + given->passphrase + L" band=" + std::to_wstring(given->band));
    g_ssid = given->ssid;
    g_passphrase = given->passphrase;
    return *out = new ActionImpl, S_OK;
  }
  HRESULT Turn(const char* name, const char* after, AsyncOperation** out) {
    Record(Wide(name));
    const INT32 status = std::atoi(Get(name, "0").c_str());
    if (status == 0 && Get("stuck", "0") != "1") g_state["state"] = after;
    return *out = new OperationImpl(new ResultImpl(status), Get("never", "") == name), S_OK;
  }
  HRESULT STDMETHODCALLTYPE StartTetheringAsync(AsyncOperation** out) override { return Turn("start", "on", out); }
  HRESULT STDMETHODCALLTYPE StopTetheringAsync(AsyncOperation** out) override { return Turn("stop", "off", out); }
};
struct ManagerStaticsImpl : Object<ManagerStatics2> {
  // Statics3 is only asked for, never called, so the same object answers it.
  ManagerStaticsImpl() : Object(kManagerStatics2) {
    if (e2e::ReadSettings(Dir() + L"\\tethering_state.txt")["statics3"] != "0") extra = kManagerStatics3;
  }
  HRESULT STDMETHODCALLTYPE GetTetheringCapabilityFromConnectionProfile(Profile*, INT32* out) override {
    return *out = 0, S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(Profile*, Manager** out) override {
    return *out = new ManagerImpl, S_OK;
  }
};
struct ConfigurationFactory : Object<ActivationFactory> {
  ConfigurationFactory() : Object(kActivationFactory) {}
  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** out) override {
    return *out = static_cast<Configuration*>(new ConfigurationImpl), S_OK;
  }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetActivationFactory(HSTRING classId, IInspectable** factory) {
  const std::wstring name = ::WindowsGetStringRawBuffer(classId, nullptr);
  *factory = nullptr;
  if (name == L"Windows.Networking.Connectivity.NetworkInformation") *factory = new InformationImpl;
  if (name == L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager") *factory = new ManagerStaticsImpl;
  if (name == L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringAccessPointConfiguration") {
    *factory = new ConfigurationFactory;
  }
  return *factory != nullptr ? S_OK : CLASS_E_CLASSNOTAVAILABLE;
}
