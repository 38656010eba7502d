#include "commands/search_status_text.h"

#include <string>

#include "search/progress_number.h"

namespace quellor::commands {

namespace {

std::string NotReadText(std::size_t folders_not_read) {
  if (folders_not_read == 0) return {};
  return " 另有" + std::to_string(folders_not_read) + "个文件夹无法读取";
}

// A run stopped for want of memory says so first; its rows are kept.
std::string EndWords(const search::RunStatus& status) {
  return status.out_of_memory ? "内存不足，搜索已停止！" : "搜索完毕！";
}

}  // namespace

text::ShownText SearchStatusText(const search::RunStatus& status, std::uint32_t tick) {
  using Stage = search::RunStatus::Stage;
  switch (status.stage) {
    case Stage::KeywordSearched:
      return text::ShownText("请稍后，正在搜索")
          .AddName(status.keyword)
          .AddWords("  加速" + std::to_string(search::ProgressNumber(tick)));
    case Stage::FolderRunStarted:
      return text::ShownText("正在搜索，请等待......");
    case Stage::FileRunEnded:
      return text::ShownText(EndWords(status) + "共搜索到文件" + std::to_string(status.rows) + "个." +
                             NotReadText(status.folders_not_read));
    case Stage::FolderRunEnded:
      return text::ShownText(EndWords(status) + "共搜索到文件夹" + std::to_string(status.rows) + "个." +
                             NotReadText(status.folders_not_read));
  }
  return {};
}

}  // namespace quellor::commands
