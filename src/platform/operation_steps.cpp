#include "platform/operation_steps.h"

#include <map>

#include "platform/file_name_case.h"
#include "platform/system_charset.h"

namespace quellor::platform::steps {

std::string Context::Join(const std::string& folder, std::string_view name) const {
  const char separator = system.Separator();
  std::string path = folder;
  if (path.empty() || (path.back() != separator && path.back() != '/')) path += separator;
  path += name;
  return path;
}

bool Context::IsFoundItem(const std::string& path) const {
  if (found_items == nullptr || found_items->empty()) return false;
  const std::optional<FileIdentity> identity = system.IdentityOf(path);
  return identity && found_items->count(*identity) != 0;
}

std::vector<bool> Context::CaseTwins(const std::vector<FolderItem>& items) const {
  std::vector<bool> twins(items.size(), false);
  if (!system.NamesIgnoreCase() || items.size() < 2) return twins;
  std::map<std::string, std::size_t> first;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!first.emplace(FoldFileNameCase(NameCharset(), items[i].name), i).second) twins[i] = true;
  }
  return twins;
}

void Problems::Note(ItemOutcome outcome, const std::string& where, int code) {
  if (any_) return;
  any_ = true;
  first_ = OperationResult{outcome, code, 0, where};
}

void Problems::NoteCode(int code, const std::string& where) {
  if (code == 0 || any_) return;
  const OperationResult result = ResultOfCode(code, where);
  Note(result.outcome, where, result.code);
}

OperationResult ResultOfCode(int code, const std::string& where) {
  switch (code) {
    case 0:
      return OperationResult{ItemOutcome::Done, 0, 0, {}};
    case kTargetTaken:
      return OperationResult{ItemOutcome::TargetTaken, 0, 0, where};
    case kNotTheItem:
      return OperationResult{ItemOutcome::NotTheItem, 0, 0, where};
    case kLinkNotCopied:
      return OperationResult{ItemOutcome::LinkNotCopied, 0, 0, where};
    default:
      return OperationResult{ItemOutcome::Failed, code, 0, where};
  }
}

}  // namespace quellor::platform::steps
