// The names a quellor-find run searches for: its names file, read from a file
// or standard input, and which of its lines are searched for.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "files/names_file.h"

namespace quellor::cli {

struct SearchedNames {
  files::NamesFile file;
  std::vector<std::string> keywords;  // the names searched for, in file order
  // Parallel to file.names: the keyword a line became; none for a name that
  // cannot be searched for.
  std::vector<std::optional<std::size_t>> keyword_of_line;
};

struct NamesRead {
  std::optional<SearchedNames> names;
  std::string error;  // a usage error, set when names is empty
};

// Reads `path` ("-": standard input). A name that cannot be searched for is
// named on `err` and reported as not found, never dropped or garbled.
NamesRead ReadSearchedNames(const std::string& path, std::FILE* err);

}  // namespace quellor::cli
