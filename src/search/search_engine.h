// The search engine: one run at a time, walking its roots on worker threads
// and handing rows and status texts to the window thread in batches.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "search/match_rules.h"
#include "text/charset.h"

namespace quellor::search {

class SearchEngine {
 public:
  // `wake` is called from worker threads when rows or texts wait for
  // DeliverPending; it must return at once (the window posts itself a message).
  explicit SearchEngine(std::function<void()> wake);
  ~SearchEngine();  // StopAndWait
  SearchEngine(const SearchEngine&) = delete;
  SearchEngine& operator=(const SearchEngine&) = delete;

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

  // Window thread: appends the rows that the current run produced, until
  // `deadline`, and writes its latest status text (a finished text only once
  // every row is in). Rows of an earlier run are dropped. True while rows are
  // still waiting: the window comes back for them after serving its input.
  bool DeliverPending(platform::Controls& controls,
                      std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());

  struct Impl;

 private:
  friend void StartSearch(platform::Controls&, SearchEngine&, struct SearchServices&);
  std::unique_ptr<Impl> impl_;
};

struct SearchServices {
  platform::Dialogs& dialogs;
  const text::Charset& charset;
  // The roots of a whole-computer search.
  std::function<std::vector<std::string>()> whole_computer_roots;
};

// The command of 按钮_立即搜索: checks the request, cleans the keyword box,
// empties the result list and starts a run (stopping the one before it).
void StartSearch(platform::Controls& controls, SearchEngine& engine, SearchServices& services);

// The command of 按钮_停止搜索.
void StopSearch(platform::Controls& controls, SearchEngine& engine);

}  // namespace quellor::search
