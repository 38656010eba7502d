#include "files/file_transfer.h"

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

TransferResult Outcome(TransferOutcome outcome) { return TransferResult{outcome, {}, {}}; }

}  // namespace

std::string FreeNameInFolder(const platform::FileOperations& files, const text::Charset& cs,
                             const std::string& folder, std::string_view name, bool is_folder) {
  const std::size_t dot = is_folder ? std::string_view::npos : ExtensionDot(cs, name);
  const std::string_view stem = name.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  for (int number = 2; number <= kMaxNameNumber; ++number) {
    std::string candidate(stem);
    candidate += " (" + std::to_string(number) + ")";
    candidate += extension;
    const platform::PathKind there = files.KindOf(folder + candidate);
    if (there == platform::PathKind::Missing) return candidate;
    // Nothing can be told of the folder's names: another look would tell no more.
    if (there == platform::PathKind::Unknown) break;
  }
  return {};
}

TransferCommand::TransferCommand(platform::FileOperations& files, const text::Charset& cs, Kind kind,
                                 std::string folder, ListItems items)
    : files_(files), cs_(cs), kind_(kind), folder_(std::move(folder)), list_items_(std::move(items)) {}

bool TransferCommand::KnowItems() {
  if (items_known_) return true;
  items_known_ = list_items_([this](const std::string& source) {
    if (const std::optional<platform::FileIdentity> identity = files_.IdentityOf(source)) items_.insert(*identity);
  });
  return items_known_;
}

TransferResult TransferCommand::Transfer(const std::string& source, platform::PathKind found_as,
                                         bool rename_on_clash) {
  const bool move = kind_ == Kind::Move;
  const platform::PathKind kind = found_as != platform::PathKind::Unknown ? found_as : files_.KindOf(source);
  // A moved folder carries items inside it away from their paths.
  if (move && kind == platform::PathKind::Folder && !KnowItems()) return Outcome(TransferOutcome::Stopped);

  const std::string name(text::LastPathComponent(cs_, source, files_.Separator()));
  std::string target = folder_ + name;
  platform::OnClash clash = platform::OnClash::Overwrite;
  const bool target_taken = files_.KindOf(target) != platform::PathKind::Missing;
  if (target_taken) {
    if (rename_on_clash) {
      const std::string free_name = FreeNameInFolder(files_, cs_, folder_, name, kind == platform::PathKind::Folder);
      if (free_name.empty()) return Outcome(TransferOutcome::NoFreeName);
      target = folder_ + free_name;
      clash = platform::OnClash::Refuse;
    } else {
      // Something may be written over: from here on every item is known.
      if (!KnowItems()) return Outcome(TransferOutcome::Stopped);
      const std::optional<platform::FileIdentity> there = files_.IdentityOf(target);
      if (there && placed_.count(*there) != 0) return Outcome(TransferOutcome::TargetPlacedEarlier);
    }
  }
  // What the item holds before: what the target must hold after.
  const std::optional<platform::TreeContent> before = files_.ContentOf(source);
  const std::set<platform::FileIdentity>* found_items = items_known_ ? &items_ : nullptr;
  // A free name chosen on a clash was free when it was chosen.
  if (journal_ != nullptr) journal_->Placing(source, kind, target, target_taken && clash == platform::OnClash::Overwrite);
  const platform::OperationResult result = move ? files_.Move(source, found_as, target, clash, found_items)
                                                : files_.Copy(source, found_as, target, clash, found_items);
  if (journal_ != nullptr) journal_->Placed(result);
  if (!result.Done()) return TransferResult{TransferOutcome::Failed, result, {}};
  const TransferResult checked = Check(before, source, target);
  if (!checked.Done()) return checked;
  if (const std::optional<platform::FileIdentity> placed = files_.IdentityOf(target)) {
    placed_.insert(*placed);
    // A file moved before the items were looked up is no longer at its path.
    if (move && !items_known_) items_.insert(*placed);
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
    return TransferResult{TransferOutcome::TargetNotWhole, {}, nothing};
  }
  // An item that could not be read before is judged by what the platform says of it.
  if (before) {
    const platform::ContentMatch held = platform::MatchContent(*before, *after);
    if (!held.Whole()) return TransferResult{TransferOutcome::TargetNotWhole, {}, held};
  }
  if (kind_ == Kind::Move && files_.KindOf(source) != platform::PathKind::Missing) {
    return Outcome(TransferOutcome::SourceLeft);
  }
  return Outcome(TransferOutcome::Done);
}

}  // namespace quellor::files
