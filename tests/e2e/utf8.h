// UTF-8 and UTF-16 both ways, for the test programs: the build passes paths and the fake netsh records
// values in UTF-8, while Windows takes UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace e2e {

inline std::wstring Utf16(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int length = static_cast<int>(utf8.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), n);
  return out;
}

inline std::string Utf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace e2e
