// The result list written to a file: the CSV table read back field by field,
// the plain list's encoding, and failures that leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

#include "files/result_export.h"
#include "platform/system_charset.h"
#include "support/foreign_names.h"
#include "support/temp_tree.h"

namespace quellor::testing {
namespace {

using files::ExportFormat;
using files::ExportRow;
using platform::PathKind;
using Table = std::vector<std::vector<std::string>>;

class VectorRows : public files::ExportRows {
 public:
  explicit VectorRows(std::vector<ExportRow> rows) : rows_(std::move(rows)) {}
  std::size_t Count() const override { return rows_.size(); }
  ExportRow Row(std::size_t index) const override { return rows_[index]; }

 private:
  std::vector<ExportRow> rows_;
};

// RFC 4180 as a spreadsheet reads it; every row must end in CR LF.
Table ReadCsv(std::string_view text) {
  Table table(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = table.back().back();
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      field += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      table.back().emplace_back();
    } else if (!quoted && c == '\r') {
      EXPECT_EQ(text.substr(i, 2), "\r\n") << "at byte " << i;
      ++i;
      table.emplace_back(1);
    } else {
      field += c;
    }
  }
  EXPECT_EQ(table.back(), std::vector<std::string>(1)) << "the last row ends in CR LF";
  table.pop_back();
  return table;
}

ExportRow PathOnly(std::string_view path) {
  ExportRow row;
  row.path = path;
  return row;
}

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(PathText(entry.path()));
  std::sort(names.begin(), names.end());
  return names;
}

// 2024-02-29 13:45:07 UTC in the system's own units, and as local time.
constexpr std::time_t kLeapDay = 1709214307;
#ifdef _WIN32
constexpr std::int64_t kLeapDayModified = (kLeapDay + 11644473600LL) * 10000000;
#else
constexpr std::int64_t kLeapDayModified = kLeapDay * 1000000000LL;
#endif
std::string LocalLeapDay() {
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&kLeapDay));
  return text;
}

#ifdef _WIN32
const std::string kRoot = "C:\\";
#else
const std::string kRoot = "/";
#endif

class ResultExport : public ::testing::Test {
 protected:
  void SetUp() override {
    // Paths as this program holds them; a GBK locale on Linux holds them otherwise.
    if (platform::NameEncoding() != platform::TextEncoding::Utf8) GTEST_SKIP() << "names are not UTF-8 here";
  }
  std::string In(std::string_view folder, std::string_view name) const {
    return kRoot + std::string(folder) + platform::kPathSeparator + std::string(name);
  }
  TempTree tree_;
};

TEST_F(ResultExport, CsvRowsReadBackFieldByField) {
  const std::string folder = In("t", Utf8(u8"\u62A5\u544A"));  // 报告
  const std::string yes = Utf8(u8"\u662F"), no = Utf8(u8"\u5426");
  struct Case {
    const char* what;
    std::string path;
    PathKind kind;
    std::optional<bool> ticked;
    std::string keyword;
    std::optional<std::uint64_t> size;
    std::optional<std::int64_t> modified;
    std::vector<std::string> fields;
  };
  const std::string odd_name = "x,\"y\"\r\nz.txt";
  const std::string bad_name = "bad\xFF" + Utf8(u8"\u540D") + ".txt";  // 0xFF is never UTF-8
  const std::string bad_shown = "bad<FF>" + Utf8(u8"\u540D") + ".txt";
  const std::string joerg = folder + platform::kPathSeparator + kJoerg;
  const Case cases[] = {
      {"a file with all it has", In("t", "a.txt"), PathKind::File, true, "a", 12, kLeapDayModified,
       {In("t", "a.txt"), "a.txt", kRoot + "t", "12", LocalLeapDay(), yes, "a"}},
      {"comma, quotes and line breaks", In("t", odd_name), PathKind::File, false, "x,\"y\"", 0, {},
       {In("t", odd_name), odd_name, kRoot + "t", "0", "", no, "x,\"y\""}},
      {"Chinese and names GBK lacks", joerg, PathKind::File, {}, kJoerg, 7, {},
       {joerg, kJoerg, folder, "7", "", "", kJoerg}},
      {"a folder has no size", In("t", "sub"), PathKind::Folder, false, "sub", 4096, kLeapDayModified,
       {In("t", "sub"), "sub", kRoot + "t", "", LocalLeapDay(), no, "sub"}},
      {"size and time unknown", In("t", "u.txt"), PathKind::File, true, "u", {}, {},
       {In("t", "u.txt"), "u.txt", kRoot + "t", "", "", yes, "u"}},
      {"a byte that is no text, kept visible", In("t", bad_name), PathKind::File, false, "bad\xFF", 1, {},
       {In("t", bad_shown), bad_shown, kRoot + "t", "1", "", no, "bad<FF>"}},
      {"an item in a root keeps the root's separator", kRoot + "r.txt", PathKind::File, {}, "r", 3, {},
       {kRoot + "r.txt", "r.txt", kRoot, "3", "", "", "r"}},
  };
  std::vector<ExportRow> rows;
  for (const Case& c : cases) rows.push_back({c.path, c.kind, c.ticked, c.keyword, c.size, c.modified});
  const std::string out = tree_.Path("out.csv");
  ASSERT_EQ(files::ExportResults(out, VectorRows(rows), ExportFormat::Csv), 0);
  const std::string bytes = tree_.Read("out.csv").value_or("");
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const Table table = ReadCsv(std::string_view(bytes).substr(3));
  ASSERT_EQ(table.size(), std::size(cases) + 1);
  EXPECT_EQ(table[0], (std::vector<std::string>{Utf8(u8"\u8DEF\u5F84"), Utf8(u8"\u540D\u79F0"),
                                                 Utf8(u8"\u6240\u5728\u6587\u4EF6\u5939"), Utf8(u8"\u5927\u5C0F"),
                                                 Utf8(u8"\u4FEE\u6539\u65F6\u95F4"), Utf8(u8"\u52FE\u9009"),
                                                 Utf8(u8"\u5173\u952E\u5B57")}));
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(table[i + 1], cases[i].fields) << cases[i].what;
}

TEST_F(ResultExport, PlainListInCodePage936WhenEveryPathFitsElseUtf8WithAMark) {
  const std::string report = In("t", Utf8(u8"\u62A5\u544A.txt"));  // 报告.txt: GBK B1A8 B8E6
  const std::string report_gbk = kRoot + "t" + platform::kPathSeparator + "\xB1\xA8\xB8\xE6.txt";
  const std::string joerg = In("t", kJoerg);
  const std::string out = tree_.Path("list.txt");
  const std::string plain = In("t", "a");
  ASSERT_EQ(files::ExportResults(out, VectorRows({PathOnly(report), PathOnly(plain)}), ExportFormat::PlainText,
                                 platform::TextEncoding::Ansi),
            0);
  EXPECT_EQ(tree_.Read("list.txt"), report_gbk + "\r\n" + plain + "\r\n");
  ASSERT_EQ(files::ExportResults(out, VectorRows({PathOnly(report), PathOnly(joerg)}), ExportFormat::PlainText,
                                 platform::TextEncoding::Ansi),
            0);
  EXPECT_EQ(tree_.Read("list.txt"), "\xEF\xBB\xBF" + report + "\r\n" + joerg + "\r\n") << "the whole file in UTF-8";
}

TEST_F(ResultExport, AFailureLeavesNothingBehind) {
  const std::string path = In("t", "a-fairly-long-name-for-each-row.txt");
  const VectorRows rows(std::vector<ExportRow>(20000, PathOnly(path)));
  tree_.File("a-file");
  tree_.Write("old.csv", "as it was");
  struct Case {
    const char* what;
    std::string path;
  };
  std::vector<Case> cases = {{"a folder that does not exist", tree_.Path("missing/out.csv")},
                             {"a file where the folder should be", tree_.Path("a-file/out.csv")}};
#ifndef _WIN32
  tree_.Folder("read-only");
  std::filesystem::permissions(tree_.path() / "read-only", std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_exec);
  if (::geteuid() != 0) cases.push_back({"a folder without the right to write", tree_.Path("read-only/out.csv")});
#endif
  const std::vector<std::string> before = Entries(tree_.path());
  for (const Case& c : cases) {
    EXPECT_NE(files::ExportResults(c.path, rows, ExportFormat::Csv), 0) << c.what;
    EXPECT_EQ(Entries(tree_.path()), before) << c.what;
  }
  const std::atomic<bool> stopped{true};  // the window closes
  EXPECT_EQ(files::ExportResults(tree_.Path("old.csv"), rows, ExportFormat::Csv, platform::SystemTextEncoding(), &stopped),
            files::kExportStopped);
  EXPECT_EQ(tree_.Read("old.csv"), "as it was");
  EXPECT_EQ(Entries(tree_.path()), before);
#ifndef _WIN32
  // The disk fills half way: the file's limit refuses writes past 64 KiB.
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int error = files::ExportResults(tree_.Path("old.csv"), rows, ExportFormat::Csv);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(tree_.Read("old.csv"), "as it was");
  EXPECT_EQ(Entries(tree_.path()), before);
#endif
}

}  // namespace
}  // namespace quellor::testing
