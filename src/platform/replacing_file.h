// A file written in pieces, of any size, under a temporary name beside its
// target and given the target's name only once it is whole and on the disk:
// a full disk, missing rights or a crash never leave part of it under that
// name, and a file there before stays as it was until the last step.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quellor::platform {

class ReplacingFile {
 public:
  ReplacingFile();
  // A file not finished takes its temporary file with it.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Each returns 0 or the system's error code (errno, GetLastError), and
  // after the first error every later call returns it again.
  //
  // Creates the temporary file beside `path`. On POSIX a link at `path` is
  // followed, as a shell redirection would, and what it leads to is
  // replaced; a FIFO or device is written in place, never replaced by a file.
  int Open(const std::string& path);
  // Collected into large writes: a million short rows cost few system calls.
  int Write(std::string_view bytes);
  // Everything written, flushed to the disk and renamed over the target.
  // After a failure the target is unchanged and no temporary file is left.
  int Finish();

 private:
  struct Target;  // the open temporary file; each platform's own
  int Flush();
  int Fail(int error);
  // The platform's own: one write of all of `bytes` to the open file.
  int WriteOut(std::string_view bytes);

  std::unique_ptr<Target> target_;
  std::string buffer_;
  int error_ = 0;
};

}  // namespace quellor::platform
