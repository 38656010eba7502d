// Removal of an item and all it holds, never beyond it: every entry is
// removed as what it is, a link as a link.
#include "platform/operation_steps.h"

namespace quellor::platform::steps {

namespace {

void RemoveInto(const Context& context, const std::string& path, const ItemState& state, Problems& problems) {
  if (state.kind == PathKind::Folder) {
    std::vector<FolderItem> items;
    problems.NoteCode(context.system.List(path, items), path);
    for (const FolderItem& item : items) RemoveInto(context, context.Join(path, item.name), item.state, problems);
  }
  problems.NoteCode(context.system.Remove(path, state), path);
}

}  // namespace

OperationResult RemoveTree(const Context& context, const std::string& path, const ItemState& state) {
  Problems problems;
  RemoveInto(context, path, state, problems);
  return problems.Any() ? problems.First() : OperationResult{ItemOutcome::Done, 0, 0, {}};
}

void RemoveCreated(const Context& context, const std::vector<std::string>& created) {
  for (auto path = created.rbegin(); path != created.rend(); ++path) {
    const ItemState state = context.system.Look(*path);
    // A folder holding what another program put there meanwhile stays, and that with it.
    if (state.kind != PathKind::Missing) context.system.Remove(*path, state);
  }
}

}  // namespace quellor::platform::steps
