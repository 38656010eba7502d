#include <windows.h>

#include <vector>

#include "platform/file_name_case.h"
#include "text/case_fold.h"
#include "text/utf16.h"

namespace quellor::platform {

namespace {

// The wide upper-case mapping of every character of the basic plane, made
// once: the one letter case that file names ignore. A character that maps to
// one of another UTF-8 length (dotless i to I, say) keeps itself, so a folded
// name has the length of the name.
class UpperCaseTable {
 public:
  UpperCaseTable() : upper_(text::kBasicPlaneSize) {
    for (char32_t c = 0; c < text::kBasicPlaneSize; ++c) {
      upper_[c] = static_cast<char16_t>(c);
      if (text::IsSurrogate(c)) continue;
      const wchar_t one = static_cast<wchar_t>(c);
      wchar_t mapped = one;
      if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &one, 1, &mapped, 1) != 1) continue;
      if (text::Utf8Length(mapped) == text::Utf8Length(c)) upper_[c] = static_cast<char16_t>(mapped);
    }
  }
  char16_t operator[](char32_t c) const { return upper_[c]; }

 private:
  std::vector<char16_t> upper_;
};

}  // namespace

std::string FoldFileNameCase(const text::Charset& cs, std::string_view name) {
  // Names are UTF-8 here; a double-byte text is only ever a test's, and keeps its pairs.
  if (cs.IsDoubleByte()) return text::FoldAsciiCase(cs, name);
  static const UpperCaseTable table;
  std::string folded(name);
  for (std::size_t pos = 0; pos < folded.size();) {
    const text::Utf8Character c = text::DecodeUtf8At(folded, pos);
    if (c.length == 0) {
      ++pos;
      continue;
    }
    if (text::InBasicPlane(c.code_point)) {
      const char16_t upper = table[c.code_point];
      if (upper != c.code_point) {
        std::string bytes;
        text::AppendUtf8(bytes, &upper, 1);
        folded.replace(pos, c.length, bytes);
      }
    }
    pos += c.length;
  }
  return folded;
}

}  // namespace quellor::platform
