// The result list written to a file, for the window's export and
// quellor-find's --export alike: every row in the list's order, as a CSV
// table (path, name, folder, size, modification time, tick, keyword) or as
// plain text, one path a line. The file appears under its name only whole.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/path_kind.h"
#include "platform/text_encoding.h"

namespace quellor::files {

struct ExportRow {
  std::string_view path;  // in the name encoding
  platform::PathKind kind = platform::PathKind::Unknown;
  std::optional<bool> ticked;  // empty: the front end has no ticks
  std::string_view keyword;    // the name that found the row, in the name encoding
  // What the caller knows of the item; empty when unknown. A folder's size
  // is never written.
  std::optional<std::uint64_t> size;
  std::optional<std::int64_t> modified;  // ItemState::modified, the system's units
};

// The rows, handed out one at a time so that a million of them are never
// copied. Each may be asked for more than once (plain text takes two passes).
class ExportRows {
 public:
  virtual ~ExportRows() = default;
  virtual std::size_t Count() const = 0;
  // Row `index` (below Count()); its texts stay valid until the next call.
  virtual ExportRow Row(std::size_t index) const = 0;
};

// For rows whose size or time the search did not keep: one look at the item
// through `files`. A look that fails leaves both unknown. Slow for many rows
// on Windows (a system call each): the front ends pass what the search's
// listing told them and look only where it told nothing.
void LookUpItem(const platform::FileSystem& files, ExportRow& row);
// The same from a look made elsewhere.
void TakeLook(const platform::ItemState& state, ExportRow& row);

enum class ExportFormat {
  // UTF-8 with a byte-order mark, CR LF, a header row in Chinese; the
  // modification time as local time.
  Csv,
  // One path a line (CR LF), written as the program's stored lists are: in
  // `system` (code page 936 on Windows) when every path fits it, else the
  // whole file in UTF-8 with a byte-order mark.
  PlainText,
};

// What ExportResults returns when `stop` ended it before the last row.
inline constexpr int kExportStopped = -1;

// Writes `rows` to `path`: 0, the system's error code, or kExportStopped once
// `stop` (where given) is set. On failure nothing is left under `path` that
// was not there before, nor a temporary file.
int ExportResults(const std::string& path, const ExportRows& rows, ExportFormat format,
                  platform::TextEncoding system = platform::SystemTextEncoding(),
                  const std::atomic<bool>* stop = nullptr);

}  // namespace quellor::files
