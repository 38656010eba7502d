#include "actions/action_run.h"

#include "actions/result_actions.h"

namespace quellor::actions {

namespace {
// Commands run on the window's thread only.
bool running = false;
}  // namespace

ActionRun::ActionRun() { running = true; }
ActionRun::~ActionRun() { running = false; }

bool ResultActionRunning() { return running; }

}  // namespace quellor::actions
