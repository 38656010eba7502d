// What the file operations' steps share: the file system they act through,
// what they may not write over, and the first problem met. Inside the file
// operations only (file_operations.h is their interface).
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/item_outcome.h"

namespace quellor::platform::steps {

struct Context {
  FileSystem& system;
  // What no step may write over or merge into; may be null.
  const std::set<FileIdentity>* found_items;

  std::string Join(const std::string& folder, std::string_view name) const;
  // True when the item at `path` (which exists) is a found item.
  bool IsFoundItem(const std::string& path) const;
  // One entry per item of `items` (listed from one folder): true for each
  // that the system would take for an earlier one, its name differing from
  // it only by letter case.
  std::vector<bool> CaseTwins(const std::vector<FolderItem>& items) const;
};

// The first problem of a step that goes on past problems (a folder whose
// other items are still worth copying).
class Problems {
 public:
  void Note(ItemOutcome outcome, const std::string& where, int code = 0);
  // A call's code: 0 is no problem; the codes the calls share are told apart.
  void NoteCode(int code, const std::string& where);
  bool Any() const { return any_; }
  const OperationResult& First() const { return first_; }

 private:
  bool any_ = false;
  OperationResult first_;
};

// What a call's code means for the item.
OperationResult ResultOfCode(int code, const std::string& where);

// What is in the way of a copy or move of `source` (a folder) merged into the
// folder `target`, at any depth, before anything is written: a link, a found
// item, an item of another kind, two names the target takes for one. Done
// when nothing is.
OperationResult CheckMerge(const Context& context, const std::string& source, const std::string& target);

// A copy of `source` (as `state` saw it) to `target`, where nothing is or,
// with `merging`, into what is there (CheckMerge first). Goes on past a
// problem; remembers what it created and what it copied, for a move.
class TreeCopy {
 public:
  struct Copied {
    std::string source;
    std::string target;
    ItemState state;  // the source as the copy took it
    bool created;     // a new file at the target, not one put over an older one
  };

  explicit TreeCopy(const Context& context) : context_(context) {}
  void Copy(const std::string& source, const ItemState& state, const std::string& target, bool merging);

  const Problems& problems() const { return problems_; }
  // Files and links copied, in the order they were.
  const std::vector<Copied>& copied() const { return copied_; }
  // Source folders entered, each after every folder inside it.
  const std::vector<std::pair<std::string, ItemState>>& folders() const { return folders_; }
  // What the copy created at the target (not what it replaced), in order.
  const std::vector<std::string>& created() const { return created_; }

 private:
  // Where a copy merges, what is at `target` for an item of `kind`: nothing
  // (false), one of that kind to replace or merge into (true), or something
  // in the way, noted (nullopt).
  std::optional<bool> ExistingTarget(const std::string& target, PathKind kind);
  void CopyFile(const std::string& source, const ItemState& state, const std::string& target, bool merging);
  void CopyLink(const std::string& source, const ItemState& state, const std::string& target, bool merging);
  void CopyFolder(const std::string& source, const ItemState& state, const std::string& target, bool merging);

  const Context& context_;
  Problems problems_;
  std::vector<Copied> copied_;
  std::vector<std::pair<std::string, ItemState>> folders_;
  std::vector<std::string> created_;
};

// Removes `path` (as `state` saw it) with all it holds, never leaving its
// tree: a link inside is removed, never gone through.
OperationResult RemoveTree(const Context& context, const std::string& path, const ItemState& state);

// Removes what a failed copy created, the last first; what is no longer as
// it was created (a file put there meanwhile) stays.
void RemoveCreated(const Context& context, const std::vector<std::string>& created);

// A move of `source` to another volume: copied (into what is at `target`
// with `merging`), the copy seen whole, then only the entries that were
// copied and are still as they were removed from the source. A copy that
// fails is taken back.
OperationResult MoveAcrossVolumes(const Context& context, const std::string& source, const ItemState& state,
                                  const std::string& target, bool merging);

// A move of the folder `source` into the folder `target` on one volume
// (CheckMerge first): what the target lacks is renamed into it, files it
// holds replaced, folders merged.
OperationResult MergeMove(const Context& context, const std::string& source, const std::string& target);

}  // namespace quellor::platform::steps
