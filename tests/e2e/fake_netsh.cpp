// Stands in for netsh.exe in the end-to-end tests. The command interpreter finds it in the application
// directory (its current directory) before the system's own. It records what it was given and answers as
// the file netsh_behaviour.txt beside it says:
//   exit=N      exit code (default 0)
//   sleep=MS    time to take before answering
//   output=TEXT what to print (UTF-8 here, printed in the OEM code page; "\n" stands for a line break)
//   judge=1     check SSID and key the way netsh does (SSID 1 to 32 bytes, key 8 to 63 characters)
//   hold=MS     keep the batch files open, without delete sharing, for MS after exiting
// Each call appends a record to netsh_calls.txt (UTF-8): the raw command line, the parsed SSID and key,
// and the bytes of every batch file present, in hex.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

std::wstring Dir() {
  wchar_t path[MAX_PATH];
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L'\\'));
}

std::string ToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::map<std::string, std::string> Behaviour(const std::wstring& dir) {
  std::map<std::string, std::string> settings;
  std::ifstream in((dir + L"\\netsh_behaviour.txt").c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t eq = line.find('=');
    if (eq != std::string::npos) settings[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return settings;
}

std::vector<std::wstring> BatchFiles(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((dir + L"\\*.bat").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return names;
}

// The holder: opens the batch files without delete sharing and keeps them open for a while.
int Hold(const std::wstring& dir, DWORD ms) {
  std::vector<HANDLE> held;
  for (const std::wstring& name : BatchFiles(dir)) {
    held.push_back(::CreateFileW((dir + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  }
  std::ofstream((dir + L"\\netsh_holding.txt").c_str()) << held.size();
  ::Sleep(ms);
  for (HANDLE h : held) ::CloseHandle(h);
  return 0;
}

}  // namespace

int wmain() {
  const std::wstring dir = Dir();
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc == 3 && std::wstring(argv[1]) == L"--hold") return Hold(dir, static_cast<DWORD>(_wtoi(argv[2])));

  // netsh reads "ssid =value" as the tag followed by "=value", and "Key=value" as one.
  std::wstring ssid, key;
  bool hasSsid = false, hasKey = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (_wcsicmp(arg.c_str(), L"ssid") == 0 && i + 1 < argc && argv[i + 1][0] == L'=') {
      ssid = argv[i + 1] + 1;
      hasSsid = true;
    } else if (_wcsnicmp(arg.c_str(), L"ssid=", 5) == 0) {
      ssid = arg.substr(5);
      hasSsid = true;
    } else if (_wcsnicmp(arg.c_str(), L"key=", 4) == 0) {
      key = arg.substr(4);
      hasKey = true;
    }
  }

  std::string record = "CMDLINE " + ToCodePage(::GetCommandLineW(), CP_UTF8) + "\n";
  if (hasSsid) record += "SSID " + Hex(ToCodePage(ssid, CP_UTF8)) + "\n";
  if (hasKey) record += "KEY " + Hex(ToCodePage(key, CP_UTF8)) + "\n";
  for (const std::wstring& name : BatchFiles(dir)) {
    record += "BATCH " + ToCodePage(name, CP_UTF8) + " " + Hex(ReadAll(dir + L"\\" + name)) + "\n";
  }
  record += "END\n";
  {
    std::ofstream out((dir + L"\\netsh_calls.txt").c_str(), std::ios::binary | std::ios::app);
    out << record;
  }

  auto settings = Behaviour(dir);
  int exitCode = std::atoi(settings["exit"].c_str());
  std::wstring output = FromUtf8(settings["output"]);
  for (size_t at; (at = output.find(L"\\n")) != std::wstring::npos;) output.replace(at, 2, L"\r\n");

  if (settings["judge"] == "1" && hasSsid) {
    const size_t ssidBytes = ToCodePage(ssid, CP_ACP).size();
    if (ssidBytes < 1 || ssidBytes > 32 || key.size() < 8 || key.size() > 63) {
      output = L"参数 ssid 或 key 的值无效。\r\n";
      exitCode = 1;
    }
  }
  if (!settings["sleep"].empty()) ::Sleep(static_cast<DWORD>(std::atoi(settings["sleep"].c_str())));

  if (!settings["hold"].empty()) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --hold " + FromUtf8(settings["hold"]);
    if (::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, dir.c_str(), &startup,
                         &info)) {
      ::CloseHandle(info.hThread);
      ::CloseHandle(info.hProcess);
      for (int i = 0; i < 250 && ::GetFileAttributesW((dir + L"\\netsh_holding.txt").c_str()) ==
                                      INVALID_FILE_ATTRIBUTES;
           ++i) {
        ::Sleep(20);
      }
    }
  }

  const std::string bytes = ToCodePage(output, CP_OEMCP);
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return exitCode;
}
