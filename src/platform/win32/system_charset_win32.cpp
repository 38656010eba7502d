#include <windows.h>

#include <array>

#include "platform/system_charset.h"

namespace quellor::platform {

namespace {
text::Charset QueryAnsiCharset() {
  std::array<bool, 256> lead{};
  const UINT code_page = GetACP();
  for (int b = 0x80; b < 256; ++b) lead[b] = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(b)) != 0;
  char space[8] = {};
  const wchar_t ideographic_space = 0x3000;
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(code_page, 0, &ideographic_space, 1, space, sizeof space, nullptr, &lossy);
  return text::Charset::FromLeadBytes(lead, (length > 0 && !lossy) ? std::string(space, length) : std::string());
}
}  // namespace

const text::Charset& SystemCharset() {
  static const text::Charset charset = QueryAnsiCharset();
  return charset;
}

const text::Charset& NameCharset() {
  static const text::Charset charset = text::Charset::Utf8();
  return charset;
}

}  // namespace quellor::platform
