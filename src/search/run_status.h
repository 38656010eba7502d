// Where a run stands, as a value: the engine hands it to its display, and the
// window's commands and quellor-find each put it into words of their own.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace quellor::search {

// Why a root whose volume's index was wanted was walked folder by folder.
enum class WalkReason {
  NoRights,      // reading a volume needs an administrator's rights, which the program does not have
  Declined,      // the user chose the walk, or declined the system's prompt
  HelperFailed,  // the program reading with those rights could not be started or ended
  ReadFailed,    // the volume's table of files could not be read
};

struct WalkedRoot {
  std::string root;
  WalkReason reason;
};

struct RunStatus {
  enum class Stage {
    KeywordSearched,  // a keyword has had its turn in a folder
    FileRunEnded,     // also where a file-name run saw a stop request
    FolderRunStarted,
    FolderRunEnded,   // stopped or not
    VolumeBeingRead,  // a root's volume's table of files is being read before its walk
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
  // The ends: the roots walked although their volume's index was wanted.
  std::span<const WalkedRoot> walked = {};
  // VolumeBeingRead: the root and how much of its table was read, 0 to 100;
  // valid while the status is handed on.
  std::string_view root = {};
  int percent = 0;
};

}  // namespace quellor::search
