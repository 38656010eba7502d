#include "text/line_split.h"

namespace quellor::text {

std::vector<std::string> SplitLines(const Charset& cs, std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
      lines.emplace_back(text.substr(start, pos - start));
      pos += 2;
      start = pos;
    } else {
      pos += cs.CharLength(text, pos);
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLinesWithBreaks(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    joined += line;
    joined += "\r\n";
  }
  return joined;
}

std::string_view TextBeforeNul(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

}  // namespace quellor::text
