#include "oracle/command_line_oracle.h"

#include <cstdio>
#include <cwctype>

#include "hotspot/hotspot_operations.h"

namespace lumvora::oracle {

namespace {

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Phase one of a batch line: "%%" stands for "%"; any other percent sign starts an expansion whose result
// depends on the environment, so the rules cannot say what the line becomes.
std::wstring ExpandPercents(const std::wstring& line, std::wstring& problem) {
  std::wstring out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != L'%') {
      out += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == L'%') {
      out += L'%';
      ++i;
    } else {
      problem = L"a lone % is expanded";
      return out;
    }
  }
  return out;
}

// Phase two: a double quote switches quoting on and off (and stays in the text); outside quotes a caret
// makes the next character plain and disappears, and & | < > end the command or redirect it.
std::wstring ReadSpecialCharacters(const std::wstring& line, std::wstring& problem) {
  std::wstring out;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const wchar_t c = line[i];
    if (c == L'"') {
      quoted = !quoted;
      out += c;
    } else if (quoted) {
      out += c;
    } else if (c == L'^') {
      if (i + 1 == line.size()) {
        problem = L"a caret at the end continues the line";
        return out;
      }
      out += line[++i];
    } else if (c == L'&' || c == L'|' || c == L'<' || c == L'>') {
      problem = std::wstring(L"an unquoted ") + c + L" ends the command";
      return out;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::vector<std::wstring> SplitArguments(const std::wstring& commandLine, std::wstring& problem) {
  std::vector<std::wstring> argv;
  size_t i = 0;
  const size_t n = commandLine.size();
  while (i < n && Blank(commandLine[i])) ++i;
  if (i == n) return argv;
  std::wstring program;
  if (commandLine[i] == L'"') {
    for (++i; i < n && commandLine[i] != L'"'; ++i) program += commandLine[i];
    if (i < n) ++i;
  } else {
    for (; i < n && !Blank(commandLine[i]); ++i) program += commandLine[i];
  }
  argv.push_back(program);
  for (;;) {
    while (i < n && Blank(commandLine[i])) ++i;
    if (i == n) return argv;
    std::wstring arg;
    bool quoted = false;
    while (i < n && (quoted || !Blank(commandLine[i]))) {
      size_t backslashes = 0;
      while (i < n && commandLine[i] == L'\\') {
        ++backslashes;
        ++i;
      }
      if (i < n && commandLine[i] == L'"') {
        arg.append(backslashes / 2, L'\\');
        if (backslashes % 2 == 1) {
          arg += L'"';
        } else if (quoted && i + 1 < n && commandLine[i + 1] == L'"') {
          problem = L"a doubled quote inside quotes";
          return argv;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, L'\\');
        if (i < n && (quoted || !Blank(commandLine[i]))) arg += commandLine[i++];
      }
    }
    argv.push_back(arg);
  }
}

DecodedLine DecodeBatchLine(const std::wstring& line) {
  DecodedLine decoded;
  for (const wchar_t c : line) {
    if (c < 0x20) {
      decoded.problem = L"a control character";
      return decoded;
    }
  }
  const std::wstring expanded = ExpandPercents(line, decoded.problem);
  if (!decoded.problem.empty()) return decoded;
  decoded.commandLine = ReadSpecialCharacters(expanded, decoded.problem);
  if (!decoded.problem.empty()) return decoded;
  decoded.argv = SplitArguments(decoded.commandLine, decoded.problem);
  return decoded;
}

std::optional<CreateValues> ReadCreateValues(const std::vector<std::wstring>& argv) {
  static const wchar_t* const fixed[] = {L"netsh", L"wlan", L"set", L"hostednetwork", L"mode=allow", L"ssid"};
  if (argv.size() != 8) return std::nullopt;
  for (size_t i = 0; i < 6; ++i) {
    if (argv[i] != fixed[i]) return std::nullopt;
  }
  // "ssid" is the tag and "=value" its value; "Key=value" carries both (netsh ignores the tag's case).
  if (argv[6].empty() || argv[6][0] != L'=') return std::nullopt;
  const std::wstring& key = argv[7];
  if (key.size() < 4 || std::towlower(key[0]) != L'k' || std::towlower(key[1]) != L'e' ||
      std::towlower(key[2]) != L'y' || key[3] != L'=') {
    return std::nullopt;
  }
  return CreateValues{argv[6].substr(1), key.substr(4)};
}

std::optional<std::wstring> CreateLineMismatch(const std::wstring& ssid, const std::wstring& key) {
  if (ssid.empty() || HasQuoteOrControl(ssid) || HasQuoteOrControl(key)) return std::nullopt;  // refused
  const std::wstring line = BuildCreateCommand(ssid, key);
  const DecodedLine decoded = DecodeBatchLine(line);
  if (!decoded.problem.empty()) return L"line " + line + L": " + decoded.problem;
  const std::optional<CreateValues> values = ReadCreateValues(decoded.argv);
  if (!values) return L"line " + line + L": not one create command with SSID and key";
  if (*values != CreateValues{ssid, key}) {
    return L"line " + line + L": netsh receives SSID [" + values->ssid + L"] key [" + values->key + L"]";
  }
  return std::nullopt;
}

std::string Printable(const std::wstring& value) {
  std::string out;
  for (const wchar_t c : value) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[16];
      std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

}  // namespace lumvora::oracle
