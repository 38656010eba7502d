// The result rows: appending, ticking, removing, and reading by index after
// removals, each row's kind kept beside its tick, its keyword and facts beside it.
#include "search/result_rows.h"
#include "search/row_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quellor::search {
namespace {

std::vector<std::string> Paths(const ResultRows& rows) {
  std::vector<std::string> paths;
  for (int row = 0; row < rows.Count(); ++row) paths.emplace_back(rows.Path(row));
  return paths;
}

std::vector<bool> Ticks(const ResultRows& rows) {
  std::vector<bool> ticks;
  for (int row = 0; row < rows.Count(); ++row) ticks.push_back(rows.Checked(row));
  return ticks;
}

std::vector<platform::PathKind> Kinds(const ResultRows& rows) {
  std::vector<platform::PathKind> kinds;
  for (int row = 0; row < rows.Count(); ++row) kinds.push_back(rows.Kind(row));
  return kinds;
}

TEST(ResultRows, AppendKeepsBytesOrderAndATerminatedCopy) {
  ResultRows rows;
  EXPECT_EQ(rows.Count(), 0);
  const std::string chinese = "D:\\\xCE\xC4\xBC\xFE\\\xB1\x5C.txt";
  const std::string long_path(3u << 20, 'x');  // longer than a block
  rows.Append("C:\\a.txt");
  rows.Append(chinese);
  rows.Append("");
  rows.Append(long_path);
  rows.Append(std::string("with\0nul", 8));
  ASSERT_EQ(rows.Count(), 5);
  EXPECT_EQ(Paths(rows), (std::vector<std::string>{"C:\\a.txt", chinese, "", long_path, std::string("with\0nul", 8)}));
  EXPECT_STREQ(rows.PathZ(1), chinese.c_str());
  EXPECT_STREQ(rows.PathZ(2), "");
  EXPECT_EQ(rows.Path(5), "") << "past the end";
  EXPECT_EQ(rows.Path(-1), "");
  EXPECT_STREQ(rows.PathZ(7), "");
  EXPECT_EQ(Ticks(rows), std::vector<bool>(5, false)) << "new rows are unchecked";
  EXPECT_EQ(Kinds(rows), std::vector<platform::PathKind>(5, platform::PathKind::Unknown)) << "unless given one";
  EXPECT_EQ(rows.Kind(5), platform::PathKind::Unknown) << "past the end";
}

TEST(ResultRows, TextsStayPutWhileRowsAreAppended) {
  ResultRows rows;
  rows.Append("first");
  const char* first = rows.PathZ(0);
  for (int i = 0; i < 200000; ++i) rows.Append("C:\\some\\folder\\IMG_" + std::to_string(i) + ".jpg");
  EXPECT_EQ(rows.PathZ(0), first);
  EXPECT_STREQ(first, "first");
  EXPECT_EQ(rows.Path(200000), "C:\\some\\folder\\IMG_199999.jpg");
}

TEST(ResultRows, TickOneAllAndNoneWithACount) {
  ResultRows rows;
  rows.SetAllChecked(true);  // empty: nothing to do
  EXPECT_EQ(rows.CheckedCount(), 0);
  for (const char* path : {"a", "b", "c", "d"}) rows.Append(path);
  rows.SetChecked(1, true);
  rows.SetChecked(1, true);  // twice counts once
  rows.SetChecked(3, true);
  rows.SetChecked(4, true);   // no such row
  rows.SetChecked(-1, true);  // -1 is no row, not every row
  EXPECT_EQ(Ticks(rows), (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(rows.CheckedCount(), 2);
  rows.SetAllChecked(true);
  EXPECT_EQ(Ticks(rows), std::vector<bool>(4, true));
  EXPECT_EQ(rows.CheckedCount(), 4);
  rows.SetChecked(0, false);
  EXPECT_EQ(rows.CheckedCount(), 3);
  rows.SetAllChecked(false);
  EXPECT_EQ(Ticks(rows), std::vector<bool>(4, false));
  EXPECT_EQ(rows.CheckedCount(), 0);
}

TEST(ResultRows, RemovedRowsCloseUpAndLaterOnesKeepTheirTicks) {
  ResultRows rows;
  for (const char* path : {"r0", "r1", "r2", "r3", "r4"}) rows.Append(path);
  rows.SetChecked(1, true);
  rows.SetChecked(3, true);
  rows.SetChecked(4, true);
  rows.Remove({1, 3});
  EXPECT_EQ(Paths(rows), (std::vector<std::string>{"r0", "r2", "r4"}));
  EXPECT_EQ(Ticks(rows), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(rows.CheckedCount(), 1);
  rows.Remove({});
  EXPECT_EQ(rows.Count(), 3);
  rows.Append("r5");
  EXPECT_EQ(Paths(rows), (std::vector<std::string>{"r0", "r2", "r4", "r5"})) << "appends go after the survivors";
  rows.Remove({0, 1, 2, 3});
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(rows.CheckedCount(), 0);
}

// A time `seconds` after 1970 and `units` more, in the system's units.
std::int64_t At(std::int64_t seconds, std::int64_t units = 0) {
  return platform::kModifiedAt1970 + seconds * platform::kModifiedUnitsPerSecond + units;
}

// What the listing tells the row `i` of the tests below: each third knows nothing.
platform::EntryFacts FactsOf(int i) {
  if (i % 3 == 0) return {};
  return {true, static_cast<std::uint64_t>(i) * 1000, At(1700000000 + i)};
}

TEST(ResultRows, RemovingReclaimingTickingAndCopyingKeepEveryRowsPathTickKindKeywordAndFacts) {
  // Every kind, and each beside a tick and without one.
  const auto kind_of = [](int i) { return static_cast<platform::PathKind>(i / 10 % 6); };
  ResultRows rows;
  const int count = 120000;
  for (int i = 0; i < count; ++i) {
    rows.Append("D:\\photos\\2023\\batch\\IMG_" + std::to_string(i) + ".jpg", kind_of(i),
                static_cast<std::uint32_t>(i % 5), FactsOf(i));
  }
  for (int i = 0; i < count; i += 7) rows.SetChecked(i, true);
  const std::size_t held = rows.HeldTextBytes();
  // Every row but each tenth goes: far more freed than live, so the bytes are compacted.
  std::vector<int> removed;
  for (int i = 0; i < count; ++i) {
    if (i % 10 != 0) removed.push_back(i);
  }
  rows.Remove(removed);
  ASSERT_EQ(rows.Count(), count / 10);
  EXPECT_LT(rows.HeldTextBytes(), held / 2);
  int ticked = 0;
  for (int row = 0; row < rows.Count(); ++row) {
    const int original = row * 10;
    ASSERT_EQ(rows.Path(row), "D:\\photos\\2023\\batch\\IMG_" + std::to_string(original) + ".jpg");
    ASSERT_EQ(rows.Checked(row), original % 7 == 0) << row;
    ASSERT_EQ(rows.Kind(row), kind_of(original)) << row;
    ASSERT_EQ(rows.FoundOrder(row), static_cast<std::uint32_t>(original)) << row;
    ASSERT_EQ(rows.KeywordIndex(row), static_cast<std::uint32_t>(original % 5)) << row;
    const platform::EntryFacts facts = FactsOf(original);
    ASSERT_EQ(rows.Size(row), facts.known ? std::optional<std::uint64_t>(facts.size) : std::nullopt) << row;
    ASSERT_EQ(rows.Modified(row), facts.known ? std::optional<std::int64_t>(facts.modified) : std::nullopt) << row;
    ticked += rows.Checked(row) ? 1 : 0;
  }
  EXPECT_EQ(rows.CheckedCount(), ticked);
  const std::vector<platform::PathKind> kinds = Kinds(rows);
  rows.SetAllChecked(true);
  rows.SetChecked(1, false);
  EXPECT_EQ(Kinds(rows), kinds);
  ResultRows copy;
  copy.AppendFrom(rows, 0, rows.Count());
  EXPECT_EQ(Kinds(copy), kinds);
  EXPECT_EQ(Ticks(copy), Ticks(rows));
  for (int row = 0; row < rows.Count(); row += 97) {
    ASSERT_EQ(copy.KeywordIndex(row), rows.KeywordIndex(row)) << row;
    ASSERT_EQ(copy.Size(row), rows.Size(row)) << row;
    ASSERT_EQ(copy.Modified(row), rows.Modified(row)) << row;
  }
}

// A row keeps 32 bits of each: what does not fit is left unknown, never cut,
// and a time keeps its second.
TEST(ResultRows, FactsThatDoNotFitAreLeftUnknown) {
  struct Case {
    platform::EntryFacts facts;
    std::optional<std::uint64_t> size;
    std::optional<std::int64_t> modified;
  };
  const Case cases[] = {
      {{true, 0, At(0)}, 0, At(0)},
      {{true, 0xFFFFFFFEull, At(1700000000, platform::kModifiedUnitsPerSecond - 1)}, 0xFFFFFFFEull, At(1700000000)},
      {{true, 0xFFFFFFFFull, At(0xFFFFFFFEll)}, std::nullopt, At(0xFFFFFFFEll)},
      {{true, 5ull << 32, At(0xFFFFFFFFll)}, std::nullopt, std::nullopt},  // 4 GiB and more; 2106 on
      {{true, 7, At(-1)}, 7, std::nullopt},                                // before 1970
      {{false, 7, At(5)}, std::nullopt, std::nullopt},                     // the listing told nothing
  };
  ResultRows rows;
  for (const Case& c : cases) rows.Append("x", platform::PathKind::File, 0, c.facts);
  for (int row = 0; row < rows.Count(); ++row) {
    EXPECT_EQ(rows.Size(row), cases[row].size) << row;
    EXPECT_EQ(rows.Modified(row), cases[row].modified) << row;
  }
  EXPECT_EQ(rows.Size(rows.Count()), std::nullopt) << "past the end";
}

// Rows keep the index of their keyword; the texts are the run's, and rows
// copied from a store of other keywords keep none.
TEST(ResultRows, KeywordsAreTheRunsAndGoWithRowsOfTheSameRun) {
  const auto run = std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"IMG_1", "报告"});
  ResultRows batch;
  batch.SetRunKeywords(run);
  batch.Append("a", platform::PathKind::File, 1);
  batch.Append("b", platform::PathKind::File, 0);
  batch.Append("c", platform::PathKind::File, 7);  // an index past the list names nothing
  batch.Append("d");
  ResultRows list;
  list.AppendFrom(batch, 0, 2);  // an empty store takes the run's keywords
  list.AppendFrom(batch, 2, 4);
  ASSERT_EQ(list.RunKeywords(), run);
  EXPECT_EQ(list.Keyword(0), "报告");
  EXPECT_EQ(list.Keyword(1), "IMG_1");
  EXPECT_EQ(list.Keyword(2), "");
  EXPECT_EQ(list.KeywordIndex(3), ResultRows::kNoKeyword);
  EXPECT_EQ(list.Keyword(4), "") << "past the end";

  ResultRows other;
  other.SetRunKeywords(std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"x"}));
  other.Append("e", platform::PathKind::File, 0);
  list.AppendFrom(other, 0, 1);
  EXPECT_EQ(list.KeywordIndex(4), ResultRows::kNoKeyword);
  EXPECT_EQ(list.RunKeywords(), run);
  list.Clear();
  EXPECT_EQ(list.RunKeywords(), nullptr);
}

TEST(ResultRows, AppendFromCopiesARangeWithTicksAndClearEmpties) {
  ResultRows batch;
  for (const char* path : {"a", "b", "c", "d"}) batch.Append(path);
  batch.SetChecked(2, true);
  ResultRows rows;
  rows.Append("x");
  rows.AppendFrom(batch, 1, 3);
  rows.AppendFrom(batch, 3, 99);  // the end is clipped
  rows.AppendFrom(batch, 2, 2);   // empty range
  EXPECT_EQ(Paths(rows), (std::vector<std::string>{"x", "b", "c", "d"}));
  EXPECT_EQ(Ticks(rows), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(rows.CheckedCount(), 1);
  rows.Clear();
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(rows.CheckedCount(), 0);
  EXPECT_EQ(rows.HeldTextBytes(), 0u);
}

// A sort moves each row whole: its tick, its kind, its keyword, its facts and
// its place in the order found go with its path, so the order found can be put back.
TEST(ResultRows, ReorderedRowsKeepTheirTicksKindsAndFoundOrder) {
  ResultRows rows;
  rows.Append("c", platform::PathKind::File, 2, {true, 3, At(3)});
  rows.Append("a", platform::PathKind::Folder, 0, {true, 1, At(1)});
  rows.Append("b", platform::PathKind::Link, 1);
  rows.SetChecked(1, true);
  rows.Reorder({1, 2, 0});
  EXPECT_EQ(Paths(rows), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Ticks(rows), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(rows.KeywordIndex(2), 2u);
  EXPECT_EQ(rows.Size(0), 1u);
  EXPECT_EQ(rows.Modified(1), std::nullopt);
  EXPECT_EQ(rows.Modified(2), At(3));
  EXPECT_EQ(Kinds(rows), (std::vector<platform::PathKind>{platform::PathKind::Folder, platform::PathKind::Link,
                                                          platform::PathKind::File}));
  EXPECT_EQ(rows.CheckedCount(), 1);
  std::vector<RowKey> keys;
  for (int row = 0; row < rows.Count(); ++row) keys.push_back({rows.Path(row), rows.FoundOrder(row)});
  rows.Reorder(OrderRows(keys, RowOrder::Found));
  EXPECT_EQ(Paths(rows), (std::vector<std::string>{"c", "a", "b"}));
  rows.Append("d");
  EXPECT_EQ(rows.FoundOrder(3), 3u);
}

TEST(RowOrder, PathsAsPeopleReadThem) {
  struct Case {
    const char* a;
    const char* b;
    bool a_first;
  };
  const Case cases[] = {
      {"D:\\a\\IMG_2.jpg", "D:\\a\\IMG_10.jpg", true},   // numbers by value
      {"D:\\a\\img_2.jpg", "D:\\a\\IMG_3.JPG", true},    // letters without case
      {"D:\\A\\X.TXT", "D:\\a\\x.txt", true},            // the same but for case: by the bytes
      {"D:\\a\\7.txt", "D:\\a\\007.txt", true},          // equal values: fewer leading zeros first
      {"D:\\a\\0.txt", "D:\\a\\000.txt", true},
      {"D:\\a\\000.txt", "D:\\a\\1.txt", true},
      {"D:\\a\\z.txt", "D:\\a b\\a.txt", true},          // a folder's own items before a longer sibling
      {"D:/a/z.txt", "D:/a-b/a.txt", true},
      {"D:\\a\\9.txt", "D:\\a\\a.txt", true},            // digits before letters, after '.'
      {"D:\\a\\.x", "D:\\a\\0x", true},
      {"D:\\a\\99999999999999999999.txt", "D:\\a\\100000000000000000000.txt", true},  // past 64 bits
      {"D:\\a", "D:\\a\\b", true},
      {"D:\\\xE7\x85\xA7", "D:\\\xE9\xA1\xB5", true},  // other bytes by value: code points
  };
  for (const Case& c : cases) {
    const std::vector<int> order = OrderRows({{c.a, 0}, {c.b, 1}}, RowOrder::PathAscending);
    EXPECT_EQ(order, c.a_first ? (std::vector<int>{0, 1}) : (std::vector<int>{1, 0})) << c.a << " " << c.b;
    const std::vector<int> swapped = OrderRows({{c.b, 0}, {c.a, 1}}, RowOrder::PathAscending);
    EXPECT_EQ(swapped, c.a_first ? (std::vector<int>{1, 0}) : (std::vector<int>{0, 1})) << c.a << " " << c.b;
  }
  // Equal paths keep the order found; the other way is the exact reverse.
  const std::vector<RowKey> keys = {{"b", 0}, {"a", 1}, {"B", 2}, {"b", 3}};
  EXPECT_EQ(OrderRows(keys, RowOrder::PathAscending), (std::vector<int>{1, 2, 0, 3}));
  EXPECT_EQ(OrderRows(keys, RowOrder::PathDescending), (std::vector<int>{3, 0, 2, 1}));
}

// Many paths that agree far past eight bytes, some ending where others go
// on, come back in order from any shuffle.
TEST(RowOrder, LongSharedStartsAndPathsThatEndWhereOthersGoOn) {
  const std::vector<std::string> sorted = {
      "D:/photos/2024/summer",
      "D:/photos/2024/summer/",
      "D:/photos/2024/summer/beach_holiday_2.jpg",
      "D:/photos/2024/summer/beach_holiday_10.jpg",
      "D:/photos/2024/summer/beach_holiday_10.jpg.bak",
      "D:/photos/2024/summer/beach_holidays.jpg",
      "D:/photos/2024/summer/BEACH_HOLIDAYS.JPG.txt",
      "D:/photos/2024/summer-extra/a.jpg",
      "D:/photos/2024/summerhouse",
      "D:/photos/2024/summerhouse/a.jpg",
      "D:/photos/10000/x.jpg",
  };
  std::vector<int> shuffled(sorted.size());
  std::iota(shuffled.begin(), shuffled.end(), 0);
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<RowKey> keys;
    for (std::size_t i = 0; i < shuffled.size(); ++i) keys.push_back({sorted[shuffled[i]], static_cast<std::uint32_t>(i)});
    std::vector<std::string> got;
    for (int row : OrderRows(keys, RowOrder::PathAscending)) got.emplace_back(keys[row].path);
    ASSERT_EQ(got, sorted);
  }
}

}  // namespace
}  // namespace quellor::search
