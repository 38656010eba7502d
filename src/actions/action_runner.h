// Runs the result actions one at a time. A copy, move or delete handles the
// window's events row by row; a result action started from there meanwhile is
// ignored, and whoever owns the runner can ask whether one is running (the
// window then ignores its search button and holds a close until it ends).
#pragma once

#include <utility>

namespace quellor::actions {

class ActionRunner {
 public:
  bool Busy() const { return running_ > 0; }

  // Runs `action` unless another one is running; false when it was ignored.
  template <class Action>
  bool Run(Action&& action) {
    if (Busy()) return false;
    const Hold hold(running_);
    std::forward<Action>(action)();
    return true;
  }

 private:
  // Counted, so that an action run from inside another never ends the outer one's hold.
  class Hold {
   public:
    explicit Hold(int& count) : count_(count) { ++count_; }
    ~Hold() { --count_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    int& count_;
  };

  // Used on the window's thread only.
  int running_ = 0;
};

}  // namespace quellor::actions
