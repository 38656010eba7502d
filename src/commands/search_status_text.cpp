#include "commands/search_status_text.h"

#include <span>
#include <string>
#include <string_view>

#include "search/progress_number.h"

namespace quellor::commands {

namespace {

std::string NotReadText(std::size_t folders_not_read) {
  if (folders_not_read == 0) return {};
  return " 另有" + std::to_string(folders_not_read) + "个文件夹无法读取";
}

std::string_view WalkReasonText(search::WalkReason reason) {
  switch (reason) {
    case search::WalkReason::NoRights:
      return "没有管理员权限";
    case search::WalkReason::Declined:
      return "未使用管理员权限";
    case search::WalkReason::HelperFailed:
      return "管理员权限的读取程序未能运行";
    case search::WalkReason::ReadFailed:
      return "磁盘索引无法读取";
  }
  return {};
}

// The drives searched folder by folder although their index was wanted, and why.
text::ShownText WalkedText(std::span<const search::WalkedRoot> walked) {
  text::ShownText shown;
  for (const search::WalkedRoot& root : walked) {
    shown.AddWords(" ").AddName(root.root).AddWords("按文件夹搜索（").AddWords(WalkReasonText(root.reason)).AddWords("）");
  }
  return shown;
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
                             NotReadText(status.folders_not_read))
          .Append(WalkedText(status.walked));
    case Stage::FolderRunEnded:
      return text::ShownText(EndWords(status) + "共搜索到文件夹" + std::to_string(status.rows) + "个." +
                             NotReadText(status.folders_not_read))
          .Append(WalkedText(status.walked));
    case Stage::VolumeBeingRead:
      return text::ShownText("请稍后，正在读取")
          .AddName(status.root)
          .AddWords("的磁盘索引 " + std::to_string(status.percent) + "%");
  }
  return {};
}

}  // namespace quellor::commands
