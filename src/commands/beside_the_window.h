// A long job of a command, run on another thread while the window goes on
// answering: its events are handled every 15 ms until the job is done.
#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <system_error>
#include <type_traits>
#include <utility>

#include "ui/dialogs.h"

namespace quellor::commands {

// Returns what `job` returns, once it has returned; runs it on the calling
// thread when no thread can be had. A close asked for meanwhile still waits
// for the job (it reads what the window owns), but first sets `stop_on_close`
// where given, so a job that looks at it ends early.
template <class Job>
std::invoke_result_t<Job&> RunBesideTheWindow(Job job, ui::EventPump& events,
                                              std::atomic<bool>* stop_on_close = nullptr) {
  std::future<std::invoke_result_t<Job&>> done;
  try {
    done = std::async(std::launch::async, std::ref(job));
  } catch (const std::system_error&) {
    return job();
  }
  while (done.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready) {
    if (!events.ProcessPendingEvents() && stop_on_close != nullptr) stop_on_close->store(true);
  }
  return done.get();
}

}  // namespace quellor::commands
