// The rows of the result list: per row a path, a tick, the kind of item the
// search found there, the keyword that found it and, where the search's
// listing told them, the item's size and modification time; kept compact so
// that a million rows cost little. Path bytes live in large blocks that never
// move (a row's text stays put while rows are appended), each followed by a
// NUL so that a list view can be handed a pointer to it. Removing rows moves
// only the small per-row records; the freed bytes are reclaimed once they
// outweigh the live ones. The per-row records grow in chunks too: a table of a
// million rows is never copied whole to make room for one more.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_listing.h"
#include "platform/path_kind.h"

namespace quellor::search {

class ResultRows {
 public:
  ResultRows() = default;
  ResultRows(ResultRows&&) noexcept = default;
  ResultRows& operator=(ResultRows&&) noexcept = default;
  ResultRows(const ResultRows&) = delete;
  ResultRows& operator=(const ResultRows&) = delete;

  // A row no keyword found (one another program put in the list).
  static constexpr std::uint32_t kNoKeyword = UINT32_MAX;
  using Keywords = std::shared_ptr<const std::vector<std::string>>;

  int Count() const { return static_cast<int>(rows_.size()); }
  bool Valid(int row) const { return row >= 0 && row < Count(); }

  // Empty for a row that does not exist. The view (and PathZ) stays valid
  // until the next Remove or Clear.
  std::string_view Path(int row) const;
  // The same bytes, NUL-terminated; "" for a row that does not exist.
  const char* PathZ(int row) const;
  bool Checked(int row) const {
    return Valid(row) && (tick_and_kind_[static_cast<std::size_t>(row)] & kTick) != 0;
  }
  int CheckedCount() const { return checked_count_; }
  // The row's place in the order the rows were appended (0 for the first
  // since the last Clear): what a sorted list is put back in order by.
  std::uint32_t FoundOrder(int row) const { return Valid(row) ? found_order_[static_cast<std::size_t>(row)] : 0; }
  // What the search found at the row's path. Unknown for a row that does not
  // exist, and for one whose kind nobody knew (a row another program put in
  // the list): a check of its item then takes whatever is there.
  platform::PathKind Kind(int row) const;
  // The index in RunKeywords() of the keyword that found the row; kNoKeyword
  // for none, and for a row that does not exist.
  std::uint32_t KeywordIndex(int row) const {
    return Valid(row) ? keyword_and_facts_[static_cast<std::size_t>(row)].keyword : kNoKeyword;
  }
  // Its text, in the name encoding; empty for none (an index past the
  // keywords names none).
  std::string_view Keyword(int row) const;
  // What the search's listing told of the row's item where the row could keep
  // it: a size below 4 GiB, a modification time from 1970 to 2106 to the
  // second (in the system's units, ItemState::modified). Empty otherwise, and
  // for a row that does not exist: whoever needs it looks the item up.
  std::optional<std::uint64_t> Size(int row) const;
  std::optional<std::int64_t> Modified(int row) const;

  // The keywords of the search whose rows these are; rows keep only their
  // index. Null until set.
  const Keywords& RunKeywords() const { return keywords_; }
  void SetRunKeywords(Keywords keywords) { keywords_ = std::move(keywords); }

  // New rows are unchecked. Throws std::bad_alloc when memory runs out, the
  // store then as it was before the call.
  void Append(std::string_view path, platform::PathKind kind = platform::PathKind::Unknown,
              std::uint32_t keyword = kNoKeyword, const platform::EntryFacts& facts = {});
  // Appends rows [first, end) of `other`, keeping their ticks, kinds, keywords
  // and facts. A store without rows takes `other`'s keywords; rows from a
  // store of other keywords than this one's keep none.
  void AppendFrom(const ResultRows& other, int first, int end);

  // A row that does not exist is left alone.
  void SetChecked(int row, bool checked);
  void SetAllChecked(bool checked);

  class Reordering;
  // Puts the rows in a new order: row i becomes the row that was at
  // `order[i]` (a permutation of every row), with its tick, kind, found
  // order, keyword and facts. Throws std::bad_alloc when memory runs out, the
  // store then as it was.
  void Reorder(const std::vector<int>& order);
  // The same in two steps, so that the long one can run on another thread:
  // PrepareReorder reads only what no tick changes (the paths, the order
  // found, the keywords and facts), so the window may tick rows meanwhile;
  // ApplyReorder, on the window's thread, moves the ticks and kinds along and
  // puts the prepared tables in. Nothing may append or remove rows in between.
  Reordering PrepareReorder(const std::vector<int>& order) const;
  void ApplyReorder(Reordering&& prepared);

  // Removes the rows at `rows` (ascending, each valid, no repeats); the rows
  // after each move up, keeping their order.
  void Remove(const std::vector<int>& rows);
  void Clear();

  // Bytes held for paths, freed ones included (for tests of reclaiming).
  std::size_t HeldTextBytes() const { return held_bytes_; }

  // For tests: every store refuses a row beyond `rows` as if memory had run
  // out (std::bad_alloc); a negative count lifts the limit.
  static void RefuseRowsBeyondForTesting(int rows) { refused_beyond_.store(rows, std::memory_order_relaxed); }

 private:
  struct Row {
    const char* text;
    std::uint32_t length;
  };

  static inline std::atomic<int> refused_beyond_{-1};

  // A row's keyword and the facts it keeps, 12 bytes: UINT32_MAX stands for
  // an unknown size or time.
  struct KeywordAndFacts {
    std::uint32_t keyword;
    std::uint32_t size;
    std::uint32_t modified;  // seconds since 1970
  };
  static constexpr std::uint32_t kUnknown = UINT32_MAX;
  static KeywordAndFacts Keep(std::uint32_t keyword, const platform::EntryFacts& facts);

 public:
  class Reordering {
   private:
    friend class ResultRows;
    std::vector<int> order_;
    std::deque<Row> rows_;
    std::deque<std::uint32_t> found_order_;
    std::deque<KeywordAndFacts> keyword_and_facts_;
  };

 private:
  static constexpr std::uint8_t kTick = 1;
  static constexpr int kKindShift = 1;

  char* Reserve(std::size_t bytes);
  void Reclaim();

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t block_used_ = 0;
  std::size_t block_size_ = 0;
  std::deque<Row> rows_;
  // Per row, one byte for both: the tick in bit 0, the kind above it.
  std::deque<std::uint8_t> tick_and_kind_;
  std::deque<std::uint32_t> found_order_;
  std::deque<KeywordAndFacts> keyword_and_facts_;
  Keywords keywords_;
  std::uint32_t next_found_ = 0;
  int checked_count_ = 0;
  std::size_t held_bytes_ = 0;  // path bytes of every block, NULs included
  std::size_t live_bytes_ = 0;  // of those, the rows' still present
};

}  // namespace quellor::search
