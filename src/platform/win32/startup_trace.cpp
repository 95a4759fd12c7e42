#include "platform/win32/startup_trace.h"

#include "platform/win32/windows_api.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

struct Mark {
  double ms;
  std::string event;
};

std::mutex marksLock;
std::vector<Mark> marks;
bool written = false;

double MsSinceProcessCreation() {
  FILETIME created, exited, kernel, user, now;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  ::GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(static_cast<long long>(ticks(now) - ticks(created))) / 10000.0;
}

// The loader's notice of each library loaded after the entry point (ntdll, Windows Vista and later).
struct CountedString {  // UNICODE_STRING: lengths in bytes
  USHORT length;
  USHORT maximumLength;
  const wchar_t* buffer;
};
struct DllNotificationData {
  ULONG flags;
  const CountedString* fullName;
  const CountedString* baseName;
  void* base;
  ULONG size;
};
using DllNotificationFn = VOID(CALLBACK*)(ULONG reason, const DllNotificationData* data, void* context);
using LdrRegisterDllNotificationFn = LONG(NTAPI*)(ULONG, DllNotificationFn, void*, void**);

VOID CALLBACK OnDllNotification(ULONG reason, const DllNotificationData* data, void*) {
  if (reason != 1 /* loaded */ || data == nullptr || data->baseName == nullptr) return;
  const CountedString& name = *data->baseName;
  std::string event = "DLL loaded: ";
  for (USHORT i = 0; i < name.length / sizeof(wchar_t); ++i) event += static_cast<char>(name.buffer[i] & 0x7F);
  StartupMark(event.c_str());
}

}  // namespace

void StartupTraceBegin() {
  StartupMark("entry point (the exe's own imports loaded)");
  const auto registerNotification = LoadedFunction<LdrRegisterDllNotificationFn>(L"ntdll.dll", "LdrRegisterDllNotification");
  void* cookie = nullptr;
  if (registerNotification != nullptr) registerNotification(0, &OnDllNotification, nullptr, &cookie);
}

void StartupMark(const char* event) {
  const double ms = MsSinceProcessCreation();
  std::lock_guard<std::mutex> lock(marksLock);
  marks.push_back(Mark{ms, event});
}

void StartupTraceEnd() {
  std::vector<Mark> copy;
  {
    std::lock_guard<std::mutex> lock(marksLock);
    if (written) return;
    written = true;
    copy = marks;
  }
  wchar_t path[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"LUMVORA_STARTUP_TRACE_FILE", path, MAX_PATH) == 0) return;
  // Written whole under another name, then renamed: the benchmark reads the file as soon as it exists.
  const std::wstring partial = std::wstring(path) + L".part";
  FILE* file = _wfopen(partial.c_str(), L"wb");
  if (file == nullptr) return;
  for (const Mark& mark : copy) std::fprintf(file, "%.2f\t%s\n", mark.ms, mark.event.c_str());
  std::fclose(file);
  ::MoveFileExW(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace lumvora::win32
