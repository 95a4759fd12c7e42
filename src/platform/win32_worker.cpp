#include "platform/win32_worker.h"

#include <objbase.h>

#include <system_error>

#include "platform/platform.h"
#include "platform/win32_platform.h"

namespace lumvora::win32 {

ComApartment::ComApartment() {
  // Looked up rather than imported: importing ole32 would load it, and what it pulls in, at every start.
  static const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
  if (ole32 == nullptr) return;
  using InitializeFn = HRESULT(WINAPI*)(void*, DWORD);
  const auto initialize = reinterpret_cast<InitializeFn>(reinterpret_cast<void*>(::GetProcAddress(ole32, "CoInitializeEx")));
  uninitialize_ = reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void*>(::GetProcAddress(ole32, "CoUninitialize")));
  if (initialize == nullptr || uninitialize_ == nullptr) return;
  entered_ = SUCCEEDED(initialize(nullptr, COINIT_MULTITHREADED));
}

ComApartment::~ComApartment() {
  if (entered_) uninitialize_();
}

Win32Worker::~Win32Worker() {
  // Only when the window goes while a command runs, as the process ends: the job ends the command.
  if (thread_.joinable()) thread_.detach();
}

void Win32Worker::Start(std::function<void()> work, std::function<void()> done) {
  if (thread_.joinable()) thread_.join();
  done_ = std::move(done);
  ::ResetEvent(workReturned_.Get());
  try {
    thread_ = std::thread([this, work = std::move(work)] {
      {
        const ComApartment apartment;
        work();
      }
      ::SetEvent(workReturned_.Get());
      ::PostMessageW(window_, doneMessage_, 0, 0);
    });
  } catch (const std::system_error&) {
    ::SetEvent(workReturned_.Get());
    done_ = nullptr;
    throw PlatformError(L"启动命令", L"Lumvora", SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
  }
}

bool Win32Worker::WaitForWork(std::chrono::milliseconds timeLimit) {
  return ::WaitForSingleObject(workReturned_.Get(), static_cast<DWORD>(timeLimit.count())) == WAIT_OBJECT_0;
}

void Win32Worker::Finish() {
  if (thread_.joinable()) thread_.join();
  if (auto done = std::move(done_)) {
    done_ = nullptr;
    done();
  }
}

}  // namespace lumvora::win32
