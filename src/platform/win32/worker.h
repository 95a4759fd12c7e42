// The command's worker on Win32: a thread of its own in the multithreaded COM apartment, whose end is
// posted to a message-only window of the worker's own on the window's thread, so that the window's thread
// keeps its ordinary message loop and the main window need not know the worker.
#pragma once

#include "platform/win32/windows_api.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/win32/handles.h"
#include "platform/worker.h"

namespace lumvora::win32 {

// One thread for the life of the program, started by the first command: its apartment, and the COM
// servers loaded into it, stay from one command to the next (an apartment that ends unloads them).
class Win32Worker : public Worker {
 public:
  Win32Worker() = default;
  ~Win32Worker() override;
  Win32Worker(const Win32Worker&) = delete;
  Win32Worker& operator=(const Win32Worker&) = delete;

  // On the window's thread; done runs there too.
  void Start(std::function<void()> work, std::function<void()> done) override;
  bool WaitForWork(std::chrono::milliseconds timeLimit) override;

 private:
  static LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Run();
  // Runs done, back on the window's thread.
  void Finish();

  // Made by the first Start, on the thread that calls it.
  HWND notify_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::function<void()> work_;  // handed over under mutex_
  bool quit_ = false;
  // Set by the thread when the work has returned; waited for at the end of the session.
  UniqueKernelHandle workReturned_{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};
  std::function<void()> done_;
};

}  // namespace lumvora::win32
