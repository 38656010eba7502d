// The original per-keyword search, written plainly and slowly as the oracle
// of the engine: in every folder, one pass over the folder per keyword.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "search/match_rules.h"
#include "search/run_sink.h"

namespace quellor::search::testing {

class ReferenceSearch {
 public:
  ReferenceSearch(std::vector<std::string> keywords, MatchRules rules, char separator, RunSink& sink,
                  const std::atomic<bool>& stop)
      : keywords_(std::move(keywords)), rules_(rules), separator_(separator), sink_(sink), stop_(stop) {}

  void FileRun(const std::vector<std::string>& roots);
  void FolderRun(const std::vector<std::string>& roots);

 private:
  struct Entry {
    std::string name;
    platform::PathKind kind;  // the entry itself, a link not followed
    bool is_folder;
    bool real_folder;
  };
  std::vector<Entry> Entries(const std::string& folder) const;
  std::string Join(const std::string& folder, const std::string& name) const;
  void Walk(const std::string& folder);
  void Collect(const std::string& folder, std::vector<FoundRow>& out) const;

  std::vector<std::string> keywords_;
  MatchRules rules_;
  char separator_;
  RunSink& sink_;
  const std::atomic<bool>& stop_;
};

}  // namespace quellor::search::testing
