// The one place where the Win32 layer loads libraries and takes their functions by name, and where it puts
// the system's error codes into words. Functions that Windows 7 lacks, or that only some commands need, are
// looked up rather than imported, so that the exe starts everywhere and start-up loads nothing more.
#pragma once

#include "platform/win32/windows_api.h"

#include <string>

namespace lumvora::win32 {

// Keeps DLLs that lie beside the exe or in the current directory out of every later library load. Called
// first thing at start-up.
void RestrictLibrarySearch();

// Loads a DLL from the system directory by its full path, never from anywhere else; null when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A DLL that every window program has loaded already (kernel32, user32, ntdll): nothing is loaded.
inline HMODULE LoadedSystemModule(const wchar_t* name) { return ::GetModuleHandleW(name); }

// A function of a loaded DLL, taken by name into a pointer of its type; false where the module is null or
// lacks it.
template <typename Fn>
bool FindFunction(HMODULE module, const char* name, Fn& function) {
  function = module != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                               : nullptr;
  return function != nullptr;
}

// The same for a DLL that is loaded already; null where it lacks the function.
template <typename Fn>
Fn LoadedFunction(const wchar_t* module, const char* name) {
  Fn function = nullptr;
  FindFunction(LoadedSystemModule(module), name, function);
  return function;
}

// The system directory (System32, or what a 32-bit program on 64-bit Windows sees as such).
std::wstring SystemDirectory();

// The system's description of a Win32 error code, without the trailing line break; "错误代码 N" where the
// system has none.
std::wstring SystemErrorText(DWORD error);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case, as Windows writes adapter GUIDs.
std::wstring GuidText(const GUID& guid);

}  // namespace lumvora::win32
