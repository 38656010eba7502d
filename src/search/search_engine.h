// The search engine: one run at a time, walking its roots on worker threads
// and handing rows and status texts to the window thread in batches.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "search/match_rules.h"
#include "search/search_run.h"

namespace quellor::search {

// Where the window thread puts what a run found: the result list and the status line.
class RunDisplay {
 public:
  virtual ~RunDisplay() = default;
  virtual void AppendRows(const std::vector<std::string>& rows) = 0;
  virtual int RowCount() const = 0;
  virtual void SetStatusText(std::string_view text) = 0;
};

class SearchEngine {
 public:
  // `wake` is called from worker threads when rows or texts wait for
  // DeliverPending; it must return at once (the window posts itself a message).
  explicit SearchEngine(std::function<void()> wake);
  ~SearchEngine();  // StopAndWait
  SearchEngine(const SearchEngine&) = delete;
  SearchEngine& operator=(const SearchEngine&) = delete;

  // Stops the current run (its rows are dropped from here on) and starts one
  // for `request`. A file-name request without roots ends at once.
  void Start(RunRequest request, RunSettings settings);
  // Mirrors the match-mode radio buttons; a running search uses it from the
  // next folder or keyword on.
  void SetMatchMode(MatchMode mode);
  // Mirrors the stop caption: the running search stops at its next check.
  void RequestStop();
  // Stops the current run and returns once its threads have ended. Workers
  // never wait for the window, so this cannot deadlock on the window thread.
  void StopAndWait();
  // True while the current run has not ended.
  bool Running() const;
  // Asks every run still working (the current one and any earlier one not yet
  // ended) to stop; StopAndWait after Idle() returns at once. A window that
  // is closing keeps handling its messages until then, so a walker held up by
  // a slow folder never freezes it.
  void StopAll();
  bool Idle() const;

  // Window thread: appends the rows and writes the latest status text that the
  // current run produced. Rows of an earlier run are dropped.
  void DeliverPending(RunDisplay& display);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quellor::search
