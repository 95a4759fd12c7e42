#include "platform/win32/worker.h"

#include <system_error>

#include "platform/platform.h"
#include "platform/win32/com.h"
#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

constexpr wchar_t kNotifyClassName[] = L"LumvoraWorkerNotify";
// Posted by the thread when the work has returned.
constexpr UINT kWorkReturnedMessage = WM_APP + 1;

}  // namespace

Win32Worker::~Win32Worker() {
  if (notify_ != nullptr) ::DestroyWindow(notify_);
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

LRESULT CALLBACK Win32Worker::NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWorkReturnedMessage) {
    if (auto* self = reinterpret_cast<Win32Worker*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) self->Finish();
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
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
    ::PostMessageW(notify_, kWorkReturnedMessage, 0, 0);
  }
}

void Win32Worker::Start(std::function<void()> work, std::function<void()> done) {
  if (notify_ == nullptr) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32Worker::NotifyProc;
    wc.hInstance = instance;
    wc.lpszClassName = kNotifyClassName;
    ::RegisterClassExW(&wc);  // fails harmlessly where a worker before this one registered it
    notify_ = ::CreateWindowExW(0, kNotifyClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (notify_ == nullptr) throw PlatformError(L"启动命令", L"Lumvora", SystemErrorText(::GetLastError()));
    ::SetWindowLongPtrW(notify_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
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
