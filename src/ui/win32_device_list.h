// The status window's list of connected devices: a report-style list view with the columns 设备名称,
// IP 地址 and MAC 地址, each device one row. A refresh updates it in place, so that the selection and the
// scroll position stay where the user left them.
#pragma once

#include "platform/win32/windows_api.h"

#include <array>
#include <string>
#include <vector>

namespace lumvora::win32 {

class DeviceList {
 public:
  using Row = std::array<std::wstring, 3>;  // name, IP address, MAC address

  // Makes the list view as the parent's child with that id; false where it cannot be made.
  bool Create(HWND parent, int id, HINSTANCE instance);
  HWND Handle() const { return list_; }
  // The columns' widths, designed at 96 DPI, for the DPI.
  void ScaleColumns(int dpi);
  // Shows the rows: a device that stays is the same item as before (known by its MAC), with only its
  // texts changed; one that left is removed; one that came is inserted where it belongs.
  void Show(const std::vector<Row>& rows);

 private:
  void Insert(int index, const Row& row);
  void SetTexts(int index, const Row& row);

  HWND list_ = nullptr;
  std::vector<Row> shown_;
};

}  // namespace lumvora::win32
