#include "text/charset.h"

#include <algorithm>
#include <utility>

namespace quellor::text {

Charset Charset::Gbk() {
  std::array<bool, 256> lead{};
  for (int b = 0x81; b <= 0xFE; ++b) lead[b] = true;
  return FromLeadBytes(lead, "\xA1\xA1");
}

Charset Charset::Utf8() {
  Charset cs;
  cs.full_width_space_ = "\xE3\x80\x80";
  return cs;
}

Charset Charset::FromLeadBytes(const std::array<bool, 256>& lead_bytes, std::string full_width_space) {
  Charset cs;
  cs.lead_bytes_ = lead_bytes;
  cs.double_byte_ = std::any_of(lead_bytes.begin(), lead_bytes.end(), [](bool b) { return b; });
  cs.full_width_space_ = std::move(full_width_space);
  return cs;
}

}  // namespace quellor::text
