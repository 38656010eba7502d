#include <windows.h>

#include "platform/system_error.h"

namespace quellor::platform {

std::string SystemErrorText(int code) {
  const std::string number = "(" + std::to_string(code) + ")";
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "error " + number;
  std::string described(text, length);
  LocalFree(text);
  while (!described.empty() && (described.back() == '\n' || described.back() == '\r' || described.back() == ' ')) {
    described.pop_back();
  }
  return described + " " + number;
}

}  // namespace quellor::platform
