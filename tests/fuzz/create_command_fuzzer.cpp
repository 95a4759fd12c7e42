// libFuzzer target: for any SSID and key, the program refuses them or builds a create line from which
// netsh, by the oracle's rules, receives exactly them.
//
// The input is the SSID, a zero byte, then the key. Bytes 0x01 to 0x7F stand for themselves; 0x80 to 0xEF
// pick from characters that matter to the interpreter, the argument rules or the code page; 0xF0 to 0xFF
// take the next two bytes as one UTF-16 code unit, so lone surrogates and any BMP character can occur.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "oracle/command_line_oracle.h"

namespace {

constexpr wchar_t kChosen[] = {
    L'热', L'点', L'网', L'，', L'。', L'＂', L'＆', L'％', L'＼', L'（', L'）', L'＾', L'｜', L'＜', L'＞',
    L'＝', L'！', L'　', 0x00A0, 0x0085, 0x2028, 0xFEFF, 0xFFFD, 0x00E9, 0x0E01, 0xAC00, 0xD800, 0xDC00,
    0x0410, 0x00FF, 0x2044, 0x02C6};

std::wstring Decode(const std::uint8_t*& data, const std::uint8_t* end) {
  std::wstring value;
  while (data < end && *data != 0) {
    const std::uint8_t b = *data++;
    if (b < 0x80) {
      value += static_cast<wchar_t>(b);
    } else if (b < 0xF0) {
      value += kChosen[(b - 0x80) % (sizeof(kChosen) / sizeof(kChosen[0]))];
    } else if (end - data >= 2) {
      value += static_cast<wchar_t>(data[0] | (data[1] << 8));
      data += 2;
    }
  }
  if (data < end) ++data;  // the separator
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::uint8_t* at = data;
  const std::uint8_t* end = data + size;
  const std::wstring ssid = Decode(at, end);
  const std::wstring key = Decode(at, end);
  if (const auto mismatch = lumvora::oracle::CreateLineMismatch(ssid, key)) {
    std::fprintf(stderr, "SSID [%s] key [%s]\n%s\n", lumvora::oracle::Printable(ssid).c_str(),
                 lumvora::oracle::Printable(key).c_str(), lumvora::oracle::Printable(*mismatch).c_str());
    std::abort();
  }
  return 0;
}
