#include <langinfo.h>

#include <clocale>
#include <string>

#include "platform/system_charset.h"

namespace quellor::platform {

namespace {
text::Charset QueryLocaleCharset() {
  const std::string previous = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "");
  const std::string codeset = nl_langinfo(CODESET);
  std::setlocale(LC_CTYPE, previous.c_str());
  if (codeset == "GBK" || codeset == "GB2312" || codeset == "CP936") return text::Charset::Gbk();
  return text::Charset::Utf8();
}
}  // namespace

const text::Charset& SystemCharset() {
  static const text::Charset charset = QueryLocaleCharset();
  return charset;
}

const text::Charset& NameCharset() { return SystemCharset(); }

}  // namespace quellor::platform
