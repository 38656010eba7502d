// The words of 标签_状态 for where a search stands.
#pragma once

#include <cstdint>

#include "search/run_status.h"
#include "text/shown_text.h"

namespace quellor::commands {

// A keyword's turn: "请稍后，正在搜索" + the keyword (a name) + "  加速" + the
// progress number of `tick`. A folder-name run's start: "正在搜索，请等待......".
// An end: "搜索完毕！共搜索到文件" (文件夹 for folder names) + rows + "个.",
// and when some folders could not be read, " 另有" + that number +
// "个文件夹无法读取"; a run stopped for want of memory begins with
// "内存不足，搜索已停止！" instead of "搜索完毕！".
text::ShownText SearchStatusText(const search::RunStatus& status, std::uint32_t tick);

}  // namespace quellor::commands
