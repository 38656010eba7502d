#include "search/index_walk.h"

#include <vector>

namespace quellor::search {

namespace {

struct Frame {
  std::string path;
  std::uint32_t next;  // the next of its names to look at
  std::uint32_t end;
};

platform::PathKind KindOf(const ntfs::VolumeIndex::Child& child) {
  if (child.link) return platform::PathKind::Link;
  return child.folder ? platform::PathKind::Folder : platform::PathKind::File;
}

}  // namespace

void IndexWalk::Walk(const std::string& root, FolderVisitor& visitor) {
  std::vector<bool> entered(index_.RecordCount());
  platform::FolderListing listing;
  const auto list = [&](std::uint32_t folder, const std::string& path) {
    listing.Clear();
    if (!platform::PathWithinLimit(path)) {
      listing.SetProblem(platform::ReadProblem::TooLong);
      return false;
    }
    entered[folder] = true;
    if (rights_ && !rights_->MayList(folder, path)) {
      listing.SetProblem(platform::ReadProblem::Unreadable);
      return false;
    }
    for (std::uint32_t i = index_.ChildrenBegin(folder); i < index_.ChildrenEnd(folder); ++i) {
      const ntfs::VolumeIndex::Child child = index_.ChildAt(i);
      listing.Add(child.name, child.alias, KindOf(child), child.folder,
                  child.folder && !child.link && !entered[child.record]);
    }
    return true;
  };

  std::vector<Frame> stack;
  const std::uint32_t root_record = ntfs::VolumeIndex::kRootRecord;
  if (root_record >= index_.RecordCount()) {
    listing.Clear();
    if (visitor.Enter(root, listing)) visitor.Leave(root);
    return;
  }
  const bool root_listed = list(root_record, root);
  if (!visitor.Enter(root, listing)) return;
  stack.push_back(Frame{root, root_listed ? index_.ChildrenBegin(root_record) : 0,
                        root_listed ? index_.ChildrenEnd(root_record) : 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next < top.end) {
      const ntfs::VolumeIndex::Child child = index_.ChildAt(top.next++);
      if (!child.folder) continue;
      if (child.link || entered[child.record]) {
        visitor.PassOver(top.path, child.name, KindOf(child));
        continue;
      }
      std::string path = join_(top.path, child.name);
      const bool listed = list(child.record, path);
      if (visitor.Enter(path, listing)) {
        stack.push_back(Frame{std::move(path), listed ? index_.ChildrenBegin(child.record) : 0,
                              listed ? index_.ChildrenEnd(child.record) : 0});
        continue;
      }
    } else {
      std::string done = std::move(top.path);
      stack.pop_back();
      visitor.Leave(std::move(done));
      if (stack.empty()) break;
    }
    if (visitor.StopRequested()) {
      visitor.Stopped(stack.size());
      break;
    }
  }
}

}  // namespace quellor::search
