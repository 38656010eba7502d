// The ledger of a quellor-find run: one CSV row per name of the names file,
// in its order, with the name's line, its number of hits and its first hit,
// as a spreadsheet opens it with Chinese intact (files/csv_text.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/names_file.h"
#include "search/run_sink.h"

namespace quellor::cli {

struct NameOutcome {
  std::size_t hits = 0;
  std::string first_hit;  // in the platform's name encoding; empty without hits
};

// Counts every keyword's hits and keeps its first one, and passes every
// report on.
class HitTally : public search::ForwardingSink {
 public:
  HitTally(search::RunSink& next, std::size_t keywords) : ForwardingSink(next), outcomes_(keywords) {}
  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                    const platform::EntryFacts& facts) override {
    NameOutcome& outcome = outcomes_[keyword];
    if (outcome.hits++ == 0) outcome.first_hit = path;
    ForwardingSink::AddResultRow(path, kind, keyword, facts);
  }

  std::vector<NameOutcome> TakeOutcomes() { return std::move(outcomes_); }

 private:
  std::vector<NameOutcome> outcomes_;
};

// A header row, then a row per name: name, line, hits, first hit, and why the
// name was not searched for (empty when it was). `outcomes` runs parallel to
// `file.names`.
std::string LedgerText(const files::NamesFile& file, const std::vector<NameOutcome>& outcomes);

}  // namespace quellor::cli
