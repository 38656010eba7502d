// The status text at the end of a copy, move or delete.
#pragma once

#include <string>

namespace quellor::commands {

// `done` alone when nothing failed; otherwise `done` followed by how many
// items failed, e.g. "复制完毕！其中 2 项复制失败。".
std::string EndText(const std::string& done, const std::string& verb, int failed);

}  // namespace quellor::commands
