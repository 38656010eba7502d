#include "actions/file_transfer.h"

#include "text/case_fold.h"
#include "text/path_scan.h"

namespace quellor::actions {

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

}  // namespace

std::string ChooseTargetFolder(platform::Dialogs& dialogs, std::string_view title) {
  return dialogs.ChooseFolder(title, platform::FolderChooserStyle::TargetFolder);
}

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

bool TransferItem(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                  const std::string& source, const std::string& folder, bool rename_on_clash) {
  const char separator = files.Separator();
  const platform::PathKind source_kind = files.KindOf(source);
  // Some shells report a vanished source, or a folder put into its own tree,
  // as done; neither is ever asked of them.
  if (source_kind == platform::PathKind::Missing) return false;
  if (source_kind == platform::PathKind::Folder && LiesInside(cs, folder, source + separator, separator)) return false;

  const std::string name(text::LastPathComponent(cs, source, separator));
  std::string target = folder + name;
  std::string destination = folder;
  if (rename_on_clash && files.KindOf(target) != platform::PathKind::Missing) {
    const std::string free_name =
        FreeNameInFolder(files, cs, folder, name, source_kind == platform::PathKind::Folder);
    if (free_name.empty()) return false;
    target = folder + free_name;
    destination = target;
  }
  const unsigned flags =
      platform::kFileOpNoConfirmation | (rename_on_clash ? platform::kFileOpRenameOnCollision : 0u);
  const platform::FileOperationResult result = RunFileOperation(files, kind, source, destination, flags);
  // Done means the item is at its target and, after a move, gone from its place.
  return result.succeeded && files.KindOf(target) != platform::PathKind::Missing &&
         (kind != platform::FileOperationKind::Move || files.KindOf(source) == platform::PathKind::Missing);
}

}  // namespace quellor::actions
