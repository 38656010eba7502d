#include "search/status_texts.h"

namespace quellor::search {

int ProgressNumber(std::uint32_t tick) {
  // srand(tick); rand() of the Windows C runtime.
  const std::uint32_t state = tick * 214013u + 2531011u;
  const int value = static_cast<int>((state >> 16) & 0x7FFF);
  return 1 + value % 5000;
}

std::string ProgressText(std::string_view keyword, int number) {
  std::string text = "请稍后，正在搜索";
  text += keyword;
  text += "  加速";
  text += std::to_string(number);
  return text;
}

std::string FilesFinishedText(int rows) { return "搜索完毕！共搜索到文件" + std::to_string(rows) + "个."; }

std::string FoldersFinishedText(int rows) { return "搜索完毕！共搜索到文件夹" + std::to_string(rows) + "个."; }

}  // namespace quellor::search
