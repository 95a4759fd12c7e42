// The QR code that lets a phone join the hotspot: the standard WIFI: text and its modules.
#pragma once

#include <string>
#include <vector>

namespace lumvora {

// UTF-8 of a wide string, whether wchar_t holds UTF-16 (Windows) or UTF-32; a lone surrogate becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);

// WIFI:T:WPA;S:<ssid>;P:<key>;; in UTF-8, with \ ; , : " escaped by a backslash; without a key, T:nopass.
std::string WifiJoinText(const std::wstring& ssid, const std::wstring& key);

enum class QrEcc { Low, Medium, Quartile, High };

struct QrCodeModules {
  int size = 0;  // modules on a side; 0 when the text fits no QR code
  std::vector<bool> dark;  // row by row
  QrEcc ecc = QrEcc::Low;
  // Outside the code (the quiet zone) every module is light.
  bool Dark(int x, int y) const;
};

// The smallest QR code that holds the text's bytes at level M or better.
QrCodeModules EncodeJoinCode(const std::string& utf8);

}  // namespace lumvora
