#include <windows.h>

#include <string>
#include <vector>

#include "platform/ini.h"

namespace quellor::platform {

std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key) {
  std::vector<char> value(10240, '\0');
  const std::string s(section), k(key);
  const DWORD length =
      GetPrivateProfileStringA(s.c_str(), k.c_str(), "", value.data(), static_cast<DWORD>(value.size()), file.c_str());
  return std::string(value.data(), length);
}

bool WriteIniValue(const std::string& file, std::string_view section, std::string_view key, std::string_view value) {
  const std::string s(section), k(key), v(value);
  return WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), file.c_str()) != 0;
}

}  // namespace quellor::platform
