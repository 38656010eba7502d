#include "platform/small_stack_thread.h"

namespace quellor::platform {

SmallStackThread::SmallStackThread(std::function<void()> body) : thread_(std::move(body)) {}

SmallStackThread::~SmallStackThread() { thread_.join(); }

}  // namespace quellor::platform
