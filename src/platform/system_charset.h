// The character set the system's texts are in: on Windows the ANSI code page,
// on POSIX the locale's (in practice UTF-8).
#pragma once

#include <string_view>

#include "text/charset.h"

namespace quellor::platform {

const text::Charset& SystemCharset();

// kPathSeparator joins a folder and a name in paths of this platform.
// kPathSeparators: the characters that separate folders in a path: a keyword holding one never
// matches, so it is never turned into a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

}  // namespace quellor::platform
