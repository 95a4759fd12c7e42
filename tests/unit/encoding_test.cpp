// The create command's encoding judged by an independent oracle: what the interpreter and netsh's
// argument split make of the line must be exactly the typed SSID and key, or the values are refused.
#include <gtest/gtest.h>

#include "hotspot/hotspot_operations.h"
#include "oracle/command_line_oracle.h"
#include "oracle/hostile_values.h"

namespace lumvora::oracle {
namespace {

using Args = std::vector<std::wstring>;

// The oracle itself, on lines whose reading the documented rules settle.
TEST(Oracle, ReadsLinesByTheInterpreterAndArgumentRules) {
  const struct {
    std::wstring line;
    Args argv;
    bool problem;
  } cases[] = {
      {L"netsh a \"b c\" d", {L"netsh", L"a", L"b c", L"d"}, false},
      {L"netsh 100%% x^&y \"p^q\"", {L"netsh", L"100%", L"x&y", L"p^q"}, false},
      {L"netsh a\\b a\\\\\"b c\" a\\\\\\\"b", {L"netsh", L"a\\b", L"a\\b c", L"a\\\"b"}, false},
      {L"netsh =\"my net\\\" Key=1", {L"netsh", L"=my net\" Key=1"}, false},
      {L"netsh \"\" x\"\"y", {L"netsh", L"", L"xy"}, false},
      {L"netsh a %PATH%", {}, true},
      {L"netsh a&echo b", {}, true},
      {L"netsh a>b", {}, true},
      {L"netsh a^", {}, true},
      {L"netsh a\tb", {}, true},
      {L"netsh \"a\"\"b\"", {}, true},
  };
  for (const auto& c : cases) {
    const DecodedLine decoded = DecodeBatchLine(c.line);
    EXPECT_EQ(!decoded.problem.empty(), c.problem) << Printable(c.line);
    if (!c.problem) {
      EXPECT_EQ(decoded.argv, c.argv) << Printable(c.line);
    }
  }
  const Args create = {L"netsh", L"wlan", L"set", L"hostednetwork", L"mode=allow", L"ssid", L"=a b", L"Key=k"};
  EXPECT_EQ(ReadCreateValues(create), (CreateValues{L"a b", L"k"}));
  Args extra = create;
  extra.push_back(L"Key=other");
  EXPECT_EQ(ReadCreateValues(extra), std::nullopt);
  // The line that a trailing backslash once gave: the closing quote is swallowed, and the key with it.
  const DecodedLine broken =
      DecodeBatchLine(L"netsh wlan set hostednetwork mode=allow ssid =\"my net\\\" Key=12345678");
  EXPECT_EQ(ReadCreateValues(broken.argv), std::nullopt);
}

// Values that once reached netsh altered, or that the fuzz target and the run against the real
// interpreter turned up.
TEST(CreateEncoding, FoundValuesReachNetshIntact) {
  const std::wstring found[] = {L"my net\\", L" \\", L"(^a!\\", L")\\", L"a b\\\\", L"\\ \\", L"x&\\", L"%\\ ", L"\\"};
  for (const std::wstring& value : found) {
    EXPECT_EQ(CreateLineMismatch(value, L"12345678"), std::nullopt) << Printable(value);
    EXPECT_EQ(CreateLineMismatch(L"LumvoSoft", value), std::nullopt) << Printable(value);
  }
}

TEST(CreateEncoding, GeneratedValuesReachNetshIntactOrAreRefused) {
  HostileValues values(20240609);
  int passed = 0;
  for (int i = 0; i < 10000; ++i) {
    const std::wstring ssid = values.Next();
    const std::wstring key = values.Next();
    const std::optional<std::wstring> mismatch = CreateLineMismatch(ssid, key);
    ASSERT_EQ(mismatch, std::nullopt) << "SSID [" << Printable(ssid) << "] key [" << Printable(key) << "]: "
                                      << Printable(*mismatch);
    if (!ssid.empty() && !HasQuoteOrControl(ssid) && !HasQuoteOrControl(key)) ++passed;
  }
  // Most values must go through, or the property says little.
  EXPECT_GT(passed, 5000);
}

}  // namespace
}  // namespace lumvora::oracle
