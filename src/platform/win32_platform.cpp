#include "platform/win32_platform.h"

#include <algorithm>
#include <vector>

#include "ui/window_class_names.h"

namespace lumvora::win32 {

std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length != 0 && buffer != nullptr) text.assign(buffer, length);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) text = L"错误代码 " + std::to_wstring(error);
  return text;
}

UINT BatchFileCodePage() { return ::GetOEMCP(); }

std::optional<std::string> ToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  // Best-fit mapping would turn characters silently into others; the default-character flag only works
  // without it. UTF-7 and UTF-8 reject both and would fail every call given them; they lose nothing but
  // unpaired surrogates, which the round trip below catches. The page must be a real number for this
  // choice: CP_ACP or CP_OEMCP stand for 65001 where Windows is set to UTF-8.
  const bool lossyPage = codePage != CP_UTF8 && codePage != CP_UTF7;
  const DWORD flags = lossyPage ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* usedDefaultPtr = lossyPage ? &usedDefault : nullptr;
  const int size = ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                                         0, nullptr, usedDefaultPtr);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        usedDefaultPtr);
  if (usedDefault) return std::nullopt;
  // Round-trip: a code page may also map a character to a different one without using the default.
  const int back = ::MultiByteToWideChar(codePage, 0, out.data(), size, nullptr, 0);
  std::wstring roundTrip(static_cast<size_t>(back), L'\0');
  ::MultiByteToWideChar(codePage, 0, out.data(), size, roundTrip.data(), back);
  if (roundTrip != text) return std::nullopt;
  return out;
}

std::wstring DirectoryOfPath(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::wstring();
  std::wstring directory = path.substr(0, slash);
  // "C:" alone would mean the current directory of drive C, not its root.
  if (directory.size() == 2 && directory[1] == L':') directory += L'\\';
  return directory;
}

std::wstring ModulePath(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      throw PlatformError(L"确定程序所在的目录", L"Lumvora.exe", SystemErrorText(::GetLastError()));
    }
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: long paths exceed MAX_PATH
  }
}

const VS_FIXEDFILEINFO* FindFixedFileInfo(const std::uint8_t* data, size_t size) {
  // The fixed part follows the block's header and its key "VS_VERSION_INFO" at a 32-bit boundary; its
  // signature marks it. Reading it here spares loading version.dll at every start for one lookup.
  for (size_t offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
    const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + offset);
    if (candidate->dwSignature == 0xFEEF04BD) return candidate;
  }
  return nullptr;
}

void Win32Platform::ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) {
  UINT type = MB_OK;
  switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: type |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: type |= MB_ICONWARNING; break;
    case MessageIcon::Error: type |= MB_ICONERROR; break;
  }
  const HWND owner = (owner_ != nullptr && ::IsWindowVisible(owner_)) ? owner_ : nullptr;
  if (owner == nullptr) type |= MB_TASKMODAL;
  ::MessageBoxW(owner, text.c_str(), caption.empty() ? L"Lumvora" : caption.c_str(), type);
}

std::wstring Win32Platform::AppDirectory() { return DirectoryOfPath(ModulePath(nullptr)); }

std::span<const std::uint8_t> ResourceData(HMODULE module, const wchar_t* type, const wchar_t* name) {
  const HRSRC info = ::FindResourceW(module, name, type);
  if (info == nullptr) return {};
  const HGLOBAL loaded = ::LoadResource(module, info);
  const auto* data = loaded != nullptr ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
  if (data == nullptr) return {};
  return {data, ::SizeofResource(module, info)};
}

Version Win32Platform::VersionNumbers() {
  auto fail = [](DWORD error) {
    return PlatformError(L"读取版本信息", ModulePath(nullptr), SystemErrorText(error));
  };
  const std::span<const std::uint8_t> data =
      ResourceData(instance_, MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1));
  if (data.empty()) throw fail(::GetLastError());
  const VS_FIXEDFILEINFO* fixed = FindFixedFileInfo(data.data(), data.size());
  if (fixed == nullptr) throw fail(ERROR_RESOURCE_DATA_NOT_FOUND);
  // Major.minor.build.revision: the revision is the fourth number; the third is not used.
  return Version{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionLS)};
}

bool Win32Platform::PreviousInstance() {
  if (instanceMutex_) return false;
  // Creating the mutex and learning that it existed is one atomic step, so two instances started at the
  // same moment cannot both believe they are first.
  UniqueKernelHandle mutex(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
  const DWORD error = ::GetLastError();
  if (!mutex) {
    // Another program holds an object of that name that is not a mutex, or one we may not open: either
    // way another instance is the likely owner.
    if (error == ERROR_ACCESS_DENIED) return true;
    throw PlatformError(L"检查程序是否已在运行", kInstanceMutexName, SystemErrorText(error));
  }
  if (error == ERROR_ALREADY_EXISTS) return true;
  instanceMutex_ = std::move(mutex);
  return false;
}

void Win32Platform::ShowPreviousInstance() {
  // The window of the class that is not this process's own (which exists, hidden, by now).
  HWND other = nullptr;
  for (HWND hwnd = nullptr; (hwnd = ::FindWindowExW(nullptr, hwnd, kMainWindowClassName, nullptr)) != nullptr;) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != ::GetCurrentProcessId()) other = hwnd;
  }
  // Hidden, it is writing out the help document behind the progress strip: showing it would break that.
  if (other == nullptr || !::IsWindowVisible(other)) return;
  if (::IsIconic(other)) ::ShowWindow(other, SW_RESTORE);
  // A box that the window shows is what must come forward, not the disabled window behind it.
  ::SetForegroundWindow(::GetLastActivePopup(other));
}

bool IsFullPath(const std::wstring& path) {
  const bool driveRoot = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  const bool share = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
  return driveRoot || share;
}

void Win32Platform::StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState show) {
  // A bare or relative name would be looked for, in the exe's folder first, where anyone may put a file.
  if (!IsFullPath(programPath)) throw PlatformError(L"启动程序", programPath, L"程序没有以完整路径给出。");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show == ShowState::MinimizedActive ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // CreateProcess may write into the command line, so it gets a copy.
  std::wstring mutableLine = commandLine;
  if (!::CreateProcessW(programPath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    throw PlatformError(L"启动程序", programPath, SystemErrorText(::GetLastError()));
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

std::wstring SystemDirectory() {
  wchar_t system[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    throw PlatformError(L"确定系统目录", L"System32", SystemErrorText(::GetLastError()));
  }
  return std::wstring(system, length);
}

std::wstring CommandInterpreterPath() { return SystemDirectory() + L"\\cmd.exe"; }

std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& batchPath) {
  // The outer quotes are the interpreter's own rule for a quoted path after /c.
  return L"\"" + interpreter + L"\" /d /q /V:OFF /c \"\"" + batchPath + L"\"\"";
}

void RestrictLibrarySearch() {
  // Looked up rather than called: Windows 7 has it only with update KB2533623.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = kernel != nullptr ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                                  ::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                            : nullptr;
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, at least the current directory leaves the search order.
  ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  try {
    return ::LoadLibraryExW((SystemDirectory() + L"\\" + name).c_str(), nullptr, 0);
  } catch (const PlatformError&) {
    return nullptr;
  }
}

std::wstring FromOem(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

namespace {

// Keeps what a command prints, up to a cap; the rest is read and dropped so that the command never
// blocks on a full pipe.
constexpr size_t kOutputCap = 256 * 1024;

void DrainPipe(HANDLE pipe, std::string& output) {
  for (;;) {
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
    char buffer[4096];
    DWORD read = 0;
    if (!::ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof(buffer)), &read, nullptr) || read == 0) return;
    if (output.size() < kOutputCap) output.append(buffer, std::min<size_t>(read, kOutputCap - output.size()));
  }
}

// The interpreter and every program that it starts, ended together: at the time limit, and by the system
// when this program ends, however it ends (the job goes with its last handle).
class CommandJob {
 public:
  CommandJob() : job_(::CreateJobObjectW(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_ && !::SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
      job_.Reset();
    }
  }
  // False where the process cannot join: Windows 7 nests no jobs, and this program may run in one already.
  bool Add(HANDLE process) { return job_ && ::AssignProcessToJobObject(job_.Get(), process); }
  // Ends everything in the job and waits, a few seconds at most, until it is gone.
  void EndAll() {
    ::TerminateJobObject(job_.Get(), 1);
    for (int i = 0; i < 500; ++i) {
      JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
      if (!::QueryInformationJobObject(job_.Get(), JobObjectBasicAccountingInformation, &accounting,
                                       sizeof(accounting), nullptr) ||
          accounting.ActiveProcesses == 0) {
        return;
      }
      ::Sleep(10);
    }
  }

 private:
  UniqueKernelHandle job_;
};

// A process and its first thread, as CreateProcess gives them.
struct StartedProcess {
  UniqueKernelHandle process;
  UniqueKernelHandle thread;
  void End() {
    ::TerminateProcess(process.Get(), 1);
    ::WaitForSingleObject(process.Get(), 5000);
  }
};

}  // namespace

void Win32Platform::EndCommands(bool ending) {
  if (ending) {
    ::SetEvent(commandsEnded_.Get());
  } else {
    ::ResetEvent(commandsEnded_.Get());
  }
}

CommandResult Win32Platform::RunBatchFile(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) {
  // The session ends: nothing more starts. The command counts as not finished, as at its time limit.
  if (::WaitForSingleObject(commandsEnded_.Get(), 0) == WAIT_OBJECT_0) return CommandResult{};
  const std::wstring interpreter = CommandInterpreterPath();
  // The interpreter looks for a bare program name in its current directory first. The application
  // directory may be writable by any user; the system directory is not.
  const std::wstring currentDirectory = SystemDirectory();
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
    throw PlatformError(L"启动命令解释器", interpreter, SystemErrorText(::GetLastError()));
  }
  UniqueKernelHandle output(readEnd);
  UniqueKernelHandle childOutput(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  // Nothing to read: a command that asks for input gets end of file rather than waiting for ever.
  UniqueFileHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                       OPEN_EXISTING, 0, nullptr));

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  startup.hStdInput = input.Get();
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  // Started suspended, so that it runs nothing before it is in the job.
  auto start = [&](DWORD flags, StartedProcess& started) {
    std::wstring commandLine = InterpreterCommandLine(interpreter, batchPath);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags | CREATE_SUSPENDED,
                          nullptr, currentDirectory.c_str(), &startup, &info)) {
      return false;
    }
    started.process.Reset(info.hProcess);
    started.thread.Reset(info.hThread);
    return true;
  };
  CommandJob job;
  StartedProcess command;
  // Under Wine a process that dies while it starts up fails CreateProcess with ERROR_INTERNAL_ERROR, now and
  // then, under load. Suspended, it has run nothing of the batch file, so one more try is safe.
  if (!start(0, command) && (::GetLastError() != ERROR_INTERNAL_ERROR || !start(0, command))) {
    throw PlatformError(L"启动命令解释器", interpreter, SystemErrorText(::GetLastError()));
  }
  bool inJob = job.Add(command.process.Get());
  if (!inJob) {
    // The job this program runs in may let a new process leave it; that one can join ours.
    StartedProcess leaving;
    if (start(CREATE_BREAKAWAY_FROM_JOB, leaving)) {
      if (job.Add(leaving.process.Get())) {
        command.End();
        command = std::move(leaving);
        inJob = true;
      } else {
        leaving.End();
      }
    }
  }
  if (::ResumeThread(command.thread.Get()) == static_cast<DWORD>(-1)) {
    const DWORD error = ::GetLastError();
    command.End();
    throw PlatformError(L"启动命令解释器", interpreter, SystemErrorText(error));
  }
  const HANDLE processHandle = command.process.Get();
  // Only the child holds the write end now, so the pipe reports its end when the child is gone.
  childOutput.Reset();
  input.Reset();

  std::string printed;
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeLimit.count());
  CommandResult result;
  for (;;) {
    DrainPipe(output.Get(), printed);
    const ULONGLONG now = ::GetTickCount64();
    const DWORD wait = now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50));
    // On the worker: the window's thread goes on with its own messages meanwhile.
    const HANDLE waitFor[] = {processHandle, commandsEnded_.Get()};
    const DWORD signalled = ::WaitForMultipleObjects(2, waitFor, FALSE, wait);
    if (signalled == WAIT_OBJECT_0) {
      DrainPipe(output.Get(), printed);
      DWORD exitCode = 0;
      ::GetExitCodeProcess(processHandle, &exitCode);
      result.finished = true;
      result.exitCode = exitCode;
      break;
    }
    if (signalled == WAIT_OBJECT_0 + 1 || ::GetTickCount64() >= deadline) {
      // Left running, netsh would go on beside the next command; outside a job, the interpreter at least goes.
      if (inJob) {
        job.EndAll();
      } else {
        command.End();
      }
      break;
    }
  }
  result.output = FromOem(printed);
  return result;
}

namespace {

void WriteAll(HANDLE file, const void* data, DWORD size, const std::wstring& path) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes, size, &written, nullptr) || written == 0) {
      throw PlatformError(L"写入文件", path, SystemErrorText(::GetLastError()));
    }
    bytes += written;
    size -= written;
  }
}

// Bytes are gathered here and handed to the system in blocks: one system call per byte would make
// writing a file of a few hundred kilobytes take seconds.
class Win32ByteWriter : public ByteWriter {
 public:
  Win32ByteWriter(UniqueFileHandle file, std::wstring path) : file_(std::move(file)), path_(std::move(path)) {
    buffer_.reserve(kBlock);
  }
  ~Win32ByteWriter() override {
    // A writer dropped without Close() (a handler abandoned by an error) still hands over what it has;
    // errors here have nowhere to go.
    if (file_) {
      try {
        Flush();
      } catch (const PlatformError&) {
      }
    }
  }
  void Write(std::uint8_t byte) override {
    buffer_.push_back(byte);
    if (buffer_.size() == kBlock) Flush();
  }
  void Close() override {
    if (!file_) return;
    Flush();
    if (!::CloseHandle(file_.Release())) {
      throw PlatformError(L"关闭文件", path_, SystemErrorText(::GetLastError()));
    }
  }

 private:
  static constexpr size_t kBlock = 64 * 1024;
  void Flush() {
    if (buffer_.empty()) return;
    std::vector<std::uint8_t> pending;
    pending.swap(buffer_);
    buffer_.reserve(kBlock);
    WriteAll(file_.Get(), pending.data(), static_cast<DWORD>(pending.size()), path_);
  }

  UniqueFileHandle file_;
  std::wstring path_;
  std::vector<std::uint8_t> buffer_;
};

// Deletes a file that holds the key. A scanner that opened it the moment the lock went keeps it for a
// moment: tried again for about a second. ERROR_SUCCESS when it is gone (or was never there).
DWORD DeleteWithRetries(const std::wstring& path) {
  for (int attempt = 0;; ++attempt) {
    if (::DeleteFileW(path.c_str())) return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ERROR_SUCCESS;
    if (attempt == 10 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return error;
    ::Sleep(100);
  }
}

// The checked help document, open for reading and sharing reading only, for as long as it must stay as it
// is.
class Win32ReadLock : public ReadLock {
 public:
  explicit Win32ReadLock(UniqueFileHandle file) : file_(std::move(file)) {}

 private:
  UniqueFileHandle file_;
};

class Win32HeldFile : public HeldFile {
 public:
  Win32HeldFile(UniqueFileHandle lock, std::wstring path) : lock_(std::move(lock)), path_(std::move(path)) {}
  // A file that a killed run leaves is removed at the next start.
  ~Win32HeldFile() override {
    if (!lock_) return;
    lock_.Reset();
    DeleteWithRetries(path_);
  }
  void Delete() override {
    // The lock shares no delete access, so that nobody else can delete or rename the file: it must go
    // before the file can.
    lock_.Reset();
    const DWORD error = DeleteWithRetries(path_);
    if (error != ERROR_SUCCESS) throw PlatformError(L"删除文件", path_, SystemErrorText(error));
  }

 private:
  UniqueFileHandle lock_;
  std::wstring path_;
};

// Reads up to limit bytes and tells whether there was more.
bool ReadUpTo(HANDLE file, std::string& bytes, size_t limit, const std::wstring& path) {
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, sizeof(buffer), &read, nullptr)) {
      throw PlatformError(L"读取文件", path, SystemErrorText(::GetLastError()));
    }
    if (read == 0) return false;
    if (bytes.size() + read > limit) return true;
    bytes.append(buffer, read);
  }
}

}  // namespace

UniqueFileHandle LockWrittenFile(const std::wstring& path, const std::string& expected) {
  auto fail = [&](const wchar_t* operation, const std::wstring& why) {
    ::DeleteFileW(path.c_str());
    return PlatformError(operation, path, why);
  };
  // Not through a link put in its place: that would be read as something other than what was written.
  UniqueFileHandle lock(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!lock) throw fail(L"锁定文件", SystemErrorText(::GetLastError()));
  std::string present;
  const bool longer = ReadUpTo(lock.Get(), present, expected.size(), path);
  if (longer || present != expected) {
    lock.Reset();
    throw fail(L"核对文件",
               L"文件写入后被另一个程序改动了，命令没有运行。请把 Lumvora.exe 放到只有管理员能写入的文件夹中再试。");
  }
  return lock;
}

std::unique_ptr<HeldFile> Win32Platform::WriteHeldTextFile(const std::wstring& path, const std::wstring& line) {
  const std::optional<std::string> bytes = ToCodePage(line, BatchFileCodePage());
  if (!bytes) {
    throw PlatformError(L"写入文件", path, L"文本中有系统代码页无法表示的字符。");
  }
  const std::string content = *bytes + "\r\n";
  // Whatever lies at the path goes first: writing through a hard link planted there would overwrite another
  // file with this program's rights. A failure to delete shows when the file cannot be created new.
  ::DeleteFileW(path.c_str());
  {
    // While it is written nobody may open it at all. A handle with write access would force every reader,
    // the interpreter too, to share write: it is closed before the lock is taken.
    UniqueFileHandle writer(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writer) throw PlatformError(L"创建文件", path, SystemErrorText(::GetLastError()));
    try {
      WriteAll(writer.Get(), content.data(), static_cast<DWORD>(content.size()), path);
    } catch (const PlatformError&) {
      writer.Reset();
      ::DeleteFileW(path.c_str());
      throw;
    }
    if (!::CloseHandle(writer.Release())) {
      const DWORD error = ::GetLastError();
      ::DeleteFileW(path.c_str());
      throw PlatformError(L"写入文件", path, SystemErrorText(error));
    }
  }
  return std::make_unique<Win32HeldFile>(LockWrittenFile(path, content), path);
}

std::unique_ptr<ReadLock> Win32Platform::HoldIfIdentical(const std::wstring& path,
                                                         const std::vector<std::uint8_t>& bytes) {
  // Reading only, sharing reading only: the viewer and anyone else may read, nobody may write, rename,
  // replace or delete the file while the lock lives. The file itself, not what a link put at the path
  // points to: that could be changed behind the lock.
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return nullptr;
  std::string present;
  try {
    if (ReadUpTo(file.Get(), present, bytes.size(), path)) return nullptr;
  } catch (const PlatformError&) {
    return nullptr;
  }
  if (present.size() != bytes.size() || !std::equal(bytes.begin(), bytes.end(), present.begin(),
                                                     [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); })) {
    return nullptr;
  }
  return std::make_unique<Win32ReadLock>(std::move(file));
}

std::unique_ptr<ByteWriter> Win32Platform::WriteFileBytes(const std::wstring& path) {
  // New, never opened where something lies already: a hard link planted at the path would be written
  // through with this program's rights.
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
  if (!file) throw PlatformError(L"创建文件", path, SystemErrorText(::GetLastError()));
  return std::make_unique<Win32ByteWriter>(std::move(file), path);
}

void Win32Platform::DeleteFile(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  throw PlatformError(L"删除文件", path, SystemErrorText(error));
}

void Win32Platform::RenameFile(const std::wstring& from, const std::wstring& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
  DWORD error = ::GetLastError();
  // A hidden, system or read-only file of the new name does not count as the document; it is replaced.
  if (error == ERROR_ACCESS_DENIED && ::SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL) &&
      ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return;
  }
  error = ::GetLastError();
  throw PlatformError(L"重命名文件", from + L" → " + to, SystemErrorText(error));
}

std::wstring Win32Platform::WindowsDirectory() {
  wchar_t directory[MAX_PATH] = {};
  // Not GetWindowsDirectory: on a Remote Desktop host that gives a program that is not marked as aware
  // of it a folder of the user's own, without hh.exe.
  const UINT length = ::GetSystemWindowsDirectoryW(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    throw PlatformError(L"确定 Windows 目录", L"hh.exe", SystemErrorText(::GetLastError()));
  }
  return std::wstring(directory, length);
}

bool Win32Platform::FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

std::vector<std::uint8_t> Win32Platform::LoadResourceBytes(const std::wstring& type, int id) {
  const std::span<const std::uint8_t> data = ResourceData(instance_, type.c_str(), MAKEINTRESOURCEW(id));
  if (data.empty()) {
    throw PlatformError(L"读取资源", type + L" " + std::to_wstring(id), SystemErrorText(::GetLastError()));
  }
  return std::vector<std::uint8_t>(data.begin(), data.end());
}

void Win32Platform::EndProcess() { ::ExitProcess(0); }

}  // namespace lumvora::win32
