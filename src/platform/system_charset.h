// The character sets of the program's texts: its own words (captions,
// messages, stored settings) in the system's, and the names and paths of files
// in the names' own.
#pragma once

#include <string_view>

#include "text/charset.h"

namespace quellor::platform {

// The program's own texts: on Windows the ANSI code page, on POSIX the
// locale's (in practice UTF-8).
const text::Charset& SystemCharset();

// Names and paths inside the program: UTF-8 on Windows, where every system
// call takes them as UTF-16 converted from it, so no name is ever made lossy;
// on POSIX the locale's, the file system's own bytes.
const text::Charset& NameCharset();

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
