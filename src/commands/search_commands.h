// The commands of 按钮_立即搜索 and 按钮_停止搜索: they read the controls,
// show the request's messages and drive the search engine.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "commands/radio_groups.h"  // the match mode, which the engine is told at each radio click
#include "commands/settings.h"
#include "search/search_engine.h"
#include "search/whole_computer_indexes.h"
#include "text/charset.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::commands {

struct SearchServices {
  ui::Dialogs& dialogs;
  const text::Charset& charset;  // of names: the keywords and the folders
  // The roots of a whole-computer search.
  std::function<std::vector<std::string>()> whole_computer_roots;
  // Their volumes' indexes; null: every drive is walked.
  std::shared_ptr<search::WholeComputerIndexes> volume_indexes = {};
  // Where the user's answer about reading the indexes is kept; null: asked
  // each session.
  const SettingsLocation* settings = nullptr;
};

// 按钮_立即搜索: checks the request, cleans the keyword box, empties the result
// list and starts a run (stopping the one before it).
void StartSearch(ui::Controls& controls, search::SearchEngine& engine, SearchServices& services);

// 按钮_停止搜索.
void StopSearch(ui::Controls& controls, search::SearchEngine& engine);

// What a run delivers, shown in 超级列表框_结果 and 标签_状态.
class ResultListDisplay : public search::RunDisplay {
 public:
  explicit ResultListDisplay(ui::Controls& controls) : controls_(controls) {}
  void AppendRows(const search::ResultRows& rows, int first, int end) override {
    controls_.超级列表框_结果.Rows().AppendFrom(rows, first, end);
  }
  void ShowAppendedRows() override { controls_.超级列表框_结果.RowsAppended(); }
  int RowCount() const override { return controls_.超级列表框_结果.RowCount(); }
  void ShowStatus(const search::RunStatus& status) override;

 private:
  ui::Controls& controls_;
};

}  // namespace quellor::commands
