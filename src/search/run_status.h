// Where a run stands, as a value: the engine hands it to its display, and the
// window's commands and quellor-find each put it into words of their own.
#pragma once

#include <cstddef>
#include <string_view>

namespace quellor::search {

struct RunStatus {
  enum class Stage {
    KeywordSearched,  // a keyword has had its turn in a folder
    FileRunEnded,     // also where a file-name run saw a stop request
    FolderRunStarted,
    FolderRunEnded,   // stopped or not
  };
  Stage stage;
  // KeywordSearched: the keyword whose turn it was; valid while the status is handed on.
  std::string_view keyword = {};
  // The ends: the rows found, and the folders that could not be read, each
  // counted once.
  int rows = 0;
  std::size_t folders_not_read = 0;
  // The ends: the run was stopped because no more rows could be held; the
  // rows found until then are kept.
  bool out_of_memory = false;
};

}  // namespace quellor::search
