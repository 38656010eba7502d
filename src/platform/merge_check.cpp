// What stops a folder from being merged into another: looked for before
// anything is written, so a refused item leaves both places as they were.
#include "platform/operation_steps.h"

namespace quellor::platform::steps {

OperationResult CheckMerge(const Context& context, const std::string& source, const std::string& target) {
  if (context.IsFoundItem(target)) return OperationResult{ItemOutcome::TargetIsItem, 0, 0, target};
  std::vector<FolderItem> items;
  const int listed = context.system.List(source, items);
  if (listed != 0) return ResultOfCode(listed, source);
  const std::vector<bool> twins = context.CaseTwins(items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const FolderItem& item = items[i];
    const std::string from = context.Join(source, item.name);
    if (twins[i]) return OperationResult{ItemOutcome::NamesDifferOnlyByCase, 0, 0, from};
    const std::string to = context.Join(target, item.name);
    const ItemState there = context.system.Look(to);
    if (there.kind == PathKind::Missing) continue;
    if (there.kind == PathKind::Unknown) return OperationResult{ItemOutcome::Failed, there.error, 0, to};
    if (there.kind == PathKind::Link) return OperationResult{ItemOutcome::LinkAtTarget, 0, 0, to};
    // A link is never put where something is, nor anything where an item of another kind is.
    if (item.state.kind != there.kind || (there.kind != PathKind::File && there.kind != PathKind::Folder)) {
      return OperationResult{ItemOutcome::TargetTaken, 0, 0, to};
    }
    if (there.kind == PathKind::File) {
      if (context.IsFoundItem(to)) return OperationResult{ItemOutcome::TargetIsItem, 0, 0, to};
      continue;
    }
    const OperationResult below = CheckMerge(context, from, to);
    if (!below.Done()) return below;
  }
  return OperationResult{ItemOutcome::Done, 0, 0, {}};
}

}  // namespace quellor::platform::steps
