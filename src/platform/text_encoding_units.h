// UTF-16 code units and their bytes in either order, which text_encoding.cpp
// handles itself, and the conversions of UTF-8 and ANSI text that each
// platform's converter does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace quellor::platform {

// Pairs of bytes as code units; a last odd byte is left out.
std::u16string UnitsFromBytes(std::string_view bytes, bool big_endian);
std::string BytesFromUnits(std::u16string_view units, bool big_endian);

// UTF-8 or ANSI only (never UTF-16), by the platform's converter; nullopt
// for bytes that are not valid text in `from`, or a character `to` cannot
// represent. Surrogates are checked by the caller.
std::optional<std::u16string> DecodeMultiByte(std::string_view bytes, TextEncoding from);
std::optional<std::string> EncodeMultiByte(std::u16string_view text, TextEncoding to);

}  // namespace quellor::platform
