#include <cstring>

#include "platform/system_error.h"

namespace quellor::platform {

std::string SystemErrorText(int code) {
  const std::string number = "(" + std::to_string(code) + ")";
  char buffer[256] = {};
  // The GNU strerror_r may return a static text instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  if (text == nullptr || *text == '\0') return "error " + number;
  return std::string(text) + " " + number;
}

}  // namespace quellor::platform
