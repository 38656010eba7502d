// Conversion of texts between the encodings that text files come in, done by
// the system's own converters so that a character that cannot be represented
// is detected, never replaced.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellor::platform {

enum class TextEncoding {
  Utf8,
  Utf16Le,
  Utf16Be,
  // The ANSI code page on Windows; elsewhere GBK (code page 936), the one the
  // Windows users' files that reach this program are in.
  Ansi,
};

// The encoding of this platform's file names and paths: the ANSI code page on
// Windows; on POSIX the locale's, UTF-8 unless the locale is a GBK one.
TextEncoding NameEncoding();

// How messages name the ANSI encoding: "code page 936" or "GBK".
std::string AnsiEncodingName();

// `bytes` in `from` as UTF-16 code units; nullopt when they are not valid
// text in `from` (an unpaired surrogate included).
std::optional<std::u16string> DecodeText(std::string_view bytes, TextEncoding from);

// `text` in `to`; nullopt when it holds a character that `to` cannot
// represent, or an unpaired surrogate.
std::optional<std::string> EncodeText(std::u16string_view text, TextEncoding to);

}  // namespace quellor::platform
