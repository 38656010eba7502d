#include "platform/recycle_bin_path.h"

namespace quellor::platform {

namespace {

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// A component the shell keeps as it is.
bool SoundName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  if (name.back() == u'.' || name.back() == u' ') return false;
  return name.find_first_of(u"/*?") == std::u16string_view::npos;
}

}  // namespace

RecycleOutcome CheckRecycleBinPath(std::u16string_view path) {
  if (path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\")) return RecycleOutcome::NameNotTaken;
  if (path.starts_with(u"\\\\") || path.starts_with(u"//")) return RecycleOutcome::NetworkDrive;
  if (path.size() + 1 > kShellPathLimit) return RecycleOutcome::NameNotTaken;
  // "D:\" and at least one name after it: a drive's root is never an item to delete.
  if (path.size() < 4 || !IsLetter(path[0]) || path[1] != u':' || path[2] != u'\\') {
    return RecycleOutcome::NameNotTaken;
  }
  std::u16string_view rest = path.substr(3);
  while (true) {
    const std::size_t separator = rest.find(u'\\');
    if (!SoundName(rest.substr(0, separator))) return RecycleOutcome::NameNotTaken;
    if (separator == std::u16string_view::npos) return RecycleOutcome::Handed;
    rest.remove_prefix(separator + 1);
  }
}

}  // namespace quellor::platform
