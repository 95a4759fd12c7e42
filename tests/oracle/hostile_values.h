// Values chosen to hurt a command line: the interpreter's special characters, blanks and tabs, CJK text
// and full-width punctuation, characters outside code page 936, runs of backslashes and percent signs,
// leading and trailing blanks. Seeded and reproducible on every platform (no standard distribution,
// whose results differ between libraries).
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace lumvora::oracle {

// Characters that code page 936 lacks: Thai, an emoji (a surrogate pair on Windows), Hangul.
inline constexpr const wchar_t* kOutside936[] = {L"\u0E01", L"\U0001F600", L"\uAC00"};

class HostileValues {
 public:
  explicit HostileValues(std::uint32_t seed) : rng_(seed) {}

  std::wstring Next() {
    static const std::wstring plain = L"aZk09";
    static const std::wstring special = L"&|<>^(),;=!%\"\\'`@~*";
    static const std::wstring cjk = L"热点网络中文";
    static const std::wstring fullWidth = L"，。！（）＂＆％＼：　";
    std::wstring value;
    if (Below(6) == 0) value.append(1 + Below(2), L' ');
    const unsigned pieces = Below(10);
    for (unsigned i = 0; i < pieces; ++i) {
      switch (Below(20)) {
        case 0: case 1: case 2: case 3: value += Pick(plain); break;
        case 4: case 5: value += L' '; break;
        case 6: if (Below(4) == 0) value += L'\t'; break;
        case 7: case 8: case 9: case 10: case 11: value += Pick(special); break;
        case 12: value += Pick(cjk); break;
        case 13: value += Pick(fullWidth); break;
        case 14: if (Below(3) == 0) value += kOutside936[Below(3)]; break;
        case 15: case 16: value.append(1 + Below(4), L'\\'); break;
        default: value.append(1 + Below(4), L'%'); break;
      }
    }
    if (Below(4) == 0) value.append(1 + Below(4), L'\\');
    if (Below(6) == 0) value.append(1 + Below(2), L' ');
    return value;
  }

 private:
  unsigned Below(unsigned n) { return static_cast<unsigned>(rng_() % n); }
  wchar_t Pick(const std::wstring& from) { return from[Below(static_cast<unsigned>(from.size()))]; }

  std::mt19937 rng_;
};

}  // namespace lumvora::oracle
