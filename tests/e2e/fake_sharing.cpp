// Stands in for Windows' sharing manager (CLSID_NetSharingManager, hnetcfg.dll) in the end-to-end tests:
// SharingManagerStandIn in the harness registers this DLL for the class while a test needs it. It answers
// as ics_state.txt in the program's directory says, read anew at each call, and writes back what a call
// changed:
//   {GUID}=ROLE,NAME   a connection: ROLE none|public|private, NAME as Network Connections shows it
//   flags{GUID}=HEX    its NETCON_CHARACTERISTIC_FLAGS (default 0; 20 is NCCF_INCOMING_ONLY); all are LANs
//   noconfig{GUID}=1   the manager gives no sharing configuration for it
//   fail=CALL          this call fails ("+public {GUID}", "+private {GUID}", "-{GUID}")...
//   failcode=HEX       ...with this HRESULT (default 80004005)...
//   failtimes=N        ...N more times (default: every time)
// Each EnableSharing and DisableSharing appends "CALL netsh=N" to ics_calls.txt, N being how many commands
// the fake netsh had recorded by then (the order of the two).
#include <windows.h>
#include <netcon.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/settings_file.h"
#include "e2e/utf8.h"

namespace {

std::wstring File(const wchar_t* name) { return e2e::StandInDirectory() + L"\\" + name; }
// The script, read again only when the file has changed: the stand-in answers at once, as the benchmark
// needs, though the program asks for every property of every connection.
e2e::Settings State() {
  static std::mutex mutex;
  static e2e::Settings cached;
  static std::tuple<DWORD, DWORD, DWORD> stamp{};
  const std::lock_guard<std::mutex> lock(mutex);
  const std::wstring path = File(L"ics_state.txt");
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    const std::tuple<DWORD, DWORD, DWORD> now{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime,
                                              data.nFileSizeLow};
    if (now == stamp) return cached;
    stamp = now;
  } else {
    stamp = {};
  }
  cached = e2e::ReadSettings(path);
  return cached;
}

int NetshCommands() {
  std::ifstream in(File(L"netsh_calls.txt").c_str(), std::ios::binary);
  int count = 0;
  for (std::string line; std::getline(in, line);) count += line.rfind("CMDLINE", 0) == 0;
  return count;
}

// Records the call and tells whether the script makes it fail.
HRESULT Call(const std::string& call) {
  std::ofstream(File(L"ics_calls.txt").c_str(), std::ios::binary | std::ios::app)
      << call << " netsh=" << NetshCommands() << '\n';
  e2e::Settings state = State();
  if (state["fail"] != call || state["failtimes"] == "0") return S_OK;
  if (!state["failtimes"].empty()) state["failtimes"] = std::to_string(std::stoi(state["failtimes"]) - 1);
  e2e::WriteSettings(File(L"ics_state.txt"), state);
  return state["failcode"].empty() ? E_FAIL : static_cast<HRESULT>(std::stoul(state["failcode"], nullptr, 16));
}

const IID& IidOf(INetSharingManager*) { return IID_INetSharingManager; }
const IID& IidOf(INetSharingEveryConnectionCollection*) { return IID_INetSharingEveryConnectionCollection; }
const IID& IidOf(IEnumVARIANT*) { return IID_IEnumVARIANT; }
const IID& IidOf(INetConnection*) { return IID_INetConnection; }
const IID& IidOf(INetConnectionProps*) { return IID_INetConnectionProps; }
const IID& IidOf(INetSharingConfiguration*) { return IID_INetSharingConfiguration; }
const IID& IidOf(IClassFactory*) { return IID_IClassFactory; }

#define NOT_USED(...) \
  HRESULT STDMETHODCALLTYPE __VA_ARGS__ override { return E_NOTIMPL; }

// IUnknown and the IDispatch methods nobody calls, for every interface the object has.
template <typename... Interfaces>
class Object : public Interfaces... {
 public:
  virtual ~Object() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    using Main = std::tuple_element_t<0, std::tuple<Interfaces...>>;
    if (iid == IID_IUnknown) *out = static_cast<Main*>(this);
    ((iid == IidOf(static_cast<Interfaces*>(nullptr)) ? void(*out = static_cast<Interfaces*>(this)) : void()), ...);
    if (iid == IID_IDispatch) *out = Dispatch();
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
  }

 private:
  virtual void* Dispatch() { return nullptr; }
  std::atomic<ULONG> refs_{1};
};

class Connection : public Object<INetConnection, INetConnectionProps, INetSharingConfiguration> {
 public:
  explicit Connection(std::string guid) : guid_(std::move(guid)) {}
  // INetConnection: nothing but its identity is used.
  NOT_USED(Connect()) NOT_USED(Disconnect()) NOT_USED(Delete()) NOT_USED(Duplicate(LPCWSTR, INetConnection**))
  NOT_USED(GetProperties(NETCON_PROPERTIES**)) NOT_USED(GetUiObjectClassId(CLSID*)) NOT_USED(Rename(LPCWSTR))
  // INetConnectionProps
  HRESULT STDMETHODCALLTYPE get_Guid(BSTR* out) override { return Text(e2e::Utf16(guid_.c_str()), out); }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Text(e2e::Utf16(Field(1).c_str()), out); }
  NOT_USED(get_DeviceName(BSTR*)) NOT_USED(get_Status(NETCON_STATUS*))
  HRESULT STDMETHODCALLTYPE get_MediaType(NETCON_MEDIATYPE* out) override { return *out = NCM_LAN, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Characteristics(DWORD* out) override {
    return *out = std::stoul("0" + State()["flags" + guid_], nullptr, 16), S_OK;
  }
  // The manager's INetSharingConfiguration for it.
  HRESULT Configuration(INetSharingConfiguration** out) {
    if (State()["noconfig" + guid_] == "1") return *out = nullptr, E_FAIL;
    return QueryInterface(IID_INetSharingConfiguration, reinterpret_cast<void**>(out));
  }
  // INetSharingConfiguration
  HRESULT STDMETHODCALLTYPE get_SharingEnabled(VARIANT_BOOL* on) override {
    *on = Field(0) != "none" ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SharingConnectionType(SHARINGCONNECTIONTYPE* type) override {
    *type = Field(0) == "private" ? ICSSHARINGTYPE_PRIVATE : ICSSHARINGTYPE_PUBLIC;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DisableSharing() override { return Set("-" + guid_, "none"); }
  HRESULT STDMETHODCALLTYPE EnableSharing(SHARINGCONNECTIONTYPE type) override {
    const std::string role = type == ICSSHARINGTYPE_PRIVATE ? "private" : "public";
    return Set("+" + role + " " + guid_, role);
  }
  NOT_USED(get_InternetFirewallEnabled(VARIANT_BOOL*)) NOT_USED(DisableInternetFirewall())
  NOT_USED(EnableInternetFirewall()) NOT_USED(RemovePortMapping(INetSharingPortMapping*))
  NOT_USED(get_EnumPortMappings(SHARINGCONNECTION_ENUM_FLAGS, INetSharingPortMappingCollection**))
  NOT_USED(AddPortMapping(BSTR, UCHAR, USHORT, USHORT, DWORD, BSTR, ICS_TARGETTYPE, INetSharingPortMapping**))

 private:
  void* Dispatch() override { return static_cast<INetConnectionProps*>(this); }
  static HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = ::SysAllocString(text.c_str());
    return S_OK;
  }
  std::string Field(int index) {
    const std::string value = State()[guid_];
    const size_t comma = value.find(',');
    return index == 0 ? value.substr(0, comma) : value.substr(comma + 1);
  }
  HRESULT Set(const std::string& call, const std::string& role) {
    const HRESULT result = Call(call);
    if (FAILED(result)) return result;
    e2e::Settings state = State();
    state[guid_] = role + "," + Field(1);
    e2e::WriteSettings(File(L"ics_state.txt"), state);
    return S_OK;
  }
  std::string guid_;
};

// The manager, its collection of every connection, that collection's enumerator and the class factory, in one.
class Manager
    : public Object<INetSharingManager, INetSharingEveryConnectionCollection, IEnumVARIANT, IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE get_SharingInstalled(VARIANT_BOOL* installed) override {
    *installed = VARIANT_TRUE;
    return S_OK;
  }
  NOT_USED(get_EnumPublicConnections(SHARINGCONNECTION_ENUM_FLAGS, INetSharingPublicConnectionCollection**))
  NOT_USED(get_EnumPrivateConnections(SHARINGCONNECTION_ENUM_FLAGS, INetSharingPrivateConnectionCollection**))
  HRESULT STDMETHODCALLTYPE get_INetSharingConfigurationForINetConnection(INetConnection* connection,
                                                                          INetSharingConfiguration** out) override {
    return static_cast<Connection*>(connection)->Configuration(out);
  }
  HRESULT STDMETHODCALLTYPE get_EnumEveryConnection(INetSharingEveryConnectionCollection** out) override {
    return QueryInterface(IID_INetSharingEveryConnectionCollection, reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE get_NetConnectionProps(INetConnection* connection, INetConnectionProps** out) override {
    return connection->QueryInterface(IID_INetConnectionProps, reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override {
    guids_.clear();
    for (const auto& [name, value] : State()) {
      if (name.rfind("{", 0) == 0) guids_.push_back(name);
    }
    next_ = 0;
    return QueryInterface(IID_IUnknown, reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    *count = static_cast<LONG>(guids_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* items, ULONG* fetched) override {
    ULONG given = 0;
    for (; given < wanted && next_ < guids_.size(); ++given) {
      items[given].vt = VT_UNKNOWN;
      items[given].punkVal = static_cast<INetConnection*>(new Connection(guids_[next_++]));
    }
    if (fetched != nullptr) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  NOT_USED(Skip(ULONG)) NOT_USED(Reset()) NOT_USED(Clone(IEnumVARIANT**))
  // IClassFactory: each instance is a manager of its own.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Manager* manager = new Manager;
    const HRESULT result = manager->QueryInterface(iid, out);
    manager->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  void* Dispatch() override { return static_cast<INetSharingManager*>(this); }
  std::vector<std::string> guids_;
  size_t next_ = 0;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (clsid != CLSID_NetSharingManager) return CLASS_E_CLASSNOTAVAILABLE;
  Manager* factory = new Manager;
  const HRESULT result = factory->QueryInterface(iid, out);
  factory->Release();
  return result;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
