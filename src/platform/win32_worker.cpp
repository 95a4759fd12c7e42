#include "platform/win32_worker.h"

#include <objbase.h>

#include <system_error>

#include "platform/platform.h"
#include "platform/win32_platform.h"

namespace lumvora::win32 {

ComApartment::ComApartment() {
  // Looked up rather than imported: importing ole32 would load it, and what it pulls in, at every start.
  static const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
  HRESULT(WINAPI * initialize)(void*, DWORD) = nullptr;
  if (!FindFunction(ole32, "CoInitializeEx", initialize) || !FindFunction(ole32, "CoUninitialize", uninitialize_)) return;
  entered_ = SUCCEEDED(initialize(nullptr, COINIT_MULTITHREADED));
}

ComApartment::~ComApartment() {
  if (entered_) uninitialize_();
}

Win32Worker::~Win32Worker() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  // A command still running as the window goes (the process ends): the job ends the command with it.
  if (::WaitForSingleObject(workReturned_.Get(), 0) == WAIT_OBJECT_0) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

void Win32Worker::Run() {
  const ComApartment apartment;
  for (;;) {
    std::function<void()> work;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || work_ != nullptr; });
      if (work_ == nullptr) return;
      work = std::move(work_);
      work_ = nullptr;
    }
    work();
    ::SetEvent(workReturned_.Get());
    ::PostMessageW(window_, doneMessage_, 0, 0);
  }
}

void Win32Worker::Start(std::function<void()> work, std::function<void()> done) {
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      throw PlatformError(L"启动命令", L"Lumvora", SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    }
  }
  done_ = std::move(done);
  ::ResetEvent(workReturned_.Get());
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    work_ = std::move(work);
  }
  wake_.notify_one();
}

bool Win32Worker::WaitForWork(std::chrono::milliseconds timeLimit) {
  return ::WaitForSingleObject(workReturned_.Get(), static_cast<DWORD>(timeLimit.count())) == WAIT_OBJECT_0;
}

void Win32Worker::Finish() {
  if (auto done = std::move(done_)) {
    done_ = nullptr;
    done();
  }
}

}  // namespace lumvora::win32
