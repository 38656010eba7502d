#include <windows.h>

#include <array>
#include <vector>

#include "platform/file_name_case.h"

namespace quellor::platform {

namespace {

// One character through the wide upper-case mapping; unchanged when the
// result is not a character of the code page of the same length.
std::string FoldOneCharacter(const char* bytes, int length) {
  const std::string original(bytes, static_cast<std::size_t>(length));
  wchar_t wide[2] = {};
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, wide, 2) != 1) return original;
  wchar_t upper = wide[0];
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide, 1, &upper, 1) != 1) return original;
  if (upper == wide[0]) return original;
  char folded[8] = {};
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &upper, 1, folded, sizeof folded, nullptr, &lossy);
  if (size != length || lossy) return original;
  return std::string(folded, static_cast<std::size_t>(size));
}

// The fold of every single byte and every lead/trail pair, made once.
struct FoldTable {
  std::array<char, 256> single{};
  std::vector<std::array<char, 2>> pairs = std::vector<std::array<char, 2>>(65536);
  FoldTable() {
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      const std::string f = b < 0x80 ? std::string(1, c) : FoldOneCharacter(&c, 1);
      single[b] = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 'a' + 'A') : (f.size() == 1 ? f[0] : c);
    }
    for (int lead = 0x80; lead < 256; ++lead) {
      if (!IsDBCSLeadByte(static_cast<BYTE>(lead))) continue;
      for (int trail = 0; trail < 256; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::string f = trail == 0 ? std::string(pair, 2) : FoldOneCharacter(pair, 2);
        pairs[lead * 256 + trail] = {f[0], f[1]};
      }
    }
  }
};

}  // namespace

std::string FoldFileNameCase(const text::Charset& cs, std::string_view name) {
  static const FoldTable table;
  std::string folded(name);
  for (std::size_t pos = 0; pos < folded.size();) {
    const std::size_t len = cs.CharLength(folded, pos);
    const unsigned char b = static_cast<unsigned char>(folded[pos]);
    if (len == 1) {
      folded[pos] = table.single[b];
    } else {
      const auto& pair = table.pairs[b * 256 + static_cast<unsigned char>(folded[pos + 1])];
      folded[pos] = pair[0];
      folded[pos + 1] = pair[1];
    }
    pos += len;
  }
  return folded;
}

}  // namespace quellor::platform

namespace quellor::platform {

bool NamesAreUtf8(const text::Charset&) { return false; }

}  // namespace quellor::platform
