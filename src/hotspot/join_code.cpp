#include "hotspot/join_code.h"

#include <qrcodegen.hpp>

#include <cstdint>

namespace lumvora {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Phones' scanners split the text at these unless they are escaped.
std::string Escaped(const std::wstring& value) {
  std::string out;
  for (const char c : ToUtf8(value)) {
    if (c == '\\' || c == ';' || c == ',' || c == ':' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A negative 32-bit wchar_t turns into a value past U+10FFFF here, and so into U+FFFD.
    char32_t c = static_cast<char32_t>(text[i]);
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string WifiJoinText(const std::wstring& ssid, const std::wstring& key) {
  if (key.empty()) return "WIFI:T:nopass;S:" + Escaped(ssid) + ";;";
  return "WIFI:T:WPA;S:" + Escaped(ssid) + ";P:" + Escaped(key) + ";;";
}

bool QrCodeModules::Dark(int x, int y) const {
  return x >= 0 && y >= 0 && x < size && y < size && dark[static_cast<std::size_t>(y) * size + x];
}

QrCodeModules EncodeJoinCode(const std::string& utf8) {
  using qrcodegen::QrCode;
  QrCodeModules result;
  try {
    const std::vector<std::uint8_t> bytes(utf8.begin(), utf8.end());
    // Level M at least; the library raises it where that takes no larger code.
    const QrCode code = QrCode::encodeSegments({qrcodegen::QrSegment::makeBytes(bytes)}, QrCode::Ecc::MEDIUM);
    result.size = code.getSize();
    result.dark.reserve(static_cast<std::size_t>(result.size) * result.size);
    for (int y = 0; y < result.size; ++y) {
      for (int x = 0; x < result.size; ++x) result.dark.push_back(code.getModule(x, y));
    }
    switch (code.getErrorCorrectionLevel()) {
      case QrCode::Ecc::LOW: result.ecc = QrEcc::Low; break;
      case QrCode::Ecc::MEDIUM: result.ecc = QrEcc::Medium; break;
      case QrCode::Ecc::QUARTILE: result.ecc = QrEcc::Quartile; break;
      case QrCode::Ecc::HIGH: result.ecc = QrEcc::High; break;
    }
  } catch (const qrcodegen::data_too_long&) {
    return {};
  }
  return result;
}

}  // namespace lumvora
