// Marks a copy, move or delete as running for as long as it lives, so that
// commands started from the event pump in the middle of it are ignored.
#pragma once

namespace quellor::actions {

class ActionRun {
 public:
  ActionRun();
  ~ActionRun();
  ActionRun(const ActionRun&) = delete;
  ActionRun& operator=(const ActionRun&) = delete;
};

}  // namespace quellor::actions
