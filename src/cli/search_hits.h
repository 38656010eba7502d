// quellor-find's search: one run through the search engine, as the window
// starts it, its reports going to quellor-find's chain of sinks (rows kept
// for a copy or move, hits counted per name, rows and texts printed).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "cli/find_options.h"
#include "cli/ledger.h"
#include "ntfs/volume_index.h"
#include "search/run_sink.h"
#include "text/charset.h"

namespace quellor::cli {

struct Hits {
  std::vector<NameOutcome> by_keyword;  // parallel to the keywords searched for
  std::vector<search::FoundRow> rows;   // every hit, in order; kept only when asked for
  std::vector<std::size_t> row_keywords;  // parallel to rows: the keyword that found each
  bool write_failed = false;            // standard output did not take every row
  std::size_t folders_not_read = 0;
  std::size_t paths_not_printed = 0;    // the output's code page cannot write them
};

// Searches the roots of `options` (warning on standard error of any that is
// not a folder) for `keywords`, printing as the options say; the finished
// text is written before it returns. No keywords: nothing is searched.
// With `volume`, that volume is searched through its index instead.
Hits SearchHits(const FindOptions& options, const std::vector<std::string>& keywords, bool keep_rows,
                const text::Charset& cs, std::shared_ptr<const ntfs::VolumeIndex> volume = nullptr);

}  // namespace quellor::cli
