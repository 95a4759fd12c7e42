// Runs a hotspot command off the window's thread: the command, the state query and what follows them may
// take many seconds, and the window must go on answering meanwhile. Nothing here includes a Windows header.
#pragma once

#include <chrono>
#include <functional>

namespace lumvora {

class Worker {
 public:
  virtual ~Worker() = default;
  // Runs work on a thread of its own (in a multithreaded COM apartment) and, once it has returned, done on
  // the window's thread, from its ordinary message loop. One at a time: the caller starts no other until
  // done has run. work must not touch the window; done may.
  virtual void Start(std::function<void()> work, std::function<void()> done) = 0;
  // Waits, at most the time given, for the work that runs to return; done is not run. True when it returned
  // (or none ran). For the end of the session, when no message will be handled any more.
  virtual bool WaitForWork(std::chrono::milliseconds timeLimit) = 0;
};

}  // namespace lumvora
