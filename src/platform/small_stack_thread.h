// A thread that reserves little stack address space. A walk over a share runs
// tens of reader threads, and in a 32-bit Windows process each thread started
// the usual way reserves the program's default stack (2 MiB with mingw, which
// std::thread and its pthreads cannot lower): 64 of them would hold 128 MiB of
// a 2 GB address space.
#pragma once

#include <functional>
#include <thread>

namespace quellor::platform {

class SmallStackThread {
 public:
  // What the reader threads need, with room to spare: a folder listing's
  // calls and a few frames of our own.
  static constexpr unsigned kStackReserve = 256 * 1024;

  // Starts `body`; throws std::system_error when no thread can be started.
  explicit SmallStackThread(std::function<void()> body);
  ~SmallStackThread();  // waits for `body` to return
  SmallStackThread(const SmallStackThread&) = delete;
  SmallStackThread& operator=(const SmallStackThread&) = delete;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  // 64-bit address space: the usual thread, whose stack is touched only as used.
  std::thread thread_;
#endif
};

}  // namespace quellor::platform
