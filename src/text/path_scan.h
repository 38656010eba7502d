// Scans over paths and names that move one whole character at a time, so a
// trail byte equal to a backslash or a letter is never taken for one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/charset.h"

namespace quellor::text {

// Position of the last `separator` character, or npos.
std::size_t FindLastSeparator(const Charset& cs, std::string_view path, char separator = '\\');

// The text after the last separator; the whole text without one; empty when
// the text ends in one.
std::string_view LastPathComponent(const Charset& cs, std::string_view path, char separator = '\\');

// One final backslash removed; a trail byte 0x5C is never taken for one.
std::string StripTrailingBackslash(const Charset& cs, std::string_view path);

// True when the last character of `path` is `separator`.
bool EndsWithSeparator(const Charset& cs, std::string_view path, char separator = '\\');

// First position at or after `from` where `needle` occurs in `haystack`, A-Z
// and a-z compared without regard to case, other bytes exactly, the match
// starting on a character boundary of `haystack`. npos when there is none; an
// empty needle is found at `from` when `from` is inside the text.
std::size_t FindIgnoringAsciiCase(const Charset& cs, std::string_view haystack, std::string_view needle,
                                  std::size_t from = 0);

// True when nothing is left after removing every half-width space and every
// full-width space of the character set; tabs and all else are content.
bool IsBlankLine(const Charset& cs, std::string_view line);

}  // namespace quellor::text
