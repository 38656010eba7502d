#include "platform/tree_content.h"

namespace quellor::platform {

ContentMatch MatchContent(const TreeContent& expected, const TreeContent& copy) {
  ContentMatch match;
  match.same_kind = expected.folder == copy.folder;
  match.files_expected = expected.files.size();
  for (const auto& [path, size] : expected.files) {
    match.bytes_expected += size;
    const auto there = copy.files.find(path);
    if (there == copy.files.end()) continue;
    match.bytes += there->second;
    if (there->second == size) ++match.files;
  }
  return match;
}

}  // namespace quellor::platform
