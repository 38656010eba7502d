// Reading and writing one key of an INI file (section header, key=value lines).
#pragma once

#include <string>
#include <string_view>

namespace quellor::platform {

// The value, or the empty text when the file, the section or the key is missing.
std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key);

// Creates the file and the section when they are missing. False on failure.
bool WriteIniValue(const std::string& file, std::string_view section, std::string_view key, std::string_view value);

}  // namespace quellor::platform
