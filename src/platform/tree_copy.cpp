// A copy of a file, a link or a folder tree, into a new place or merged into
// what is there. Each file goes through the system's copy, which writes it
// under a temporary name and gives it its own only when whole.
#include "platform/operation_steps.h"

namespace quellor::platform::steps {

void TreeCopy::Copy(const std::string& source, const ItemState& state, const std::string& target, bool merging) {
  switch (state.kind) {
    case PathKind::File:
      CopyFile(source, state, target, merging);
      break;
    case PathKind::Link:
      CopyLink(source, state, target, merging);
      break;
    case PathKind::Folder:
      CopyFolder(source, state, target, merging);
      break;
    case PathKind::Special:
      problems_.Note(ItemOutcome::SpecialFile, source);
      break;
    case PathKind::Missing:
      problems_.Note(ItemOutcome::SourceMissing, source);
      break;
    case PathKind::Unknown:
      problems_.Note(ItemOutcome::Failed, source, state.error);
      break;
  }
}

std::optional<bool> TreeCopy::ExistingTarget(const std::string& target, PathKind kind) {
  // CheckMerge saw the target; it is looked at again where it is written.
  const ItemState there = context_.system.Look(target);
  if (there.kind == PathKind::Missing) return false;
  // A link is never written through, nor replaced; nothing replaces an item of another kind.
  if (there.kind == PathKind::Link) {
    problems_.Note(ItemOutcome::LinkAtTarget, target);
  } else if (there.kind != kind || kind == PathKind::Special) {
    problems_.Note(ItemOutcome::TargetTaken, target);
  } else if (context_.IsFoundItem(target)) {
    problems_.Note(ItemOutcome::TargetIsItem, target);
  } else {
    return true;
  }
  return std::nullopt;
}

void TreeCopy::CopyFile(const std::string& source, const ItemState& state, const std::string& target, bool merging) {
  const std::optional<bool> replace = merging ? ExistingTarget(target, PathKind::File) : false;
  if (!replace) return;
  ItemState copied;
  const int code = context_.system.CopyFile(source, state, target, *replace, copied);
  if (code != 0) return problems_.NoteCode(code, code == kTargetTaken ? target : source);
  if (!*replace) created_.push_back(target);
  copied_.push_back(Copied{source, target, copied, !*replace});
}

void TreeCopy::CopyLink(const std::string& source, const ItemState& state, const std::string& target, bool merging) {
  const std::optional<bool> there = merging ? ExistingTarget(target, PathKind::Link) : false;
  if (!there) return;
  const int code = context_.system.CopyLink(source, target);
  if (code != 0) return problems_.NoteCode(code, code == kTargetTaken ? target : source);
  created_.push_back(target);
  copied_.push_back(Copied{source, target, state, true});
}

void TreeCopy::CopyFolder(const std::string& source, const ItemState& state, const std::string& target,
                          bool merging) {
  const std::optional<bool> into_existing = merging ? ExistingTarget(target, PathKind::Folder) : false;
  if (!into_existing) return;
  if (!*into_existing) {
    const int created = context_.system.CreateFolder(target);
    if (created != 0) return problems_.NoteCode(created, target);
    created_.push_back(target);
  }
  std::vector<FolderItem> items;
  problems_.NoteCode(context_.system.List(source, items), source);
  const std::vector<bool> twins = context_.CaseTwins(items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string from = context_.Join(source, items[i].name);
    // The target would take it for the one before it: the second would replace the first.
    if (twins[i]) {
      problems_.Note(ItemOutcome::NamesDifferOnlyByCase, from);
      continue;
    }
    Copy(from, items[i].state, context_.Join(target, items[i].name), *into_existing);
  }
  folders_.emplace_back(source, state);
  // A folder merged into keeps its own time.
  if (!*into_existing) problems_.NoteCode(context_.system.CopyFolderTimes(source, target), target);
}

}  // namespace quellor::platform::steps
