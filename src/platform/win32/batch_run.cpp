#include "platform/win32/batch_run.h"

#include <algorithm>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {

std::wstring CommandInterpreterPath() { return SystemDirectory() + L"\\cmd.exe"; }

std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& batchPath) {
  // The outer quotes are the interpreter's own rule for a quoted path after /c.
  return L"\"" + interpreter + L"\" /d /q /V:OFF /c \"\"" + batchPath + L"\"\"";
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

void BatchFileRunner::EndCommands(bool ending) { commandsEnded_ = ending; }

bool BatchFileRunner::Ending() const { return commandsEnded_; }

CommandResult BatchFileRunner::Run(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) {
  // The session ends: nothing more starts. The command counts as not finished, as at its time limit.
  if (Ending()) return CommandResult{};
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
    // On the worker: the window's thread goes on with its own messages meanwhile. Only this command's own
    // process is waited for; the end of the session is this object's flag, looked at on every turn.
    const DWORD signalled = ::WaitForSingleObject(processHandle, wait);
    if (signalled == WAIT_OBJECT_0) {
      DrainPipe(output.Get(), printed);
      DWORD exitCode = 0;
      ::GetExitCodeProcess(processHandle, &exitCode);
      result.finished = true;
      result.exitCode = exitCode;
      break;
    }
    if (commandsEnded_ || ::GetTickCount64() >= deadline) {
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

}  // namespace lumvora::win32
