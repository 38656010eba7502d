#include "files/file_transfer.h"

#include "text/case_fold.h"
#include "text/path_scan.h"

namespace quellor::files {

namespace {
// Enough for any folder a person fills by hand; beyond it the clash is reported as a failure.
constexpr int kMaxNameNumber = 100000;

// Position of the extension's dot in a file name, npos when it has none. A
// leading dot (".profile") starts the name, not an extension.
std::size_t ExtensionDot(const text::Charset& cs, std::string_view name) {
  std::size_t dot = std::string_view::npos;
  for (std::size_t pos = 0; pos < name.size(); pos += cs.CharLength(name, pos)) {
    if (name[pos] == '.' && pos > 0) dot = pos;
  }
  return dot;
}

// True when `path` starts with `folder` (which ends in the separator). Drive
// paths compare A-Z without regard to case, as their file systems do.
bool LiesInside(const text::Charset& cs, const std::string& path, const std::string& folder, char separator) {
  if (path.size() < folder.size()) return false;
  const std::string_view head = std::string_view(path).substr(0, folder.size());
  return separator == '\\' ? text::EqualsIgnoringAsciiCase(cs, head, folder) : head == folder;
}

TransferResult Outcome(TransferOutcome outcome) { return TransferResult{outcome, 0, {}}; }

}  // namespace

platform::FileOperationResult RunFileOperation(platform::FileOperations& files, platform::FileOperationKind kind,
                                               const std::string& source, const std::string& destination,
                                               unsigned flags) {
  return files.Run(kind, source, destination, flags);
}

std::string FreeNameInFolder(const platform::FileOperations& files, const text::Charset& cs,
                             const std::string& folder, std::string_view name, bool is_folder) {
  const std::size_t dot = is_folder ? std::string_view::npos : ExtensionDot(cs, name);
  const std::string_view stem = name.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  for (int number = 2; number <= kMaxNameNumber; ++number) {
    std::string candidate(stem);
    candidate += " (" + std::to_string(number) + ")";
    candidate += extension;
    if (files.KindOf(folder + candidate) == platform::PathKind::Missing) return candidate;
  }
  return {};
}

TransferCommand::TransferCommand(platform::FileOperations& files, const text::Charset& cs,
                                 platform::FileOperationKind kind, std::string folder, bool keep_placed,
                                 ListItems items)
    : files_(files),
      cs_(cs),
      kind_(kind),
      folder_(std::move(folder)),
      keep_placed_(keep_placed),
      list_items_(std::move(items)) {
  real_folder_ = files_.RealPath(folder_);
  const char separator = files_.Separator();
  if (!real_folder_.empty() && !text::EndsWithSeparator(cs_, real_folder_, separator)) real_folder_ += separator;
}

bool TransferCommand::KnowItems() {
  if (items_known_) return true;
  items_known_ = list_items_([this](const std::string& source) {
    if (const std::optional<platform::FileIdentity> identity = files_.IdentityOf(source)) items_.insert(*identity);
  });
  return items_known_;
}

TransferResult TransferCommand::Transfer(const std::string& source, bool rename_on_clash) {
  const char separator = files_.Separator();
  const platform::PathKind source_kind = files_.KindOf(source);
  // Some shells report a vanished source, or a folder put into its own tree,
  // as done; neither is ever asked of them.
  if (source_kind == platform::PathKind::Missing) return Outcome(TransferOutcome::SourceMissing);
  if (source_kind == platform::PathKind::Special) return Outcome(TransferOutcome::SpecialFile);
  if (source_kind == platform::PathKind::Folder) {
    if (kind_ == platform::FileOperationKind::Move && !KnowItems()) return Outcome(TransferOutcome::Stopped);
    if (LiesInside(cs_, folder_, source + separator, separator)) return Outcome(TransferOutcome::IntoItself);
    // Through links: a target folder that is a link into the item's own tree.
    const std::string real_source = files_.RealPath(source);
    if (!real_folder_.empty() && !real_source.empty() &&
        LiesInside(cs_, real_folder_, real_source + separator, separator)) {
      return Outcome(TransferOutcome::IntoItself);
    }
  }

  const std::string name(text::LastPathComponent(cs_, source, separator));
  std::string target = folder_ + name;
  std::string destination = folder_;
  if (rename_on_clash && files_.KindOf(target) != platform::PathKind::Missing) {
    const std::string free_name =
        FreeNameInFolder(files_, cs_, folder_, name, source_kind == platform::PathKind::Folder);
    if (free_name.empty()) return Outcome(TransferOutcome::NoFreeName);
    target = folder_ + free_name;
    destination = target;
  }
  // What the target leads to, links followed.
  if (const std::optional<platform::FileIdentity> there = files_.IdentityOf(target)) {
    if (!KnowItems()) return Outcome(TransferOutcome::Stopped);
    if (keep_placed_ && placed_.count(*there) != 0) return Outcome(TransferOutcome::TargetPlacedEarlier);
    if (items_.count(*there) != 0) return Outcome(TransferOutcome::TargetIsItem);
  }
  // What the item holds before: what the target must hold after.
  const std::optional<platform::TreeContent> before = files_.ContentOf(source);
  const unsigned flags = platform::kFileOpNoConfirmation | (rename_on_clash ? platform::kFileOpRenameOnCollision : 0u);
  const platform::FileOperationResult result = RunFileOperation(files_, kind_, source, destination, flags);
  if (!result.succeeded) return TransferResult{TransferOutcome::Failed, result.code, {}};
  const TransferResult checked = Check(before, source, target);
  if (!checked.Done()) return checked;
  // A file moved before the items were looked up is no longer at its path.
  const bool moved_unknown = kind_ == platform::FileOperationKind::Move && !items_known_;
  if (keep_placed_ || moved_unknown) {
    if (const std::optional<platform::FileIdentity> placed = files_.IdentityOf(target)) {
      if (keep_placed_) placed_.insert(*placed);
      if (moved_unknown) items_.insert(*placed);
    }
  }
  return checked;
}

TransferResult TransferCommand::Check(const std::optional<platform::TreeContent>& before, const std::string& source,
                                      const std::string& target) const {
  const std::optional<platform::TreeContent> after = files_.ContentOf(target);
  if (!after) {
    // Nothing read: either nothing arrived, or what did cannot be read back.
    if (files_.KindOf(target) != platform::PathKind::Missing) return Outcome(TransferOutcome::TargetUnreadable);
    platform::ContentMatch nothing;
    if (before) nothing = platform::MatchContent(*before, platform::TreeContent{{}, before->folder});
    return TransferResult{TransferOutcome::TargetNotWhole, 0, nothing};
  }
  // An item that could not be read before is judged by what the platform says of it.
  if (before) {
    const platform::ContentMatch held = platform::MatchContent(*before, *after);
    if (!held.Whole()) return TransferResult{TransferOutcome::TargetNotWhole, 0, held};
  }
  if (kind_ == platform::FileOperationKind::Move && files_.KindOf(source) != platform::PathKind::Missing) {
    return Outcome(TransferOutcome::SourceLeft);
  }
  return Outcome(TransferOutcome::Done);
}

}  // namespace quellor::files
