#include <windows.h>
#include <process.h>

#include <cerrno>
#include <exception>
#include <memory>
#include <system_error>

#include "platform/small_stack_thread.h"

namespace quellor::platform {

namespace {

unsigned __stdcall Run(void* argument) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  try {
    (*body)();
  } catch (...) {
    // As with std::thread: an exception that leaves a thread ends the program.
    std::terminate();
  }
  return 0;
}

}  // namespace

SmallStackThread::SmallStackThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  // The size is the reservation, not the first commitment: without the flag
  // Windows would reserve the program's default anyway.
  const std::uintptr_t handle =
      _beginthreadex(nullptr, kStackReserve, Run, owned.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (handle == 0) throw std::system_error(errno, std::generic_category(), "_beginthreadex");
  owned.release();  // the thread's now
  handle_ = reinterpret_cast<void*>(handle);
}

SmallStackThread::~SmallStackThread() {
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
}

}  // namespace quellor::platform
