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

// The encoding of file names and paths inside the program (NameCharset):
// UTF-8 on Windows; on POSIX the locale's, UTF-8 unless the locale is a GBK one.
TextEncoding NameEncoding();

// The encoding of the program's own texts and of the lists it stores for the
// user: the ANSI code page on Windows, the name encoding on POSIX.
TextEncoding SystemTextEncoding();

// How messages name the ANSI encoding: "code page 936" or "GBK".
std::string AnsiEncodingName();

// `bytes` in `from` as UTF-16 code units; nullopt when they are not valid
// text in `from` (an unpaired surrogate included).
std::optional<std::u16string> DecodeText(std::string_view bytes, TextEncoding from);

// `text` in `to`; nullopt when it holds a character that `to` cannot
// represent, or an unpaired surrogate.
std::optional<std::string> EncodeText(std::u16string_view text, TextEncoding to);

// A name or path in the name encoding as UTF-16, and back; nullopt when it is
// not valid there (EncodeName: when the encoding cannot hold a character). On
// Windows a lone surrogate of a name the system gave makes the round trip.
std::optional<std::u16string> DecodeName(std::string_view name);
std::optional<std::string> EncodeName(std::u16string_view text);

}  // namespace quellor::platform
