// The journal of the last copy or move batch: what each item was about to
// become, written before the file operation, and what it became, written
// after; and the items taken back since. Only the last batch is kept.
//
// One line per event, each written in one call, each ending in a
// checksum: a process killed half way leaves at most its last line torn, and
// that line is ignored. A bad line before the end ends the reading there, as
// nothing after it can be trusted. Paths are kept byte for byte (a tab, line
// break, carriage return or backslash escaped), whatever their charset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_transfer.h"
#include "platform/append_file.h"
#include "platform/file_operations.h"

namespace quellor::files {

// A folder's content in brief: what a person would miss if it changed.
struct FolderDigest {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  // Of every file's path below the folder and its size, in path order.
  std::uint64_t hash = 0;
  friend bool operator==(const FolderDigest&, const FolderDigest&) = default;
};

FolderDigest DigestOf(const platform::TreeContent& content);

// An item as a look at its path shows it.
struct PlacedState {
  platform::PathKind kind = platform::PathKind::Missing;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  // A folder whose content could be read.
  std::optional<FolderDigest> digest;
  friend bool operator==(const PlacedState&, const PlacedState&) = default;
};

// The state of the item at `path` (a folder's content read in full).
PlacedState StateAt(const platform::FileOperations& files, const std::string& path);

struct JournalItem {
  enum class Stage : std::uint8_t { Begun, Done, Failed };
  std::string source;
  std::string target;
  platform::PathKind kind = platform::PathKind::Unknown;  // as it was about to be placed
  bool target_taken = false;  // something was at the target already
  Stage stage = Stage::Begun;
  PlacedState placed;  // Done: the target as it showed once placed
  bool undone = false;
};

struct JournalBatch {
  TransferCommand::Kind kind = TransferCommand::Kind::Copy;
  std::vector<JournalItem> items;  // in the order they were placed
};

struct JournalRead {
  std::optional<JournalBatch> batch;  // none without a sound header
  // How many of the bytes read hold sound lines; what follows is not trusted.
  std::size_t trusted_bytes = 0;
};

JournalRead ParseJournal(std::string_view bytes);

// The lines, each ending in its checksum and a line break. `item` counts the
// batch's items from 0, in the order of their "before" lines.
std::string HeaderLine(TransferCommand::Kind kind);
std::string BeforeLine(std::size_t item, const std::string& source, platform::PathKind kind,
                       const std::string& target, bool target_taken);
std::string DoneLine(std::size_t item, const PlacedState& placed);
std::string FailedLine(std::size_t item);
std::string UndoneLine(std::size_t item);

// Records one batch into a new journal as the transfer tells it.
class JournalRecorder final : public TransferJournal {
 public:
  // Replaces `path` with the journal of a new batch; null when it cannot be
  // written, the old journal then removed where it can be.
  static std::unique_ptr<JournalRecorder> Start(const std::string& path, TransferCommand::Kind kind,
                                                const platform::FileOperations& files);

  void Placing(const std::string& source, platform::PathKind kind, const std::string& target,
               bool target_taken) override;
  void Placed(const platform::OperationResult& operation) override;

  // False once a line could not be written: nothing more is written, and
  // what was done after that is not in the journal.
  bool Intact() const { return intact_; }

  JournalRecorder(std::unique_ptr<platform::AppendFile> file, const platform::FileOperations& files)
      : file_(std::move(file)), files_(files) {}

 private:
  void Write(const std::string& line);

  std::unique_ptr<platform::AppendFile> file_;
  const platform::FileOperations& files_;
  std::size_t items_ = 0;
  std::string target_;  // of the item told last
  bool intact_ = true;
};

}  // namespace quellor::files
