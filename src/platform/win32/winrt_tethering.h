// The few interfaces of the Windows runtime that the Mobile Hotspot and the status window need, which
// Debian's MinGW does not declare: IIDs and method order as Windows' metadata gives them
// (Windows.Networking, Windows.Networking.Connectivity, Windows.Networking.NetworkOperators,
// Windows.Foundation). Each method is __stdcall on 32-bit
// (STDMETHODCALLTYPE); only the methods up to the last one used are declared, in their places.
#pragma once

#include "platform/win32/com.h"

namespace lumvora::win32::winrt {

using win32::ICompletedHandler;

inline constexpr wchar_t kNetworkInformationClass[] = L"Windows.Networking.Connectivity.NetworkInformation";
inline constexpr wchar_t kTetheringManagerClass[] = L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager";
inline constexpr wchar_t kAccessPointConfigurationClass[] =
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringAccessPointConfiguration";

// INetworkOperatorTetheringManagerStatics3, added in Windows 10 1607: the version from which desktop programs
// may use the Mobile Hotspot. Only asked for; its one method is not called.
inline constexpr GUID kIidTetheringManagerStatics3{
    0x8fdaadb6, 0x4af9, 0x4f21, {0x9b, 0x58, 0xd5, 0x3e, 0x9f, 0x24, 0x23, 0x1e}};
inline constexpr GUID kIidAsyncActionCompletedHandler{
    0xa4ed5c81, 0x76c9, 0x40bd, {0x8b, 0xe6, 0xb1, 0xd9, 0x0f, 0xb2, 0x0a, 0xe7}};
// Parameterized: SHA-1 over the WinRT namespace GUID and the signature (tests/check_winrt_iids.py computes them
// and checks these).
// IAsyncOperation<NetworkOperatorTetheringOperationResult>:
//   pinterface({9fc2b0bb-e446-44e2-aa61-9cab8f636af2};rc(Windows.Networking.NetworkOperators.
//   NetworkOperatorTetheringOperationResult;{ebd203a1-01ba-476d-b4b3-bf3d12c8f80c}))
inline constexpr GUID kIidAsyncTetheringOperation{
    0x601b30ed, 0x9b7f, 0x54b6, {0xb6, 0x1b, 0x24, 0xa0, 0x9b, 0xc5, 0x63, 0x04}};
// AsyncOperationCompletedHandler<NetworkOperatorTetheringOperationResult>: the same with
// pinterface({fcdcf02c-e5d8-4478-915a-4d90b74b83a5};…).
inline constexpr GUID kIidAsyncTetheringOperationCompletedHandler{
    0xa936b927, 0x7537, 0x59c6, {0x89, 0xde, 0x33, 0xf3, 0x6a, 0x97, 0x25, 0xab}};

// IVectorView<ConnectionProfile>:
//   pinterface({bbe1fa4c-b0e3-4583-baef-1f1b2e483e56};rc(Windows.Networking.Connectivity.ConnectionProfile;
//   {71ba143c-598e-49d0-84eb-8febaedcc195}))
inline constexpr GUID kIidConnectionProfileVectorView{
    0x6db1b492, 0x3852, 0x5df8, {0xa2, 0x9d, 0x69, 0x44, 0x00, 0x2f, 0x58, 0xd4}};

// Windows.Foundation.Collections.IVectorView<T>, up to its size; Item the element's default interface.
template <typename Item>
struct VectorView : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, Item** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
};

// Windows.Networking.Connectivity.IConnectionProfile
inline constexpr GUID kIidConnectionProfile{0x71ba143c, 0x598e, 0x49d0, {0x84, 0xeb, 0x8f, 0xeb, 0xae, 0xdc, 0xc1, 0x95}};
struct IConnectionProfile : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_ProfileName(HSTRING* value) = 0;
};
using IConnectionProfileVectorView = VectorView<IConnectionProfile>;

// Windows.Networking.IHostName {bf8ecaad-ed96-49a7-9084-d416cae88dcb}
struct IHostName : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IPInformation(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RawName(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanonicalName(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Type(INT32* value) = 0;  // HostNameType: DomainName, Ipv4, Ipv6, Bluetooth
};
// IVectorView<HostName>:
//   pinterface({bbe1fa4c-b0e3-4583-baef-1f1b2e483e56};rc(Windows.Networking.HostName;
//   {bf8ecaad-ed96-49a7-9084-d416cae88dcb}))
inline constexpr GUID kIidHostNameVectorView{
    0xf4706ab1, 0x55a3, 0x5270, {0xaf, 0xb2, 0x73, 0x29, 0x88, 0xfe, 0x82, 0x27}};

// Windows.Networking.NetworkOperators.INetworkOperatorTetheringClient {709d254c-595f-4847-bb30-646935542918}
struct ITetheringClient : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MacAddress(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HostNames(VectorView<IHostName>** value) = 0;
};
// IVectorView<NetworkOperatorTetheringClient>:
//   pinterface({bbe1fa4c-b0e3-4583-baef-1f1b2e483e56};rc(Windows.Networking.NetworkOperators.
//   NetworkOperatorTetheringClient;{709d254c-595f-4847-bb30-646935542918}))
inline constexpr GUID kIidTetheringClientVectorView{
    0xe21d6797, 0x4ef6, 0x553f, {0xb7, 0xf9, 0x5e, 0xd7, 0x4b, 0xce, 0xbd, 0x7e}};

// The connected clients, which the manager's class serves through this interface as well: the manager is
// asked for it. Windows.Networking.NetworkOperators.INetworkOperatorTetheringClientManager:
inline constexpr GUID kIidTetheringClientManager{
    0x91b14016, 0x8dca, 0x4225, {0xbb, 0xed, 0xee, 0xf8, 0xb8, 0xd7, 0x18, 0xd7}};
struct ITetheringClientManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetTetheringClients(VectorView<ITetheringClient>** value) = 0;
};

// Windows.Networking.Connectivity.INetworkInformationStatics
inline constexpr GUID kIidNetworkInformationStatics{
    0x5074f851, 0x950d, 0x4165, {0x9c, 0x15, 0x36, 0x56, 0x19, 0x48, 0x1e, 0xea}};
struct INetworkInformationStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetConnectionProfiles(IConnectionProfileVectorView** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(IConnectionProfile** value) = 0;
};

// Windows.Networking.NetworkOperators.INetworkOperatorTetheringAccessPointConfiguration
inline constexpr GUID kIidAccessPointConfiguration{
    0x0bcc0284, 0x412e, 0x403d, {0xac, 0xc6, 0xb7, 0x57, 0xe3, 0x47, 0x74, 0xa4}};
struct ITetheringAccessPointConfiguration : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Ssid(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Ssid(HSTRING value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Passphrase(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Passphrase(HSTRING value) = 0;
};

// Windows.Networking.NetworkOperators.INetworkOperatorTetheringOperationResult
inline constexpr GUID kIidTetheringOperationResult{
    0xebd203a1, 0x01ba, 0x476d, {0xb4, 0xb3, 0xbf, 0x3d, 0x12, 0xc8, 0xf8, 0x0c}};
struct ITetheringOperationResult : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Status(INT32* value) = 0;  // TetheringOperationStatus
  virtual HRESULT STDMETHODCALLTYPE get_AdditionalErrorMessage(HSTRING* value) = 0;
};

// Windows.Foundation.IAsyncAction
inline constexpr GUID kIidAsyncAction{0x5a648006, 0x843a, 0x4da9, {0x86, 0x5b, 0x9d, 0x26, 0xe5, 0xdf, 0xad, 0x7b}};
struct IAsyncAction : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(ICompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(ICompletedHandler** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults() = 0;
};

// Windows.Foundation.IAsyncOperation<NetworkOperatorTetheringOperationResult>
struct IAsyncTetheringOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(ICompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(ICompletedHandler** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(ITetheringOperationResult** results) = 0;
};

// Windows.Networking.NetworkOperators.INetworkOperatorTetheringManager
inline constexpr GUID kIidTetheringManager{0xd45a8da0, 0x0e86, 0x4d98, {0x8b, 0xa4, 0xdd, 0x70, 0xd4, 0xb7, 0x64, 0xd3}};
struct ITetheringManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MaxClientCount(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ClientCount(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TetheringOperationalState(INT32* value) = 0;  // TetheringOperationalState
  virtual HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(ITetheringAccessPointConfiguration** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(ITetheringAccessPointConfiguration* configuration,
                                                              IAsyncAction** action) = 0;
  virtual HRESULT STDMETHODCALLTYPE StartTetheringAsync(IAsyncTetheringOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE StopTetheringAsync(IAsyncTetheringOperation** operation) = 0;
};

// Windows.Networking.NetworkOperators.INetworkOperatorTetheringManagerStatics2
inline constexpr GUID kIidTetheringManagerStatics2{
    0x5b235412, 0x35f0, 0x49e7, {0x9b, 0x08, 0x16, 0xd2, 0x78, 0xfb, 0xaa, 0x42}};
struct ITetheringManagerStatics2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetTetheringCapabilityFromConnectionProfile(IConnectionProfile* profile,
                                                                                INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(IConnectionProfile* profile,
                                                                ITetheringManager** manager) = 0;
};

}  // namespace lumvora::win32::winrt
