// Files on Win32: the batch file written in the interpreter's code page and held while it runs, the help
// document checked and held, and the byte writer. Every failure is a PlatformError carrying the system's
// own text.
#pragma once

#include "platform/win32/windows_api.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_operations.h"
#include "platform/help_files.h"
#include "platform/win32/handles.h"

namespace lumvora::win32 {

// Text in the given code page (a real number, not CP_ACP or CP_OEMCP), or nothing when a character has no
// exact counterpart there. Windows would otherwise put a "?" or a look-alike in its place without saying so.
std::optional<std::string> ToCodePage(const std::wstring& text, UINT codePage);

// The code page in which the command interpreter reads a batch file: its console's. The interpreter gets a
// console of its own, which starts in the OEM code page; that differs from the ANSI one on many systems
// (1251 / 866 in Russian, 1252 / 850 in Western Europe), and both are 65001 where Windows is set to UTF-8.
UINT BatchFileCodePage();

// Takes the lock on a batch file just written: open for reading only, sharing reading only, so that any
// reader may open it and nobody may write, rename, replace or delete it. Whoever could open the file between
// its writing and this point has had to let go, or the lock cannot be taken; what they may have written is
// caught by reading the file back. A failure to lock or a difference is a PlatformError, and the file is
// deleted.
UniqueFileHandle LockWrittenFile(const std::wstring& path, const std::string& expected);

// The operations of the same names in CommandOperations and HelpFiles.
std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line);
std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path);
void RemoveFile(const std::wstring& path);
void RenameFile(const std::wstring& from, const std::wstring& to);
bool FileExists(const std::wstring& path);

}  // namespace lumvora::win32
