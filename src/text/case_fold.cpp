#include "text/case_fold.h"

namespace quellor::text {

std::string FoldAsciiCase(const Charset& cs, std::string_view text) {
  std::string folded(text);
  for (std::size_t pos = 0; pos < folded.size();) {
    const std::size_t len = cs.CharLength(folded, pos);
    if (len == 1) folded[pos] = FoldAsciiChar(folded[pos]);
    pos += len;
  }
  return folded;
}

bool EqualsIgnoringAsciiCase(const Charset& cs, std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldAsciiCase(cs, a) == FoldAsciiCase(cs, b);
}

}  // namespace quellor::text
