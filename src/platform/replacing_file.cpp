#include "platform/replacing_file.h"

#include "platform/file_io.h"

namespace quellor::platform {

namespace {
constexpr std::size_t kWriteSize = std::size_t{1} << 20;
}  // namespace

int ReplacingFile::Write(std::string_view bytes) {
  if (error_ != 0) return error_;
  if (buffer_.size() + bytes.size() > kWriteSize && Flush() != 0) return error_;
  if (bytes.size() >= kWriteSize) return Fail(WriteOut(bytes));
  buffer_.append(bytes);
  return 0;
}

int ReplacingFile::Flush() {
  if (error_ != 0 || buffer_.empty()) return error_;
  const int error = WriteOut(buffer_);
  buffer_.clear();
  return Fail(error);
}

int ReplacingFile::Fail(int error) {
  if (error_ == 0) error_ = error;
  return error_;
}

bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes) {
  ReplacingFile file;
  return file.Open(path) == 0 && file.Write(bytes) == 0 && file.Finish() == 0;
}

}  // namespace quellor::platform
