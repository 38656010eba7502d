// Drive roots as the program writes them ("C:"), for the calls that name a
// drive by its letter.
#pragma once

#include <optional>
#include <string>

namespace quellor::platform::win32 {

// The letter of `root` when it is a letter and a colon, nothing more.
inline std::optional<wchar_t> DriveLetterOf(const std::string& root) {
  const bool letter =
      root.size() == 2 && root[1] == ':' && ((root[0] >= 'A' && root[0] <= 'Z') || (root[0] >= 'a' && root[0] <= 'z'));
  if (!letter) return std::nullopt;
  return static_cast<wchar_t>(root[0]);
}

}  // namespace quellor::platform::win32
