// UTF-16 code units and their bytes in either order: what both platforms'
// converters share.
#pragma once

#include <string>
#include <string_view>

namespace quellor::platform {

bool HasUnpairedSurrogate(std::u16string_view text);

// Pairs of bytes as code units; a last odd byte is left out.
std::u16string UnitsFromBytes(std::string_view bytes, bool big_endian);
std::string BytesFromUnits(std::u16string_view units, bool big_endian);

}  // namespace quellor::platform
