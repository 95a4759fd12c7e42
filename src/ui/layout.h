// The main window's controls: their kinds, initial texts and pixel rectangles in the client area at
// 96 DPI (designed in twips, 15 to a pixel there; at another DPI each measure is scaled).
#pragma once

#include <array>

#include "resources/resource.h"

namespace lumvora {

inline constexpr int kMainWindowClientWidth = 343;
inline constexpr int kMainWindowClientHeight = 191;

enum class ControlKind { Label, Edit, PasswordEdit, Button };
enum class ControlFont { Default, Large };

// How a label's rectangle follows its text.
enum class Sizing {
  Fixed,
  // Sized to its text, keeping its right edge and top: the field captions end at the same right edge
  // whatever the width of the font. With 9 point 宋体 the text measures exactly the designed size.
  ToTextRightAligned,
};

struct ControlSpec {
  int id;
  ControlKind kind;
  const wchar_t* text;
  int left, top, width, height;
  ControlFont font;
  Sizing sizing = Sizing::Fixed;
};

// In window order, which is also the tab order of the controls that take the focus. Each field's caption
// comes right before its field: a screen reader names an edit after the static text just before it.
inline constexpr std::array<ControlSpec, 10> kMainControls{{
    {IDC_VERSION_LABEL, ControlKind::Label, L"程序版本：1.2.0", 8, 8, 105, 17, ControlFont::Default},
    // Left of 使用说明, as high and on the same baseline, four characters wide as it is.
    {IDC_STATUS_LINK, ControlKind::Label, L"热点状态", 232, 8, 49, 17, ControlFont::Default},
    {IDC_HELP_LINK, ControlKind::Label, L"使用说明", 288, 8, 49, 17, ControlFont::Default},
    {IDC_SSID_LABEL, ControlKind::Label, L"热点名称（SSID）", 32, 64, 96, 12, ControlFont::Default,
     Sizing::ToTextRightAligned},
    {IDC_SSID_EDIT, ControlKind::Edit, L"LumvoSoft", 144, 56, 153, 25, ControlFont::Large},
    {IDC_CREATE_HOTSPOT, ControlKind::Button, L"创建热点", 16, 152, 89, 25, ControlFont::Default},
    {IDC_KEY_LABEL, ControlKind::Label, L"密钥（KEY）", 62, 104, 66, 12, ControlFont::Default,
     Sizing::ToTextRightAligned},
    {IDC_KEY_EDIT, ControlKind::PasswordEdit, L"", 144, 96, 153, 25, ControlFont::Large},
    {IDC_START_HOTSPOT, ControlKind::Button, L"启动热点", 128, 152, 89, 25, ControlFont::Default},
    {IDC_CLOSE_HOTSPOT, ControlKind::Button, L"关闭热点", 240, 152, 89, 25, ControlFont::Default},
}};

}  // namespace lumvora
