#include "search/status_texts.h"

namespace quellor::search {

int ProgressNumber(std::uint32_t tick) {
  // srand(tick); rand() of the Windows C runtime.
  const std::uint32_t state = tick * 214013u + 2531011u;
  const int value = static_cast<int>((state >> 16) & 0x7FFF);
  return 1 + value % 5000;
}

text::ShownText ProgressText(std::string_view keyword, int number) {
  text::ShownText text("请稍后，正在搜索");
  text.AddName(keyword);
  text.AddWords("  加速" + std::to_string(number));
  return text;
}

namespace {
std::string NotReadText(std::size_t folders_not_read) {
  if (folders_not_read == 0) return {};
  return " 另有" + std::to_string(folders_not_read) + "个文件夹无法读取";
}
}  // namespace

std::string FilesFinishedText(int rows, std::size_t folders_not_read) {
  return "搜索完毕！共搜索到文件" + std::to_string(rows) + "个." + NotReadText(folders_not_read);
}

std::string FoldersFinishedText(int rows, std::size_t folders_not_read) {
  return "搜索完毕！共搜索到文件夹" + std::to_string(rows) + "个." + NotReadText(folders_not_read);
}

}  // namespace quellor::search
