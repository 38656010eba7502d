#include "platform/message_pipe.h"

namespace quellor::platform {

std::string MessagePipe::UnguessableName(std::uint32_t pid, const std::array<unsigned char, 16>& random) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name = "quellor-" + std::to_string(pid) + "-";
  for (const unsigned char byte : random) {
    name += kDigits[byte >> 4];
    name += kDigits[byte & 0xF];
  }
  return name;
}

}  // namespace quellor::platform
