#include "search/folder_walk.h"

#include <utility>
#include <vector>

namespace quellor::search {

namespace {

struct Child {
  std::string name;
  platform::PathKind kind;
  bool enterable;
  SubtreeJobPtr job;  // the reader of its subtree, when one was assigned
};

struct Frame {
  std::string path;
  std::vector<Child> children;  // every subfolder, in listing order
  std::size_t next = 0;
  // The job whose listings are this folder's subfolders and everything below
  // them; null when the walk read this folder itself.
  SubtreeJobPtr source;
  std::size_t assigned_from = 0;  // children from here on have a reader
};

void ListChildren(const platform::FolderListing& listing, Frame& frame) {
  for (std::size_t i = 0; i < listing.size(); ++i) {
    const platform::FolderEntry entry = listing[i];
    if (entry.is_folder) {
      frame.children.push_back(Child{std::string(entry.name), entry.kind, entry.enterable, nullptr});
    }
  }
  frame.assigned_from = frame.children.size();
}

// Hands the far half of the unassigned subfolders of `frame` (never those in
// [0, first)) to a free reader. False when there was none to hand.
bool AssignFarHalf(SubtreeReaders& readers, const SubtreeReaders::JoinPath& join, Frame& frame, std::size_t first) {
  std::vector<std::size_t> open;
  for (std::size_t i = first; i < frame.assigned_from; ++i) {
    if (frame.children[i].enterable) open.push_back(i);
  }
  if (open.empty()) return false;
  const std::size_t from = open[open.size() / 2];
  std::vector<PendingFolder> folders;
  for (std::size_t i = frame.assigned_from; i-- > from;) {
    if (frame.children[i].enterable) folders.push_back(PendingFolder{join(frame.path, frame.children[i].name), {}});
  }
  SubtreeJobPtr job = readers.Assign(folders);
  if (!job) return false;
  for (std::size_t i = from; i < frame.assigned_from; ++i) {
    if (frame.children[i].enterable) frame.children[i].job = job;
  }
  frame.assigned_from = from;
  return true;
}

// Free readers take work nearest the root first: the largest stretches.
// The folder the walk enters next stays with the walk.
bool AssignOneFreeReader(SubtreeReaders& readers, const SubtreeReaders::JoinPath& join, std::vector<Frame>& stack) {
  const SubtreeJob* handled = nullptr;
  for (std::size_t level = 0; level < stack.size(); ++level) {
    Frame& frame = stack[level];
    if (frame.source == nullptr) {
      const std::size_t first = level + 1 == stack.size() ? frame.next + 1 : frame.next;
      if (AssignFarHalf(readers, join, frame, first)) return true;
    } else if (frame.source.get() != handled && SubtreeReaders::Returned(*frame.source)) {
      handled = frame.source.get();
      if (readers.AssignReturned(*frame.source)) return true;
    }
  }
  return false;
}

void AssignFreeReaders(SubtreeReaders& readers, const SubtreeReaders::JoinPath& join, std::vector<Frame>& stack) {
  bool assigned = true;
  while (readers.ReaderFree() && (assigned = AssignOneFreeReader(readers, join, stack))) {
  }
  if (!assigned) readers.WalkHasWork(false);
}

}  // namespace

void FolderWalk::Walk(const std::string& root, FolderVisitor& visitor) {
  const ReadFolder read = open_(root);
  SubtreeReaders readers(root, join_, limits_, open_);
  ReadTally tally;
  platform::FolderListing listing;

  std::vector<Frame> stack(1);
  readers.TimedRead(read, root, listing, tally);
  if (!visitor.Enter(root, listing)) return;
  stack.back().path = root;
  ListChildren(listing, stack.back());
  readers.WalkHasWork(stack.back().children.size() >= 2);
  readers.Adjust();
  while (!stack.empty()) {
    if (readers.ReaderFree()) AssignFreeReaders(readers, join_, stack);
    Frame& top = stack.back();
    if (top.next < top.children.size()) {
      Child& child = top.children[top.next++];
      if (!child.enterable) {
        visitor.PassOver(top.path, child.name, child.kind);
        continue;
      }
      std::string path = join_(top.path, child.name);
      SubtreeJobPtr job = top.source != nullptr ? top.source : std::move(child.job);
      while (job != nullptr) {
        SubtreeReaders::Step step = readers.Next(*job, listing);
        if (step.kind == SubtreeReaders::Step::Listing) break;
        job = std::move(step.job);
      }
      if (job == nullptr) readers.TimedRead(read, path, listing, tally);
      if (visitor.Enter(path, listing)) {
        Frame frame;
        frame.path = std::move(path);
        frame.source = std::move(job);
        ListChildren(listing, frame);
        if (frame.source == nullptr ? frame.children.size() >= 2 : SubtreeReaders::Returned(*frame.source)) {
          readers.WalkHasWork(true);
        }
        stack.push_back(std::move(frame));
        // The listing times decide the readers; on a share, within a listing or two.
        readers.Adjust();
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
