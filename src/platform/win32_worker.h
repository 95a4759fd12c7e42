// The command's worker on Win32: a thread of its own in the multithreaded COM apartment, whose end is
// posted to the window as a message, so that the window's thread keeps its ordinary message loop.
#pragma once

#include "platform/win32_windows.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/win32_handles.h"
#include "platform/worker.h"

namespace lumvora::win32 {

// The thread's COM apartment, multithreaded. ole32 is loaded when a command first runs, never at start-up.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
  void(WINAPI* uninitialize_)() = nullptr;
};

// One thread for the life of the program, started by the first command: its apartment, and the COM
// servers loaded into it, stay from one command to the next (an apartment that ends unloads them).
class Win32Worker : public Worker {
 public:
  // The window that is told, by doneMessage, that the work has returned; it then calls Finish().
  explicit Win32Worker(UINT doneMessage) : doneMessage_(doneMessage) {}
  ~Win32Worker() override;
  Win32Worker(const Win32Worker&) = delete;
  Win32Worker& operator=(const Win32Worker&) = delete;

  void SetWindow(HWND window) { window_ = window; }
  void Start(std::function<void()> work, std::function<void()> done) override;
  bool WaitForWork(std::chrono::milliseconds timeLimit) override;
  // On the window's thread, for doneMessage: runs done.
  void Finish();

 private:
  void Run();

  UINT doneMessage_;
  HWND window_ = nullptr;
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
