// A file that grows by whole lines: each line reaches the system in one
// write call, so a process that is killed leaves at most its last line torn.
// Lines are not forced to the disk one by one (a flush a line would make a
// move of ten thousand files take tens of seconds): after the machine itself
// stops, the lines the system had not stored yet are missing, which makes a
// reader know less, never something false.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quellor::platform {

class AppendFile {
 public:
  virtual ~AppendFile() = default;
  // Adds `line` at the end of the file in one write. False when the write
  // fell short or failed.
  virtual bool Append(std::string_view line) = 0;
};

// The existing file at `path`, opened to be added to; null when it cannot be.
std::unique_ptr<AppendFile> OpenForAppending(const std::string& path);

}  // namespace quellor::platform
