// Pieces of a POSIX path, taken apart as text.
#pragma once

#include <string>

namespace quellor::platform::posix {

// The folder that holds `path`: "." for a bare name, "/" for a name at the root.
inline std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace quellor::platform::posix
