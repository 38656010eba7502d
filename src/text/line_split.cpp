#include "text/line_split.h"

#include "text/path_scan.h"

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

std::optional<std::string> WithoutBlankLines(const Charset& cs, std::string_view text) {
  std::optional<std::string> cleaned;  // set at the first line that changes the text
  std::size_t start = 0;
  const auto take_line = [&](std::size_t end, bool ends_in_break) {
    const std::string_view line = text.substr(start, end - start);
    const bool kept = !IsBlankLine(cs, line);
    if (!cleaned) {
      if (kept && ends_in_break) return;
      cleaned.emplace(text.substr(0, start));  // every line before this one stays as it is
    }
    if (kept) {
      *cleaned += line;
      *cleaned += "\r\n";
    }
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
      take_line(pos, true);
      pos += 2;
      start = pos;
    } else {
      pos += cs.CharLength(text, pos);
    }
  }
  if (start < text.size()) take_line(text.size(), false);
  return cleaned;
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
