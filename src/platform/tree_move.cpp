// Moves that are more than one rename: into a folder that is already there,
// and to another volume, where a move is a copy and a removal, and the
// removal takes only what the copy took.
#include <algorithm>

#include "platform/operation_steps.h"

namespace quellor::platform::steps {

namespace {

bool SameAsListed(const ItemState& now, const ItemState& listed) {
  return now.kind == listed.kind && now.size == listed.size && now.modified == listed.modified;
}

// The files, links and folders below `path`.
std::size_t EntriesBelow(const Context& context, const std::string& path) {
  std::size_t count = 0;
  std::vector<FolderItem> items;
  if (context.system.Look(path).kind != PathKind::Folder || context.system.List(path, items) != 0) return count;
  for (const FolderItem& item : items) {
    ++count;
    if (item.state.kind == PathKind::Folder) count += EntriesBelow(context, context.Join(path, item.name));
  }
  return count;
}

OperationResult GoneOrLeft(const Context& context, const std::string& source) {
  if (context.system.Look(source).kind == PathKind::Missing) return OperationResult{ItemOutcome::Done, 0, 0, {}};
  // A source that could not be removed, though nothing is left in it, is one entry left.
  return OperationResult{ItemOutcome::PartlyMoved, 0, std::max<std::size_t>(1, EntriesBelow(context, source)), {}};
}

// The copy is whole when every file and link copied is at its target with its size.
const TreeCopy::Copied* FirstNotWhole(const Context& context, const TreeCopy& copy) {
  for (const TreeCopy::Copied& entry : copy.copied()) {
    const ItemState there = context.system.Look(entry.target);
    if (there.kind != entry.state.kind || there.size != entry.state.size) return &entry;
  }
  return nullptr;
}

}  // namespace

OperationResult MoveAcrossVolumes(const Context& context, const std::string& source, const ItemState& state,
                                  const std::string& target, bool merging) {
  TreeCopy copy(context);
  copy.Copy(source, state, target, merging);
  const TreeCopy::Copied* short_entry = copy.problems().Any() ? nullptr : FirstNotWhole(context, copy);
  if (copy.problems().Any() || short_entry != nullptr) {
    RemoveCreated(context, copy.created());
    if (short_entry != nullptr) return OperationResult{ItemOutcome::NotWhole, 0, 0, short_entry->target};
    return copy.problems().First();
  }

  // Only what was copied as it is now goes; what changed or appeared since
  // stays. A copy of what changed is no longer the file: where the copy made
  // it new, it goes, so the file is whole in one place only.
  for (const TreeCopy::Copied& entry : copy.copied()) {
    const ItemState now = context.system.Look(entry.source);
    if (SameAsListed(now, entry.state)) {
      context.system.Remove(entry.source, now);
    } else if (entry.created) {
      const ItemState copy_now = context.system.Look(entry.target);
      if (copy_now.kind == entry.state.kind && copy_now.size == entry.state.size) {
        context.system.Remove(entry.target, copy_now);
      }
    }
  }
  for (const auto& [folder, listed] : copy.folders()) {
    const ItemState now = context.system.Look(folder);
    if (now.kind == PathKind::Folder) context.system.Remove(folder, now);
  }
  return GoneOrLeft(context, source);
}

OperationResult MergeMove(const Context& context, const std::string& source, const std::string& target) {
  std::vector<FolderItem> items;
  const int listed = context.system.List(source, items);
  if (listed != 0) return ResultOfCode(listed, source);
  Problems problems;
  for (const FolderItem& item : items) {
    const std::string from = context.Join(source, item.name);
    const std::string to = context.Join(target, item.name);
    const ItemState there = context.system.Look(to);
    if (there.kind == PathKind::Folder && item.state.kind == PathKind::Folder) {
      // What stayed below is counted once this folder is left.
      const OperationResult below = MergeMove(context, from, to);
      if (below.outcome != ItemOutcome::PartlyMoved) problems.Note(below.outcome, below.where, below.code);
      continue;
    }
    // CheckMerge saw the target; what changed since is refused, never written over.
    if (there.kind == PathKind::Link) {
      problems.Note(ItemOutcome::LinkAtTarget, to);
      continue;
    }
    const bool replace = there.kind == PathKind::File && item.state.kind == PathKind::File;
    if (there.kind != PathKind::Missing && !replace) {
      problems.Note(ItemOutcome::TargetTaken, to);
      continue;
    }
    if (replace && context.IsFoundItem(to)) {
      problems.Note(ItemOutcome::TargetIsItem, to);
      continue;
    }
    const int renamed = context.system.Rename(from, item.state, to, replace);
    if (renamed == kOtherVolume) {
      const OperationResult across = MoveAcrossVolumes(context, from, item.state, to, replace);
      if (!across.Done() && across.outcome != ItemOutcome::PartlyMoved) {
        problems.Note(across.outcome, across.where.empty() ? from : across.where, across.code);
      }
      continue;
    }
    problems.NoteCode(renamed, renamed == kTargetTaken ? to : from);
  }
  if (problems.Any()) return problems.First();
  // Emptied, it goes; what another program put there meanwhile stays, and the folder with it.
  context.system.Remove(source, context.system.Look(source));
  return GoneOrLeft(context, source);
}

}  // namespace quellor::platform::steps
