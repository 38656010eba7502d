// What quellor-find does with its hits besides printing them: copy or move
// them into a folder, the way the window's commands do.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_transfer.h"
#include "platform/file_operations.h"
#include "search/run_sink.h"
#include "text/charset.h"

namespace quellor::cli {

// Keeps every hit's path, kind and keyword, in order, when asked to, and
// passes every report on.
class RowRecorder : public search::ForwardingSink {
 public:
  RowRecorder(search::RunSink& next, bool keep) : ForwardingSink(next), keep_(keep) {}
  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                    const platform::EntryFacts& facts) override {
    if (keep_) {
      rows_.push_back(search::FoundRow{std::string(path), kind, facts});
      keywords_.push_back(keyword);
    }
    ForwardingSink::AddResultRow(path, kind, keyword, facts);
  }

  std::vector<search::FoundRow> TakeRows() { return std::move(rows_); }
  // Parallel to the rows: the index of the keyword that found each.
  std::vector<std::size_t> TakeKeywords() { return std::move(keywords_); }

 private:
  bool keep_;
  std::vector<search::FoundRow> rows_;
  std::vector<std::size_t> keywords_;
};

struct TransferCount {
  std::size_t taken = 0;
  std::size_t failed = 0;
};

// Copies or moves every distinct path of `rows`, in the order of its first
// row, into `folder`; names each failed path on `err`. Each item handed to
// the file operation is told to `journal` (null: none).
TransferCount TransferHits(platform::FileOperations& files, const text::Charset& cs, files::TransferCommand::Kind kind,
                           const std::vector<search::FoundRow>& rows, const std::string& folder, bool rename_on_clash,
                           std::FILE* err, files::TransferJournal* journal = nullptr);

// Why the file operation left an item alone, or what it left undone.
std::string OperationReason(const platform::OperationResult& result);

}  // namespace quellor::cli
