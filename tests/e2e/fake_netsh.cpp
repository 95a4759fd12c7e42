// Stands in for netsh.exe in the end-to-end tests. The harness puts it where the system's netsh.exe lives
// and starts the program with WINEDLLOVERRIDES naming it native, so that Wine runs it rather than its
// built-in netsh. It keeps its files in the directory that LUMVORA_FAKE_NETSH_DIR names (the program's),
// records what it was given and answers as the file netsh_behaviour.txt there says:
//   exit=N      exit code (default 0)
//   sleep=MS    time to take before answering
//   output=TEXT what to print (UTF-8 here, printed in the OEM code page; "\n" stands for a line break)
//   judge=1     check SSID and key the way netsh does (SSID 1 to 32 bytes, key 8 to 63 characters)
//   probe=1     try, as another program would, to open each batch file for writing and to rename it
//   readers=1   open each batch file for reading as the strictest readers would: sharing read only, and
//               sharing read and write (the C runtime's default); and for writing
//   stuck=1     leave the fake wlanapi.dll's state (wlan_state.txt) as it is, whatever the exit code;
//               otherwise a command that exits 0 updates it as one that worked would
// Each call appends a record to netsh_calls.txt (UTF-8): its own path, its parent's (the interpreter's)
// command line, the raw command line, the parsed SSID and key, what the probe and the readers could do, and
// the bytes of every batch file present, in hex, read sharing read only: a reader that the command
// interpreter may be on Windows, whose share mode is not documented.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include <map>
#include <string>
#include <vector>

#include "e2e/settings_file.h"
#include "e2e/utf8.h"

namespace {

std::wstring SelfPath() {
  wchar_t path[MAX_PATH];
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// The command line of the process that started this one, read from its process parameters.
std::wstring ParentCommandLine() {
  DWORD parent = 0;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  ::CloseHandle(snapshot);
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, parent);
  if (process == nullptr) return L"?";
  using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  PEB peb{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  std::wstring line = L"?";
  if (query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) == 0 &&
      ::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), nullptr) &&
      ::ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters), nullptr)) {
    line.assign(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    ::ReadProcessMemory(process, parameters.CommandLine.Buffer, line.data(), parameters.CommandLine.Length, nullptr);
  }
  ::CloseHandle(process);
  return line;
}

std::string ToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string ReadAll(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  ::CloseHandle(file);
  return bytes;
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

// What another program could do to each batch file: "write=1" if it could open it for writing,
// "rename=1" if it could rename it (it is renamed back).
std::string Probe(const std::wstring& dir) {
  std::string found;
  for (const std::wstring& name : BatchFiles(dir)) {
    const std::wstring path = dir + L"\\" + name;
    const HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    const bool canWrite = writer != INVALID_HANDLE_VALUE;
    if (canWrite) ::CloseHandle(writer);
    const std::wstring moved = path + L".moved";
    const bool canRename = ::MoveFileW(path.c_str(), moved.c_str()) != 0;
    if (canRename) ::MoveFileW(moved.c_str(), path.c_str());
    found += std::string(canWrite ? "write=1" : "write=0") + (canRename ? " rename=1 " : " rename=0 ");
  }
  return found;
}

// Whether each batch file opens for reading sharing read only, for reading sharing read and write, and for
// writing: "read=1 readwrite=1 write=0 " for each.
std::string Readers(const std::wstring& dir) {
  std::string found;
  for (const std::wstring& name : BatchFiles(dir)) {
    const std::wstring path = dir + L"\\" + name;
    auto opens = [&](DWORD access, DWORD share) {
      const HANDLE file = ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
      if (file == INVALID_HANDLE_VALUE) return '0';
      ::CloseHandle(file);
      return '1';
    };
    found += std::string("read=") + opens(GENERIC_READ, FILE_SHARE_READ) +
             " readwrite=" + opens(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE) +
             " write=" + opens(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) + " ";
  }
  return found;
}

// What a command that worked leaves in the fake wlanapi.dll's state file, where there is one: create allows
// the hosted network and keeps the SSID, start makes it active, close disallows it.
void UpdateHostedNetwork(const std::wstring& dir, int argc, wchar_t** argv, const std::wstring& ssid) {
  const std::wstring path = dir + L"\\wlan_state.txt";
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  e2e::Settings state = e2e::ReadSettings(path);
  for (int i = 1; i < argc; ++i) {
    if (_wcsicmp(argv[i], L"start") == 0) {
      state["state"] = "active";
    } else if (_wcsicmp(argv[i], L"mode=allow") == 0) {
      state["allowed"] = "1";
      state["ssid"] = Hex(ToCodePage(ssid, CP_ACP));
    } else if (_wcsicmp(argv[i], L"mode=disallow") == 0) {
      state["allowed"] = "0";
      state["state"] = "idle";
    }
  }
  e2e::WriteSettings(path, state);
}

}  // namespace

int wmain() {
  const std::wstring dir = e2e::StandInDirectory();
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);

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

  auto settings = e2e::ReadSettings(dir + L"\\netsh_behaviour.txt");
  std::string record = "EXE " + ToCodePage(SelfPath(), CP_UTF8) + "\n";
  record += "PARENT " + ToCodePage(ParentCommandLine(), CP_UTF8) + "\n";
  if (settings["probe"] == "1") record += "PROBE " + Probe(dir) + "\n";
  if (settings["readers"] == "1") record += "READERS " + Readers(dir) + "\n";
  record += "CMDLINE " + ToCodePage(::GetCommandLineW(), CP_UTF8) + "\n";
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

  int exitCode = std::atoi(settings["exit"].c_str());
  std::wstring output = e2e::Utf16(settings["output"]);
  for (size_t at; (at = output.find(L"\\n")) != std::wstring::npos;) output.replace(at, 2, L"\r\n");

  if (settings["judge"] == "1" && hasSsid) {
    const size_t ssidBytes = ToCodePage(ssid, CP_ACP).size();
    if (ssidBytes < 1 || ssidBytes > 32 || key.size() < 8 || key.size() > 63) {
      output = L"参数 ssid 或 key 的值无效。\r\n";
      exitCode = 1;
    }
  }
  if (!settings["sleep"].empty()) ::Sleep(static_cast<DWORD>(std::atoi(settings["sleep"].c_str())));

  if (exitCode == 0 && settings["stuck"] != "1") UpdateHostedNetwork(dir, argc, argv, ssid);

  const std::string bytes = ToCodePage(output, CP_OEMCP);
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return exitCode;
}
