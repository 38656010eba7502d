// A wait with a time limit, waited in short slices so that a stop asked from
// another thread meanwhile is seen.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>

namespace quellor::platform {

class WaitDeadline {
 public:
  // How long a wait goes on before it looks at its stop flag again.
  static constexpr std::chrono::milliseconds kSlice{50};

  // A limit of `timeout` from now; milliseconds::max() never comes.
  explicit WaitDeadline(std::chrono::milliseconds timeout) {
    const auto now = Clock::now();
    const auto room = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now);
    end_ = timeout >= room ? Clock::time_point::max() : now + std::max(timeout, std::chrono::milliseconds(0));
  }

  bool Passed() const { return Clock::now() >= end_; }

  // The next wait: a slice, or what is left of the limit when that is less
  // (zero once it has passed).
  std::chrono::milliseconds NextSlice() const {
    const auto now = Clock::now();
    if (now >= end_) return std::chrono::milliseconds(0);
    return std::min(kSlice, std::chrono::ceil<std::chrono::milliseconds>(end_ - now));
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point end_;
};

inline bool StopAsked(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(); }

}  // namespace quellor::platform
