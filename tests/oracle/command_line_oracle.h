// What netsh receives from one line of a batch file, worked out from the documented rules alone and
// independently of the program's encoder: the interpreter's percent and caret handling and its command
// separators, then the C runtime's splitting of a command line into arguments, then netsh's reading of
// "ssid =value" and "Key=value". Portable; used by the unit tests and the fuzz target.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumvora::oracle {

struct DecodedLine {
  std::wstring commandLine;        // what the interpreter hands to the program it starts
  std::vector<std::wstring> argv;  // that command line split into arguments
  std::wstring problem;            // empty when the line is exactly one command that the rules decide
};

// The interpreter's reading of one batch line (delayed expansion off), then the argument split.
DecodedLine DecodeBatchLine(const std::wstring& line);

// CommandLineToArgvW's rules: the program name up to a blank (or between quotes, taken literally); then
// 2n backslashes before a quote give n and the quote opens or closes quoting, 2n+1 give n and a literal
// quote; other backslashes are literal. Sets the problem for a doubled quote inside quotes, where
// implementations of the rules disagree.
std::vector<std::wstring> SplitArguments(const std::wstring& commandLine, std::wstring& problem);

struct CreateValues {
  std::wstring ssid, key;
  bool operator==(const CreateValues&) const = default;
};

// The SSID and key of a create command as netsh splits tag and value: exactly the arguments
// netsh wlan set hostednetwork mode=allow ssid =SSID Key=KEY, or nothing.
std::optional<CreateValues> ReadCreateValues(const std::vector<std::wstring>& argv);

// Nothing when the program either refuses the values or builds a line from which netsh receives exactly
// them; otherwise what went wrong, for the failure message.
std::optional<std::wstring> CreateLineMismatch(const std::wstring& ssid, const std::wstring& key);

// A value written with every character outside printable ASCII as \uXXXX, for failure messages.
std::string Printable(const std::wstring& value);

}  // namespace lumvora::oracle
