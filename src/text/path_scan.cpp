#include "text/path_scan.h"

#include "text/case_fold.h"

namespace quellor::text {

std::size_t FindLastSeparator(const Charset& cs, std::string_view path, char separator) {
  std::size_t last = std::string_view::npos;
  for (std::size_t pos = 0; pos < path.size(); pos += cs.CharLength(path, pos)) {
    if (path[pos] == separator && cs.CharLength(path, pos) == 1) last = pos;
  }
  return last;
}

std::string_view LastPathComponent(const Charset& cs, std::string_view path, char separator) {
  const std::size_t last = FindLastSeparator(cs, path, separator);
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

bool EndsWithSeparator(const Charset& cs, std::string_view path, char separator) {
  return !path.empty() && FindLastSeparator(cs, path, separator) == path.size() - 1;
}

std::string StripTrailingBackslash(const Charset& cs, std::string_view path) {
  if (EndsWithSeparator(cs, path, '\\')) path.remove_suffix(1);
  return std::string(path);
}

namespace {
// Compares character by character so that only single-byte letters are folded.
bool MatchesAt(const Charset& cs, std::string_view haystack, std::size_t pos, std::string_view needle) {
  if (haystack.size() - pos < needle.size()) return false;
  for (std::size_t i = 0; i < needle.size();) {
    const std::size_t len = cs.CharLength(needle, i);
    if (cs.CharLength(haystack, pos + i) != len) return false;
    if (len == 1) {
      if (FoldAsciiChar(haystack[pos + i]) != FoldAsciiChar(needle[i])) return false;
    } else if (haystack.compare(pos + i, len, needle, i, len) != 0) {
      return false;
    }
    i += len;
  }
  return true;
}
}  // namespace

std::size_t FindIgnoringAsciiCase(const Charset& cs, std::string_view haystack, std::string_view needle,
                                  std::size_t from) {
  std::size_t pos = 0;
  while (pos < from && pos < haystack.size()) pos += cs.CharLength(haystack, pos);
  for (; pos < haystack.size(); pos += cs.CharLength(haystack, pos)) {
    if (MatchesAt(cs, haystack, pos, needle)) return pos;
  }
  return std::string_view::npos;
}

bool IsBlankLine(const Charset& cs, std::string_view line) {
  const std::string_view wide = cs.FullWidthSpace();
  for (std::size_t pos = 0; pos < line.size();) {
    if (line[pos] == ' ') {
      ++pos;
    } else if (!wide.empty() && line.substr(pos, wide.size()) == wide) {
      pos += wide.size();
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace quellor::text
