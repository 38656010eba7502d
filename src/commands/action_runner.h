// Runs the result actions one at a time. A copy, move or delete handles the
// window's events row by row; a result action started from there meanwhile is
// ignored, and whoever owns the runner can ask whether one is running (the
// window then ignores its search button and holds a close until it ends).
#pragma once

#include <utility>

namespace quellor::commands {

class ActionRunner {
 public:
  bool Busy() const { return running_; }

  // Runs `action` unless another one is running; false when it was ignored.
  template <class Action>
  bool Run(Action&& action) {
    if (running_) return false;
    const Hold hold(running_);
    std::forward<Action>(action)();
    return true;
  }

 private:
  // Ends the run however the action leaves.
  class Hold {
   public:
    explicit Hold(bool& running) : running_(running) { running_ = true; }
    ~Hold() { running_ = false; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    bool& running_;
  };

  // Used on the window's thread only.
  bool running_ = false;
};

}  // namespace quellor::commands
