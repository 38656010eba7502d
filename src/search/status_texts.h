// The status-line texts of a search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/shown_text.h"

namespace quellor::search {

inline constexpr std::string_view kFolderRunStartText = "正在搜索，请等待......";

// 1 plus the first value of the C runtime's generator seeded with `tick`,
// modulo 5000: a number from 1 to 5000 that measures nothing. Users know the
// progress text with it: a changing number shows that the search is alive.
int ProgressNumber(std::uint32_t tick);

// "请稍后，正在搜索" + keyword + "  加速" + number; the keyword a name.
text::ShownText ProgressText(std::string_view keyword, int number);
// "搜索完毕！共搜索到文件" + rows + "个.", and when some folders could not be
// read, " 另有" + that number + "个文件夹无法读取".
std::string FilesFinishedText(int rows, std::size_t folders_not_read = 0);
// "搜索完毕！共搜索到文件夹" + rows + "个.", and the folders not read likewise.
std::string FoldersFinishedText(int rows, std::size_t folders_not_read = 0);

}  // namespace quellor::search
