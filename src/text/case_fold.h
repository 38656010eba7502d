// ASCII case folding that never touches the second byte of a double-byte character.
#pragma once

#include <string>
#include <string_view>

#include "text/charset.h"

namespace quellor::text {

constexpr char FoldAsciiChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A-Z turned into a-z, character by character; every other byte unchanged.
std::string FoldAsciiCase(const Charset& cs, std::string_view text);

// Equal after folding A-Z of both; other bytes compared as they are.
bool EqualsIgnoringAsciiCase(const Charset& cs, std::string_view a, std::string_view b);

}  // namespace quellor::text
