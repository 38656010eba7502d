// The search engine, the one way into a search for the window and for
// quellor-find: one run at a time, walking its roots on worker threads and
// handing rows and where the run stands in batches to the thread that owns
// it, or every report as it comes to a sink of the owner's.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/match_rules.h"
#include "search/result_rows.h"
#include "search/run_status.h"
#include "search/search_run.h"

namespace quellor::search {

// Where DeliverPending puts what a run found: rows to append, and where the
// run stands, for the owner to put into words.
class RunDisplay {
 public:
  virtual ~RunDisplay() = default;
  // Rows [first, end) of `rows`, appended to the list; several calls may come
  // in one delivery.
  virtual void AppendRows(const search::ResultRows& rows, int first, int end) = 0;
  // Shows every appended row. The owner paces the showing of rows while they
  // stream in (on some systems it costs tens of milliseconds each time); this
  // comes before a status that counts them.
  virtual void ShowAppendedRows() = 0;
  virtual int RowCount() const = 0;
  virtual void ShowStatus(const RunStatus& status) = 0;
};

// When a worker hands the rows it holds over to DeliverPending: once it holds
// `rows` of them, or `delay` after its last hand-over. The owner paces its
// deliveries and chooses these with them; runs with a tap do not batch.
struct Batching {
  std::size_t rows;
  std::chrono::milliseconds delay;
};

class SearchEngine {
 public:
  // `wake` is called from worker threads when rows or a status wait for
  // DeliverPending; it must return at once (the window posts itself a message).
  SearchEngine(std::function<void()> wake, Batching batching);
  ~SearchEngine();  // StopAndWait
  SearchEngine(const SearchEngine&) = delete;
  SearchEngine& operator=(const SearchEngine&) = delete;

  // Stops the current run (its rows are dropped from here on) and starts one
  // for `request`. A file-name request without roots ends at once.
  //
  // With a `tap`, every report of the run goes to it, in order, on the run's
  // thread, and to nothing else: no row waits for DeliverPending and `wake` is
  // not called, so an owner without a window (quellor-find) keeps only what it
  // takes. The tap must outlive the run: until WaitForEnd, StopAndWait or Idle
  // says it has ended. An owner with a tap waits for the end anyway, so when no
  // thread can be had its run goes on the calling thread instead of ending
  // unsearched.
  void Start(RunRequest request, RunSettings settings, RunSink* tap = nullptr);
  // Returns once the current run has ended, without stopping it; at once when
  // there is none.
  void WaitForEnd();
  // A running search uses the new mode from its next folder or keyword on.
  void SetMatchMode(MatchMode mode);
  // The running search stops at its next check.
  void RequestStop();
  // Stops the current run and returns once its threads have ended. Workers
  // never wait for the owning thread, so this cannot deadlock on it.
  void StopAndWait();
  // True while the current run has not ended.
  bool Running() const;
  // Asks every run still working (the current one and any earlier one not yet
  // ended) to stop; StopAndWait after Idle() returns at once. An owner that
  // must stay responsive (a closing window) polls Idle() meanwhile, so a
  // walker held up by a slow folder never freezes it.
  void StopAll();
  bool Idle() const;
  // Owning thread: false while rows or a status that a run handed over still
  // wait for DeliverPending (an ended run's last rows among them).
  bool AllDelivered() const;

  // Owning thread: appends the rows that the current run produced, until
  // `deadline`, and shows its latest status (but a keyword's turn, only once
  // every row is in: it counts them). Rows of an earlier run are dropped.
  // True while rows are still waiting: the owner comes back for them after
  // serving its input.
  bool DeliverPending(RunDisplay& display,
                      std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quellor::search
