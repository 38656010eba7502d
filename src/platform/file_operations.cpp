#include "platform/file_operations.h"

#include "platform/operation_steps.h"
#include "platform/tree_content.h"

namespace quellor::platform {

namespace {

OperationResult Outcome(ItemOutcome outcome, std::string where = {}) {
  return OperationResult{outcome, 0, 0, std::move(where)};
}

class RuleFileOperations final : public FileOperations {
 public:
  explicit RuleFileOperations(FileSystem& system) : system_(system) {}

  OperationResult Copy(const std::string& source, PathKind found_as, const std::string& target, OnClash clash,
                       const std::set<FileIdentity>* found_items) override {
    return OfItem(Transfer(false, source, found_as, target, clash, found_items), source);
  }

  OperationResult Move(const std::string& source, PathKind found_as, const std::string& target, OnClash clash,
                       const std::set<FileIdentity>* found_items) override {
    return OfItem(Transfer(true, source, found_as, target, clash, found_items), source);
  }

  OperationResult Remove(const std::string& path, PathKind found_as) override {
    const ItemState state = system_.Look(path);
    if (const std::optional<OperationResult> refused = RefusedSource(state, found_as)) return *refused;
    const steps::Context context{system_, nullptr};
    return OfItem(steps::RemoveTree(context, path, state), path);
  }

  PathKind KindOf(const std::string& path) const override { return system_.Look(path).kind; }
  ItemState StateOf(const std::string& path) const override { return system_.Look(path); }
  std::optional<FileIdentity> IdentityOf(const std::string& path) const override { return system_.IdentityOf(path); }
  std::optional<TreeContent> ContentOf(const std::string& path) const override { return ContentAt(system_, path); }
  std::string RealPath(const std::string& path) const override { return system_.RealPath(path); }
  char Separator() const override { return system_.Separator(); }

 private:
  // What happened to the item itself names no path inside it.
  static OperationResult OfItem(OperationResult result, const std::string& item) {
    if (result.where == item) result.where.clear();
    return result;
  }

  // An item that is not there, or not the one that was found, is left alone.
  static std::optional<OperationResult> RefusedSource(const ItemState& state, PathKind found_as) {
    if (state.kind == PathKind::Missing) return Outcome(ItemOutcome::SourceMissing);
    if (state.kind == PathKind::Unknown) return OperationResult{ItemOutcome::Failed, state.error, 0, {}};
    if (found_as != PathKind::Unknown && state.kind != found_as) return Outcome(ItemOutcome::ChangedKind);
    return std::nullopt;
  }

  OperationResult Transfer(bool move, const std::string& source, PathKind found_as, const std::string& target,
                           OnClash clash, const std::set<FileIdentity>* found_items) {
    const ItemState state = system_.Look(source);
    if (const std::optional<OperationResult> refused = RefusedSource(state, found_as)) return *refused;
    // A move renames a FIFO or device like any item; a copy would have to read it.
    if (state.kind == PathKind::Special && !move) return Outcome(ItemOutcome::SpecialFile);
    if (state.kind == PathKind::Folder && IntoOwnTree(source, target)) return Outcome(ItemOutcome::IntoItself);
    const steps::Context context{system_, found_items};

    const ItemState there = system_.Look(target);
    if (there.kind == PathKind::Unknown) return OperationResult{ItemOutcome::Failed, there.error, 0, target};
    if (there.kind == PathKind::Missing) {
      if (!move) return Copied(context, source, state, target, false);
      const int renamed = system_.Rename(source, state, target, false);
      if (renamed == kOtherVolume) return steps::MoveAcrossVolumes(context, source, state, target, false);
      return steps::ResultOfCode(renamed, renamed == kTargetTaken ? target : std::string());
    }
    if (clash == OnClash::Refuse) return Outcome(ItemOutcome::TargetTaken);
    if (there.kind == PathKind::Link) return Outcome(ItemOutcome::LinkAtTarget);
    // Only a file replaces a file and a folder merges into a folder; a link is never put in anything's place.
    if (there.kind != state.kind || (state.kind != PathKind::File && state.kind != PathKind::Folder)) {
      return Outcome(ItemOutcome::TargetTaken);
    }
    if (SameItem(source, target) || context.IsFoundItem(target)) return Outcome(ItemOutcome::TargetIsItem);

    if (state.kind == PathKind::File) {
      if (!move) return Copied(context, source, state, target, true);
      const int renamed = system_.Rename(source, state, target, true);
      if (renamed == kOtherVolume) return steps::MoveAcrossVolumes(context, source, state, target, true);
      return steps::ResultOfCode(renamed, {});
    }
    const OperationResult in_the_way = steps::CheckMerge(context, source, target);
    if (!in_the_way.Done()) return in_the_way;
    if (!move) return Copied(context, source, state, target, true);
    if (!OnOneVolume(source, target)) return steps::MoveAcrossVolumes(context, source, state, target, true);
    return steps::MergeMove(context, source, target);
  }

  static OperationResult Copied(const steps::Context& context, const std::string& source, const ItemState& state,
                                const std::string& target, bool merging) {
    steps::TreeCopy copy(context);
    copy.Copy(source, state, target, merging);
    return copy.problems().Any() ? copy.problems().First() : Outcome(ItemOutcome::Done);
  }

  bool SameItem(const std::string& one, const std::string& other) const {
    const std::optional<FileIdentity> identity = system_.IdentityOf(one);
    return identity && identity == system_.IdentityOf(other);
  }

  bool OnOneVolume(const std::string& one, const std::string& other) const {
    const std::optional<FileIdentity> identity = system_.IdentityOf(one);
    const std::optional<FileIdentity> other_identity = system_.IdentityOf(other);
    return identity && other_identity && identity->volume == other_identity->volume;
  }

  // A folder copied or moved to `target` inside its own tree: its copy would
  // hold itself without end. By the names given, then with links resolved.
  bool IntoOwnTree(const std::string& source, const std::string& target) const {
    const char separator = system_.Separator();
    if (Inside(target, source, separator)) return true;
    const std::size_t cut = target.find_last_of(std::string(1, separator) + "/");
    if (cut == std::string::npos) return false;
    const std::string real_source = system_.RealPath(source);
    // The target's folder with its separator, so a drive root stays one (D:\ rather than D:).
    const std::string real_folder = system_.RealPath(target.substr(0, cut + 1));
    return !real_source.empty() && !real_folder.empty() &&
           (real_folder == real_source || Inside(real_folder, real_source, separator));
  }

  // True when `path` lies below `folder`. Windows paths compare without
  // regard to ASCII case, as their file systems do at the least.
  bool Inside(const std::string& path, const std::string& folder, char separator) const {
    std::string top = folder;
    if (top.empty()) return false;
    if (top.back() != separator) top += separator;
    if (path.size() <= top.size()) return false;
    for (std::size_t i = 0; i < top.size(); ++i) {
      char a = path[i];
      char b = top[i];
      if (system_.NamesIgnoreCase()) {
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      }
      if (a != b) return false;
    }
    return true;
  }

  FileSystem& system_;
};

// The rules over a file system that they own.
class SystemFileOperations final : public FileOperations {
 public:
  SystemFileOperations() : system_(MakeSystemFileSystem()), rules_(*system_) {}
  OperationResult Copy(const std::string& source, PathKind found_as, const std::string& target, OnClash clash,
                       const std::set<FileIdentity>* found_items) override {
    return rules_.Copy(source, found_as, target, clash, found_items);
  }
  OperationResult Move(const std::string& source, PathKind found_as, const std::string& target, OnClash clash,
                       const std::set<FileIdentity>* found_items) override {
    return rules_.Move(source, found_as, target, clash, found_items);
  }
  OperationResult Remove(const std::string& path, PathKind found_as) override { return rules_.Remove(path, found_as); }
  PathKind KindOf(const std::string& path) const override { return rules_.KindOf(path); }
  ItemState StateOf(const std::string& path) const override { return rules_.StateOf(path); }
  std::optional<FileIdentity> IdentityOf(const std::string& path) const override { return rules_.IdentityOf(path); }
  std::optional<TreeContent> ContentOf(const std::string& path) const override { return rules_.ContentOf(path); }
  std::string RealPath(const std::string& path) const override { return rules_.RealPath(path); }
  char Separator() const override { return rules_.Separator(); }

 private:
  std::unique_ptr<FileSystem> system_;
  RuleFileOperations rules_;
};

}  // namespace

std::unique_ptr<FileOperations> MakeFileOperations(FileSystem& system) {
  return std::make_unique<RuleFileOperations>(system);
}

std::unique_ptr<FileOperations> MakeSystemFileOperations() { return std::make_unique<SystemFileOperations>(); }

}  // namespace quellor::platform
