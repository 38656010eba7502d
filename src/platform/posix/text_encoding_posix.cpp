#include <iconv.h>

#include <cerrno>
#include <map>
#include <string>
#include <utility>

#include "platform/system_charset.h"
#include "platform/text_encoding.h"
#include "platform/text_encoding_units.h"

namespace quellor::platform {

namespace {

const char* IconvName(TextEncoding encoding) { return encoding == TextEncoding::Utf8 ? "UTF-8" : "CP936"; }

// Opening a converter costs far more than converting one name, and a names
// file has thousands: each thread keeps the converters it opened.
class Converters {
 public:
  ~Converters() {
    for (const auto& [key, cd] : open_) ::iconv_close(cd);
  }
  iconv_t Get(const char* from, const char* to) {
    const std::pair<std::string, std::string> key(from, to);
    const auto found = open_.find(key);
    if (found != open_.end()) {
      ::iconv(found->second, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
      return found->second;
    }
    const iconv_t cd = ::iconv_open(to, from);
    if (cd != kFailed) open_.emplace(key, cd);
    return cd;
  }
  static inline const iconv_t kFailed = reinterpret_cast<iconv_t>(-1);

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> open_;
};

// Without //TRANSLIT or //IGNORE glibc's iconv stops with EILSEQ at a
// character it cannot convert; a count of irreversible conversions is refused
// as well, so nothing is ever replaced.
std::optional<std::string> Convert(std::string_view in, const char* from, const char* to) {
  thread_local Converters converters;
  const iconv_t cd = converters.Get(from, to);
  if (cd == Converters::kFailed) return std::nullopt;
  std::string out(in.size() * 2 + 16, '\0');
  char* in_at = const_cast<char*>(in.data());
  std::size_t in_left = in.size();
  std::size_t used = 0;
  bool ok = true;
  for (bool flushing = false;;) {
    char* out_at = out.data() + used;
    std::size_t out_left = out.size() - used;
    const std::size_t result = flushing ? ::iconv(cd, nullptr, nullptr, &out_at, &out_left)
                                        : ::iconv(cd, &in_at, &in_left, &out_at, &out_left);
    const int error = errno;
    used = static_cast<std::size_t>(out_at - out.data());
    if (result == static_cast<std::size_t>(-1) && error == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    if (result != 0) {
      ok = false;  // EILSEQ, EINVAL (a sequence cut at the end) or a replaced character
      break;
    }
    if (flushing) break;
    flushing = true;
  }
  if (!ok) return std::nullopt;
  out.resize(used);
  return out;
}

}  // namespace

TextEncoding NameEncoding() { return SystemCharset().IsDoubleByte() ? TextEncoding::Ansi : TextEncoding::Utf8; }

TextEncoding SystemTextEncoding() { return NameEncoding(); }

std::string AnsiEncodingName() { return "GBK"; }

std::optional<std::u16string> DecodeMultiByte(std::string_view bytes, TextEncoding from) {
  const std::optional<std::string> le = Convert(bytes, IconvName(from), "UTF-16LE");
  if (!le) return std::nullopt;
  return UnitsFromBytes(*le, false);
}

std::optional<std::string> EncodeMultiByte(std::u16string_view text, TextEncoding to) {
  return Convert(BytesFromUnits(text, false), "UTF-16LE", IconvName(to));
}

}  // namespace quellor::platform
