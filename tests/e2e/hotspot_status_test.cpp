// The status window (热点状态) on the real exe: its lines, devices and join code for what the wireless
// stand-in (fake_wlanapi.cpp) and the Mobile Hotspot's stand-in (fake_tethering.cpp) report, a refresh, and
// that the window answers at once, opens once and closes with Esc. The join code is
// read back by zbarimg in the test status_qr (tests/check_status_qr.sh), from the screenshots saved here.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "e2e/harness.h"
#include "resources/resource.h"
#include "ui/window_class_names.h"

namespace e2e {
namespace {

using Row = std::array<std::wstring, 3>;

// An entry of this machine's own neighbour table (Wine reads the host's): its adapter, MAC and address.
struct Neighbour {
  std::string adapter, mac;
  std::wstring ip;
};

std::optional<Neighbour> HostNeighbour() {
  MIB_IPNET_TABLE2* table = nullptr;
  if (::GetIpNetTable2(AF_INET, &table) != NO_ERROR) return std::nullopt;
  std::optional<Neighbour> found;
  for (ULONG i = 0; i < table->NumEntries && !found; ++i) {
    const MIB_IPNET_ROW2& row = table->Table[i];
    GUID guid{};
    if (row.PhysicalAddressLength != 6 || row.State < NlnsProbe || ::ConvertInterfaceLuidToGuid(&row.InterfaceLuid, &guid)) continue;
    wchar_t adapter[40] = {}, mac[18] = {}, ip[16] = {};
    ::StringFromGUID2(guid, adapter, 40);
    const BYTE *m = row.PhysicalAddress, *a = reinterpret_cast<const BYTE*>(&row.Address.Ipv4.sin_addr);
    std::swprintf(mac, 18, L"%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
    std::swprintf(ip, 16, L"%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
    found = Neighbour{Utf8(adapter), Utf8(mac), ip};
  }
  ::FreeMibTable(table);
  return found;
}

DWORD_PTR Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
  return result;
}

// The list view's rows, read through memory of the program's own: a list view's messages carry pointers.
std::vector<Row> ListRows(HWND list) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(list, &pid);
  const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  auto* remote = static_cast<LVITEMW*>(::VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  std::vector<Row> rows(Send(list, LVM_GETITEMCOUNT, 0, 0));
  for (size_t i = 0; i < rows.size() * 3; ++i) {
    LVITEMW item{};
    item.iSubItem = static_cast<int>(i % 3);
    item.pszText = reinterpret_cast<wchar_t*>(remote + 1);
    item.cchTextMax = 256;
    wchar_t text[256] = {};
    ::WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
    Send(list, LVM_GETITEMTEXTW, i / 3, reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(process, remote + 1, text, sizeof(text), nullptr);
    rows[i / 3][i % 3] = text;
  }
  ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
  return rows;
}

// Dark modules on white, a quiet zone of four modules all round, and at least 4 pixels a module at 96 DPI.
void ExpectCodeDrawn(HWND code) {
  RECT rect{};
  ::GetWindowRect(code, &rect);
  const int side = rect.right - rect.left, module = Scaled(4);
  EXPECT_EQ(side, rect.bottom - rect.top);
  EXPECT_EQ(side % module + (side / module - 8 - 17) % 4, 0) << "4 v + 17 modules and the zone, of Scaled(4) pixels";
  const std::vector<COLORREF> pixels = ScreenPixels(rect);
  size_t dark = 0, notWhiteInZone = 0;
  for (size_t i = 0; i < pixels.size(); ++i) {
    const int x = static_cast<int>(i) % side, y = static_cast<int>(i) / side;
    dark += pixels[i] == 0;
    notWhiteInZone += pixels[i] != 0xFFFFFF && std::min({x, y, side - 1 - x, side - 1 - y}) < 4 * module;
  }
  EXPECT_EQ(notWhiteInZone, 0u);
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFFFFFF) + dark, pixels.size()) << "black and white only";
  EXPECT_GT(dark, pixels.size() / 5);
}

class StatusWindow : public ::testing::Test {
 protected:
  // Starts the program on the stand-ins' answers and opens the status window by a click on 热点状态 or F2.
  HWND Open(const std::string& wlan, const std::string& tethering, bool byKey) {
    app.reset();
    mobile.reset();
    if (!tethering.empty()) mobile = std::make_unique<TetheringStandIn>();
    SetWlanState(dir, wlan);
    SetTetheringState(dir, tethering);
    app = std::make_unique<App>(dir.Exe());
    main = app->WaitForMainWindow();
    if (main == nullptr || !Activate(main)) return nullptr;
    byKey ? PressKey(VK_F2) : ClickAt(CentreOf(::GetDlgItem(main, IDC_STATUS_LINK)), Button::Left);
    std::vector<HWND> status;
    WaitUntil([&] { return !(status = StatusWindows()).empty(); }, 5s);
    return status.empty() ? nullptr : status.front();
  }
  std::vector<HWND> StatusWindows() const {
    std::vector<HWND> windows = TopLevelWindows(app->Pid());
    std::erase_if(windows, [](HWND w) { return ClassOf(w) != lumvora::kHotspotStatusClassName || !::IsWindowVisible(w); });
    return windows;
  }
  std::wstring Line(HWND status, int id) const { return ReadText(::GetDlgItem(status, id)); }

  AppDir dir;
  const WlanApiStandIn api{WlanApiStandIn::Kind::Fake};
  std::unique_ptr<TetheringStandIn> mobile;
  std::unique_ptr<App> app;
  HWND main = nullptr;
};

TEST_F(StatusWindow, ShowsTheStateNameKeySharingCodeAndDevicesAsWindowsHoldsThem) {
  const std::optional<Neighbour> neighbour = HostNeighbour();
  if (!neighbour) std::printf("this machine's neighbour table has no entry: the IP column is not checked\n");
  // A device from the neighbour table of the adapter named as the hosted network's, where there is one.
  const std::string adapter = neighbour ? neighbour->adapter : "{5A7E0000-0000-4000-8000-000000000002}";
  const std::string first = neighbour ? neighbour->mac : "AA-BB-CC-DD-EE-03";
  const std::wstring unknown = L"（未知）";
  const Row firstRow{unknown, neighbour ? neighbour->ip : L"", Utf16(first)};
  const Row second{unknown, L"", L"AA-BB-CC-DD-EE-01"}, added{unknown, L"", L"AA-BB-CC-DD-EE-02"};
  // 热点;A:b in UTF-8, or 热点 in code page 936: not UTF-8, so read as the ANSI code page, and given no code.
  const std::string on = "allowed=1\nstate=active\nipdevice=" + adapter + "\nssid=E783ADE782B93B413A62\n";
  const std::string onGbk = "allowed=1\nstate=active\nssid=C8C8B5E3\n", key = "key=pa:ss;w,rd\"\\x\n";
  const std::wstring notShared = L"没有共享互联网连接";  // Wine has no sharing manager
  const struct {
    std::string wlan, tethering;
    std::vector<std::wstring> lines;  // state, name, key, shared
    std::vector<Row> rows;
    std::string code;  // the join code's text, UTF-8; empty: none is shown
  } cases[] = {
      {"capable=0\nstate=unavailable\n",
       "state=on\nprofile=以太网 2\nclients=aabbcc0deef0|iPhone|192.168.137.5;00:11:22:33:44:55||192.168.137.9\n",
       {L"热点已开启（Windows 的“移动热点”）", L"热点名称：DESKTOP-1", L"密钥：00000000", L"共享的互联网连接：以太网 2"},
       {{L"iPhone", L"192.168.137.5", L"AA-BB-CC-0D-EE-F0"}, {unknown, L"192.168.137.9", L"00-11-22-33-44-55"}},
       "WIFI:T:WPA;S:DESKTOP-1;P:00000000;;"},
      {onGbk + "key=12345678\n", "", {L"热点已开启（承载网络）", L"热点名称：热点", L"密钥：12345678", notShared}, {}, ""},
      {"allowed=1\nstate=idle\nssid=4C756D766F\nkey=12345678\npeers=AA-BB-CC-DD-EE-01\n", "",
       {L"热点没有开启", L"热点名称：Lumvo", L"密钥：12345678", notShared}, {}, ""},
      // Last: its window stays open for the refresh below.
      {on + key + "peers=" + first + ",AA-BB-CC-DD-EE-01\njoining=AA-BB-CC-DD-EE-09\n", "",
       {L"热点已开启（承载网络）", L"热点名称：热点;A:b", L"密钥：pa:ss;w,rd\"\\x", notShared}, {firstRow, second},
       "WIFI:T:WPA;S:\xE7\x83\xAD\xE7\x82\xB9\\;A\\:b;P:pa\\:ss\\;w\\,rd\\\"\\\\x;;"},
  };
  HWND status = nullptr;
  for (const auto& c : cases) {
    const std::wstring name = L"status_qr_" + std::to_wstring(&c - cases) + L"_" + std::to_wstring(Dpi());
    SCOPED_TRACE(Utf8(name));
    status = Open(c.wlan, c.tethering, (&c - cases) % 2 == 1);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(ReadText(status), L"热点状态");
    ASSERT_TRUE(WaitUntil([&] { return Line(status, IDC_STATUS_STATE) != L"正在读取热点的状态……"; }, 15s));
    EXPECT_EQ(std::vector<std::wstring>({Line(status, IDC_STATUS_STATE), Line(status, IDC_STATUS_NAME),
                                         Line(status, IDC_STATUS_KEY), Line(status, IDC_STATUS_SHARED)}), c.lines);
    EXPECT_EQ(Line(status, IDC_STATUS_DEVICES_LABEL), L"已连接的设备（" + std::to_wstring(c.rows.size()) + L"）");
    EXPECT_EQ(ListRows(::GetDlgItem(status, IDC_STATUS_DEVICES)), c.rows);
    const HWND code = ::GetDlgItem(status, IDC_STATUS_CODE);
    EXPECT_EQ(::IsWindowVisible(code) && ::IsWindowVisible(::GetDlgItem(status, IDC_STATUS_CODE_HINT)), !c.code.empty());
    ::Sleep(300);  // painted
    if (c.code.empty()) continue;
    EXPECT_EQ(Line(status, IDC_STATUS_CODE_HINT), L"用手机相机或微信扫一扫，就能连上这个热点。");
    ExpectCodeDrawn(code);
    // For status_qr: the window as a phone's camera would see it, and the text the code must hold.
    SaveScreenshot(status, name);
    wchar_t shots[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"LUMVORA_SCREENSHOTS", shots, MAX_PATH) == 0) continue;
    WriteFileBytes((shots[0] == L'/' ? L"Z:" : L"") + std::wstring(shots) + L"\\" + name + L".txt", c.code);
  }
  SaveScreenshot(status, L"status_window");
  // Its first device selected; after a refresh that removes one device and adds another, it is still.
  const HWND list = ::GetDlgItem(status, IDC_STATUS_DEVICES);
  ASSERT_TRUE(Activate(status));
  PressKey(VK_HOME);
  ASSERT_EQ(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0u);
  SetWlanState(dir, on + key + "peers=AA-BB-CC-DD-EE-02," + first + "\n");
  EXPECT_TRUE(WaitUntil([&] { return ListRows(list) == std::vector<Row>{added, firstRow}; }, 10s));
  EXPECT_EQ(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1u) << "the same device, moved";
}

// Each reading takes 1.5 s (a slow WLAN service): both windows answer meanwhile, within 200 ms every time.
// The list view's comctl32 comes from the system directory.
TEST_F(StatusWindow, AnswersAtOnceOpensOnceAndClosesWithEsc) {
  // A comctl32.dll planted beside the exe must not be the list view's.
  ::CopyFileW(BuiltFile(PLANTED_COMCTL32_DLL).c_str(), dir.File(L"comctl32.dll").c_str(), FALSE);
  const HWND status = Open("allowed=1\nstate=active\nssid=4C756D766F\nkey=Secret-Key-42\ndelay=1500\n", "", false);
  ASSERT_NE(status, nullptr);
  double slowest = 0;
  for (const auto until = std::chrono::steady_clock::now() + 7s; std::chrono::steady_clock::now() < until; ::Sleep(20)) {
    for (HWND window : {main, status}) {
      const auto sent = std::chrono::steady_clock::now();
      ASSERT_TRUE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr));
      slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count());
    }
  }
  EXPECT_LT(slowest, 200.0);
  EXPECT_EQ(Line(status, IDC_STATUS_STATE), L"热点已开启（承载网络）") << "read meanwhile";
  // A second click and the key bring the one window forward.
  ClickAt(CentreOf(::GetDlgItem(main, IDC_STATUS_LINK)), Button::Left);
  ASSERT_TRUE(Activate(main));
  PressKey(VK_F2);
  EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == status; }, 3s));
  EXPECT_EQ(StatusWindows(), std::vector<HWND>{status});
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return StatusWindows().empty(); }, 3s));
  EXPECT_TRUE(app->Running());
  EXPECT_FALSE(FileExists(dir.File(L"planted_loaded.txt")));
}

}  // namespace
}  // namespace e2e
