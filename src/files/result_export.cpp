#include "files/result_export.h"

#include <charconv>

#include "files/csv_text.h"
#include "files/stored_text_encoding.h"
#include "files/text_file_encoding.h"
#include "platform/local_time.h"
#include "platform/replacing_file.h"
#include "platform/system_charset.h"

namespace quellor::files {

namespace {

using platform::TextEncoding;

// The table's own words are UTF-8 whatever the compiler's character set for
// the program's texts (code page 936 in the Windows build).
std::string Utf8Words(std::u8string_view words) { return std::string(words.begin(), words.end()); }

const std::string& CsvHeader() {
  static const std::string header =
      Utf8Words(u8"\u8DEF\u5F84,\u540D\u79F0,\u6240\u5728\u6587\u4EF6\u5939,\u5927\u5C0F,"
                u8"\u4FEE\u6539\u65F6\u95F4,\u52FE\u9009,\u5173\u952E\u5B57") +
      std::string(kCsvRowEnd);  // 路径,名称,所在文件夹,大小,修改时间,勾选,关键字
  return header;
}

const std::string& TickWord(bool ticked) {
  static const std::string yes = Utf8Words(u8"\u662F");  // 是
  static const std::string no = Utf8Words(u8"\u5426");   // 否
  return ticked ? yes : no;
}

struct PathParts {
  std::string_view folder;
  std::string_view name;
};

// The last component and the folder holding it; a folder that is a root
// keeps its separator ("/", "C:\"), as the system names it.
PathParts SplitPath(std::string_view path) {
  const std::size_t separator = path.find_last_of(platform::kPathSeparators);
  if (separator == std::string_view::npos) return {{}, path};
  std::string_view folder = path.substr(0, separator);
  if (folder.empty() || folder.back() == ':') folder = path.substr(0, separator + 1);
  return {folder, path.substr(separator + 1)};
}

// One row's fields, into `out`; `utf8` is room for converting the path.
void AppendCsvRow(std::string& out, std::string& utf8, const ExportRow& row) {
  utf8.clear();
  AppendUtf8OfName(utf8, row.path);
  const PathParts parts = SplitPath(utf8);
  AppendCsvField(out, utf8);
  out += ',';
  AppendCsvField(out, parts.name);
  out += ',';
  AppendCsvField(out, parts.folder);
  out += ',';
  if (row.size && row.kind != platform::PathKind::Folder) {
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, *row.size);
    out.append(digits, end.ptr);
  }
  out += ',';
  if (row.modified) out += platform::LocalTimeText(*row.modified);  // digits, '-', ':' and a space: no quoting
  out += ',';
  if (row.ticked) out += TickWord(*row.ticked);
  out += ',';
  utf8.clear();
  AppendUtf8OfName(utf8, row.keyword);
  AppendCsvField(out, utf8);
  out += kCsvRowEnd;
}

bool Stopped(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(std::memory_order_relaxed); }

int WriteCsv(platform::ReplacingFile& file, const ExportRows& rows, const std::atomic<bool>* stop) {
  std::string out(ByteOrderMark(TextEncoding::Utf8));
  out += CsvHeader();
  std::string utf8;
  const std::size_t count = rows.Count();
  for (std::size_t i = 0; i < count; ++i) {
    if (Stopped(stop)) return kExportStopped;
    AppendCsvRow(out, utf8, rows.Row(i));
    if (out.size() >= 4096) {
      if (const int error = file.Write(out)) return error;
      out.clear();
    }
  }
  return file.Write(out);
}

// Paths may hold any character; the stored lists' rule decides for the whole
// file, so every line of it is in one encoding.
int WritePlainText(platform::ReplacingFile& file, const ExportRows& rows, TextEncoding system,
                   const std::atomic<bool>* stop) {
  const std::size_t count = rows.Count();
  StoredEncoding stored{system, false};
  for (std::size_t i = 0; i < count && !stored.byte_order_mark; ++i) {
    if (Stopped(stop)) return kExportStopped;
    stored = StoredEncodingOf(rows.Row(i).path, system);
  }
  std::string out(stored.byte_order_mark ? ByteOrderMark(stored.encoding) : std::string_view());
  for (std::size_t i = 0; i < count; ++i) {
    if (Stopped(stop)) return kExportStopped;
    out += StoredTextIn(rows.Row(i).path, stored.encoding);
    out += "\r\n";
    if (out.size() >= 4096) {
      if (const int error = file.Write(out)) return error;
      out.clear();
    }
  }
  return file.Write(out);
}

}  // namespace

void LookUpItem(const platform::FileSystem& files, ExportRow& row) { TakeLook(files.Look(std::string(row.path)), row); }

void TakeLook(const platform::ItemState& state, ExportRow& row) {
  if (state.error != 0 || state.kind == platform::PathKind::Missing || state.kind == platform::PathKind::Unknown) {
    return;
  }
  if (state.kind != platform::PathKind::Folder) row.size = state.size;
  row.modified = state.modified;
}

int ExportResults(const std::string& path, const ExportRows& rows, ExportFormat format, TextEncoding system,
                  const std::atomic<bool>* stop) {
  platform::ReplacingFile file;
  if (const int error = file.Open(path)) return error;
  const int error =
      format == ExportFormat::Csv ? WriteCsv(file, rows, stop) : WritePlainText(file, rows, system, stop);
  if (error != 0) return error;  // the file's end takes its temporary file with it
  return file.Finish();
}

}  // namespace quellor::files
