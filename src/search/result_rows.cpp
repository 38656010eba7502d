#include "search/result_rows.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/file_system.h"

namespace quellor::search {

namespace {
// Large enough that a million rows take about a hundred blocks, small enough
// that a 32-bit process always finds room for one more.
constexpr std::size_t kBlockSize = 1u << 20;
// Freed bytes below this are not worth a pass over every row.
constexpr std::size_t kReclaimFloor = 4u << 20;
}  // namespace

std::string_view ResultRows::Path(int row) const {
  if (!Valid(row)) return {};
  const Row& r = rows_[static_cast<std::size_t>(row)];
  return {r.text, r.length};
}

const char* ResultRows::PathZ(int row) const { return Valid(row) ? rows_[static_cast<std::size_t>(row)].text : ""; }

char* ResultRows::Reserve(std::size_t bytes) {
  if (blocks_.empty() || block_size_ - block_used_ < bytes) {
    // A path longer than a block gets a block of its own size.
    const std::size_t size = std::max(kBlockSize, bytes);
    // Left uninitialised: the untouched end of a block costs no memory.
    blocks_.push_back(std::unique_ptr<char[]>(new char[size]));
    block_size_ = size;
    block_used_ = 0;
    held_bytes_ += size;
  }
  char* at = blocks_.back().get() + block_used_;
  block_used_ += bytes;
  return at;
}

platform::PathKind ResultRows::Kind(int row) const {
  if (!Valid(row)) return platform::PathKind::Unknown;
  return static_cast<platform::PathKind>(tick_and_kind_[static_cast<std::size_t>(row)] >> kKindShift);
}

std::string_view ResultRows::Keyword(int row) const {
  const std::uint32_t keyword = KeywordIndex(row);
  if (keyword == kNoKeyword || !keywords_ || keyword >= keywords_->size()) return {};
  return (*keywords_)[keyword];
}

std::optional<std::uint64_t> ResultRows::Size(int row) const {
  if (!Valid(row)) return std::nullopt;
  const std::uint32_t size = keyword_and_facts_[static_cast<std::size_t>(row)].size;
  if (size == kUnknown) return std::nullopt;
  return size;
}

std::optional<std::int64_t> ResultRows::Modified(int row) const {
  if (!Valid(row)) return std::nullopt;
  const std::uint32_t seconds = keyword_and_facts_[static_cast<std::size_t>(row)].modified;
  if (seconds == kUnknown) return std::nullopt;
  return platform::kModifiedAt1970 + static_cast<std::int64_t>(seconds) * platform::kModifiedUnitsPerSecond;
}

// A size or time that does not fit is left unknown, never cut: the export
// then looks the item up.
ResultRows::KeywordAndFacts ResultRows::Keep(std::uint32_t keyword, const platform::EntryFacts& facts) {
  KeywordAndFacts kept{keyword, kUnknown, kUnknown};
  if (!facts.known) return kept;
  if (facts.size < kUnknown) kept.size = static_cast<std::uint32_t>(facts.size);
  if (facts.modified >= platform::kModifiedAt1970) {
    const std::int64_t seconds = (facts.modified - platform::kModifiedAt1970) / platform::kModifiedUnitsPerSecond;
    if (seconds < kUnknown) kept.modified = static_cast<std::uint32_t>(seconds);
  }
  return kept;
}

void ResultRows::Append(std::string_view path, platform::PathKind kind, std::uint32_t keyword,
                        const platform::EntryFacts& facts) {
  if (path.size() >= UINT32_MAX) throw std::length_error("result row too long");
  const int refused_beyond = refused_beyond_.load(std::memory_order_relaxed);
  if (refused_beyond >= 0 && Count() >= refused_beyond) throw std::bad_alloc();
  char* at = Reserve(path.size() + 1);
  std::memcpy(at, path.data(), path.size());
  at[path.size()] = '\0';
  // The per-row tables stay the same length whichever push fails.
  tick_and_kind_.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(kind) << kKindShift));
  try {
    found_order_.push_back(next_found_);
    try {
      keyword_and_facts_.push_back(Keep(keyword, facts));
      try {
        rows_.push_back(Row{at, static_cast<std::uint32_t>(path.size())});
      } catch (...) {
        keyword_and_facts_.pop_back();
        throw;
      }
    } catch (...) {
      found_order_.pop_back();
      throw;
    }
  } catch (...) {
    tick_and_kind_.pop_back();
    throw;
  }
  ++next_found_;
  live_bytes_ += path.size() + 1;
}

void ResultRows::AppendFrom(const ResultRows& other, int first, int end) {
  first = std::max(first, 0);
  end = std::min(end, other.Count());
  if (first >= end) return;
  if (Count() == 0) keywords_ = other.keywords_;
  const bool same_keywords = keywords_ == other.keywords_;
  for (int row = first; row < end; ++row) {
    Append(other.Path(row), other.Kind(row));
    // Copied as kept: nothing is converted twice.
    KeywordAndFacts& copied = keyword_and_facts_.back();
    copied = other.keyword_and_facts_[static_cast<std::size_t>(row)];
    if (!same_keywords) copied.keyword = kNoKeyword;
    if (other.Checked(row)) SetChecked(Count() - 1, true);
  }
}

void ResultRows::SetChecked(int row, bool checked) {
  if (!Valid(row)) return;
  std::uint8_t& mark = tick_and_kind_[static_cast<std::size_t>(row)];
  if (((mark & kTick) != 0) == checked) return;
  mark ^= kTick;
  checked_count_ += checked ? 1 : -1;
}

void ResultRows::SetAllChecked(bool checked) {
  for (std::uint8_t& mark : tick_and_kind_) mark = static_cast<std::uint8_t>(checked ? mark | kTick : mark & ~kTick);
  checked_count_ = checked ? Count() : 0;
}

void ResultRows::Reorder(const std::vector<int>& order) { ApplyReorder(PrepareReorder(order)); }

ResultRows::Reordering ResultRows::PrepareReorder(const std::vector<int>& order) const {
  Reordering prepared;
  prepared.order_ = order;
  for (const int row : order) {
    const auto at = static_cast<std::size_t>(row);
    prepared.rows_.push_back(rows_[at]);
    prepared.found_order_.push_back(found_order_[at]);
    prepared.keyword_and_facts_.push_back(keyword_and_facts_[at]);
  }
  return prepared;
}

void ResultRows::ApplyReorder(Reordering&& prepared) {
  std::vector<std::uint8_t> marks;
  marks.reserve(prepared.order_.size());
  for (const int row : prepared.order_) marks.push_back(tick_and_kind_[static_cast<std::size_t>(row)]);
  // Written in place: nothing can fail from here on.
  std::copy(marks.begin(), marks.end(), tick_and_kind_.begin());
  rows_.swap(prepared.rows_);
  found_order_.swap(prepared.found_order_);
  keyword_and_facts_.swap(prepared.keyword_and_facts_);
}

void ResultRows::Remove(const std::vector<int>& rows) {
  if (rows.empty()) return;
  std::size_t next_removed = 0;
  std::size_t kept = 0;
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (next_removed < rows.size() && static_cast<std::size_t>(rows[next_removed]) == row) {
      ++next_removed;
      live_bytes_ -= rows_[row].length + 1;
      if ((tick_and_kind_[row] & kTick) != 0) --checked_count_;
      continue;
    }
    rows_[kept] = rows_[row];
    tick_and_kind_[kept] = tick_and_kind_[row];
    found_order_[kept] = found_order_[row];
    keyword_and_facts_[kept] = keyword_and_facts_[row];
    ++kept;
  }
  rows_.resize(kept);
  tick_and_kind_.resize(kept);
  found_order_.resize(kept);
  keyword_and_facts_.resize(kept);
  if (held_bytes_ - live_bytes_ > std::max(live_bytes_, kReclaimFloor)) Reclaim();
}

// Copies the rows still present into fresh blocks and lets the old ones go.
void ResultRows::Reclaim() {
  ResultRows fresh;
  for (int row = 0; row < Count(); ++row) fresh.Append(Path(row));
  fresh.tick_and_kind_ = std::move(tick_and_kind_);
  fresh.found_order_ = std::move(found_order_);
  fresh.keyword_and_facts_ = std::move(keyword_and_facts_);
  fresh.keywords_ = std::move(keywords_);
  fresh.next_found_ = next_found_;
  fresh.checked_count_ = checked_count_;
  *this = std::move(fresh);
}

void ResultRows::Clear() { *this = ResultRows(); }

}  // namespace quellor::search
