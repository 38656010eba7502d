// quellor-find's command line, checked once into a plain structure.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/match_rules.h"

namespace quellor::cli {

struct FindOptions {
  search::MatchMode mode = search::MatchMode::Exact;
  search::NameKind kind = search::NameKind::Files;
  std::string names_file = "-";  // "-": standard input
  bool whole_computer = false;
  std::vector<std::string> roots;  // as given; none means the current folder
  std::string volume;              // an NTFS volume (image or device) read from its table instead
  // --index auto: a whole-computer search reads each fixed NTFS drive's table
  // of files where this process may open the drive; off: it walks them all.
  bool read_indexes = true;
  bool null_separated = false;
  bool count_per_name = false;
  bool quiet = false;
  bool utf8 = false;  // paths (and names) on a file or pipe as UTF-8
  bool help = false;
  bool version = false;
  // Actions on the hits, after the search.
  std::string copy_to;         // copy every hit into this folder
  std::string move_to;         // move every hit into this folder
  bool rename_on_clash = false;
  std::string not_found_file;  // write the names that found nothing here
  std::string ledger_file;     // write a CSV row per name here
  std::string export_file;     // write a CSV row per hit here
  // The journal of the copy or move batch; empty: the one beside the program.
  std::string journal_file;
  bool undo = false;  // take the journal's batch back instead of searching
};

struct ParsedOptions {
  std::optional<FindOptions> options;
  std::string error;  // set when options is empty
};

ParsedOptions ParseFindOptions(const std::vector<std::string_view>& args);

std::string FindHelpText();

}  // namespace quellor::cli
