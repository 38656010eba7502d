// The profile functions keep config.ini as it always was: a file without a
// byte-order mark is read and written in the ANSI code page whichever form of
// the call is used. The wide form takes the file's path whole; sections, keys
// and values are the program's own texts, converted with the ANSI code page.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/ini.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key) {
  const std::optional<std::wstring> path = win32::WideName(file);
  if (!path) return {};
  std::vector<wchar_t> value(10240, L'\0');
  const std::wstring s = win32::WideText(section), k = win32::WideText(key);
  const DWORD length = GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", value.data(),
                                                static_cast<DWORD>(value.size()), path->c_str());
  // A value the code page cannot hold was not written by this program: read as none.
  return win32::AnsiText(std::wstring_view(value.data(), length)).value_or(std::string());
}

bool WriteIniValue(const std::string& file, std::string_view section, std::string_view key, std::string_view value) {
  const std::optional<std::wstring> path = win32::WideName(file);
  if (!path) return false;
  const std::wstring s = win32::WideText(section), k = win32::WideText(key), v = win32::WideText(value);
  return WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), path->c_str()) != 0;
}

}  // namespace quellor::platform
