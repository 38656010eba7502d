// What a quellor-find run does once its search has ended, each step naming
// its failures on standard error and saying whether it did all it was asked.
#pragma once

#include <string>
#include <vector>

#include "cli/find_options.h"
#include "cli/ledger.h"
#include "files/names_file.h"
#include "search/run_sink.h"
#include "text/charset.h"

namespace quellor::cli {

// The hits per name (-c), then whether standard output took everything
// (`rows_refused`: a row already failed).
bool FinishStandardOutput(const FindOptions& options, const files::NamesFile& file, const std::vector<NameOutcome>& outcomes,
                          bool rows_refused);

// Copies or moves `rows` into `folder` ("" for neither), as the options say.
bool Transfer(const FindOptions& options, const std::string& folder, const std::vector<search::FoundRow>& rows,
              const text::Charset& cs);

// The names that found nothing (--not-found), and the ledger (--ledger);
// each only when asked for. `outcomes` runs parallel to `file.names`.
bool WriteNotFound(const FindOptions& options, const files::NamesFile& file, const std::vector<NameOutcome>& outcomes);
bool WriteLedger(const FindOptions& options, const files::NamesFile& file, const std::vector<NameOutcome>& outcomes);

// Every hit as a CSV row (--export), only when asked for. `row_keywords` runs
// parallel to `rows`, indexing `keywords`. Each item is looked at for its size
// and time as its row is written, unless the rows name items inside a
// `volume` rather than on this system.
bool WriteExport(const FindOptions& options, const std::vector<search::FoundRow>& rows,
                 const std::vector<std::size_t>& row_keywords, const std::vector<std::string>& keywords, bool volume);

}  // namespace quellor::cli
