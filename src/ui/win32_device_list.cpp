#include "ui/win32_device_list.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32_common_controls.h"
#include "ui/win32_dpi.h"

namespace lumvora::win32 {
namespace {

struct Column {
  const wchar_t* title;
  int width;  // at 96 DPI; together they leave room for a vertical scroll bar
};
constexpr Column kColumns[] = {{L"设备名称", 160}, {L"IP 地址", 125}, {L"MAC 地址", 130}};

}  // namespace

bool DeviceList::Create(HWND parent, int id, HINSTANCE instance) {
  if (!InitCommonControlClasses(ICC_LISTVIEW_CLASSES)) return false;
  // The classic look (no visual styles); one device selected at a time, shown while the list has no focus.
  list_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                LVS_NOSORTHEADER,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (list_ == nullptr) return false;
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.cx = kColumns[i].width;
    column.iSubItem = i;
    ListView_InsertColumn(list_, i, &column);
  }
  shown_.clear();
  return true;
}

void DeviceList::ScaleColumns(int dpi) {
  for (int i = 0; i < 3; ++i) ListView_SetColumnWidth(list_, i, Scale(kColumns[i].width, dpi));
}

void DeviceList::Insert(int index, const Row& row) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(row[0].c_str());
  ListView_InsertItem(list_, &item);
  for (int column = 1; column < 3; ++column) {
    ListView_SetItemText(list_, index, column, const_cast<wchar_t*>(row[column].c_str()));
  }
}

void DeviceList::SetTexts(int index, const Row& row) {
  for (int column = 0; column < 3; ++column) {
    ListView_SetItemText(list_, index, column, const_cast<wchar_t*>(row[column].c_str()));
  }
}

void DeviceList::Show(const std::vector<Row>& rows) {
  if (list_ == nullptr) return;
  auto sameDevice = [](const Row& a, const Row& b) { return a[2] == b[2]; };
  // Those that left go first; the items of those that stay keep their state.
  for (int i = static_cast<int>(shown_.size()) - 1; i >= 0; --i) {
    const Row& item = shown_[static_cast<std::size_t>(i)];
    if (std::none_of(rows.begin(), rows.end(), [&](const Row& row) { return sameDevice(row, item); })) {
      ListView_DeleteItem(list_, i);
      shown_.erase(shown_.begin() + i);
    }
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int index = static_cast<int>(i);
    if (i < shown_.size() && sameDevice(shown_[i], rows[i])) {
      if (shown_[i] != rows[i]) SetTexts(index, rows[i]);
      shown_[i] = rows[i];
      continue;
    }
    Insert(index, rows[i]);
    shown_.insert(shown_.begin() + index, rows[i]);
  }
  // Where the order changed, the items past the rows are the older copies.
  while (shown_.size() > rows.size()) {
    ListView_DeleteItem(list_, static_cast<int>(shown_.size()) - 1);
    shown_.pop_back();
  }
}

}  // namespace lumvora::win32
