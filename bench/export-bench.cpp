// Times writing the result list to a file: ROWS synthetic rows (1,000,000
// unless given) with Chinese folder and file names, sizes and modification
// times, as CSV and as a plain list, into FOLDER (the system's temporary
// folder unless given); prints each time and the file's size, then removes it.
//
//   export-bench [ROWS [FOLDER]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/result_export.h"
#include "platform/system_charset.h"

namespace {

using quellor::files::ExportRow;

// Rows made as they are asked for, as the window hands out its own.
class SyntheticRows : public quellor::files::ExportRows {
 public:
  explicit SyntheticRows(std::size_t count) : count_(count) {}
  std::size_t Count() const override { return count_; }
  ExportRow Row(std::size_t index) const override {
    const char sep = quellor::platform::kPathSeparator;
    // 照片 / 2024年项目-NNN / 报告-发票-NNNNNNN.jpg
    path_ = std::string("D:") + sep + "\xE7\x85\xA7\xE7\x89\x87" + sep + "2024\xE5\xB9\xB4\xE9\xA1\xB9\xE7\x9B\xAE-" +
            std::to_string(index / 1000) + sep + "\xE6\x8A\xA5\xE5\x91\x8A-\xE5\x8F\x91\xE7\xA5\xA8-" +
            std::to_string(1000000 + index) + ".jpg";
    keyword_ = "\xE6\x8A\xA5\xE5\x91\x8A-" + std::to_string(index % 5000);
    ExportRow row;
    row.path = path_;
    row.kind = quellor::platform::PathKind::File;
    row.ticked = index % 3 == 0;
    row.keyword = keyword_;
    row.size = 1000 + index * 37;
    // A minute's spread of seconds per folder, from 2024-02-29 in nanoseconds.
    row.modified = (1709214307LL + static_cast<long long>(index / 1000 * 60 + index % 60)) * 1000000000LL;
    return row;
  }

 private:
  std::size_t count_;
  mutable std::string path_;
  mutable std::string keyword_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const SyntheticRows source(rows);
  for (const auto format : {quellor::files::ExportFormat::Csv, quellor::files::ExportFormat::PlainText}) {
    const bool csv = format == quellor::files::ExportFormat::Csv;
    const std::filesystem::path file = folder / (csv ? "export-bench.csv" : "export-bench.txt");
    const auto start = std::chrono::steady_clock::now();
    const int error = quellor::files::ExportResults(file.string(), source, format);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (error != 0) {
      std::fprintf(stderr, "export-bench: cannot write %s (error %d)\n", file.string().c_str(), error);
      return 1;
    }
    std::error_code ignored;
    const auto bytes = std::filesystem::file_size(file, ignored);
    std::printf("%-10s %zu rows: %.3f s, %.1f MB\n", csv ? "CSV" : "plain list", rows, took.count(),
                static_cast<double>(bytes) / 1e6);
    std::filesystem::remove(file, ignored);
  }
  return 0;
}
