// Stands in for a comctl32.dll that someone put beside Lumvora.exe. It exports what an importer of
// comctl32 would need, so that such an exe would start with it, and loading it writes planted_loaded.txt
// beside it.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return TRUE; }
extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(instance, path, MAX_PATH);
  std::wstring canary = path;
  canary = canary.substr(0, canary.find_last_of(L'\\')) + L"\\planted_loaded.txt";
  const HANDLE file = ::CreateFileW(canary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return TRUE;
}
