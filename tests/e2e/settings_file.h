// The "name=value" lines through which the tests steer their stand-ins (netsh.exe, wlanapi.dll): a stand-in
// started by the program cannot be given an environment of the test's, so it reads a file in the program's
// directory instead.
#pragma once

#include <windows.h>

#include <fstream>
#include <map>
#include <string>

namespace e2e {

using Settings = std::map<std::string, std::string>;

inline Settings ReadSettings(const std::wstring& path) {
  Settings settings;
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t eq = line.find('=');
    if (eq != std::string::npos) settings[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return settings;
}

inline void WriteSettings(const std::wstring& path, const Settings& settings) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  for (const auto& [name, value] : settings) out << name << '=' << value << '\n';
}

// The folder whose files steer the stand-ins: the one LUMVORA_FAKE_NETSH_DIR names (the harness sets it for
// the program), else that of the running exe.
inline std::wstring StandInDirectory() {
  wchar_t dir[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"LUMVORA_FAKE_NETSH_DIR", dir, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return dir;
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\'));
}

}  // namespace e2e
