// The status-line texts of a search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quellor::search {

inline constexpr std::string_view kFolderRunStartText = "正在搜索，请等待......";
inline constexpr std::string_view kStopRequestedCaption = "已停止";
inline constexpr std::string_view kStopButtonCaption = "停止搜索";

// 1 plus the first value of the C runtime's generator seeded with `tick`,
// modulo 5000: a number from 1 to 5000 that measures nothing. Users know the
// progress text with it: a changing number shows that the search is alive.
int ProgressNumber(std::uint32_t tick);

// "请稍后，正在搜索" + keyword + "  加速" + number.
std::string ProgressText(std::string_view keyword, int number);
// "搜索完毕！共搜索到文件" + rows + "个."
std::string FilesFinishedText(int rows);
// "搜索完毕！共搜索到文件夹" + rows + "个."
std::string FoldersFinishedText(int rows);

}  // namespace quellor::search
