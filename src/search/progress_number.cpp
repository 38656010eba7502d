#include "search/progress_number.h"

namespace quellor::search {

int ProgressNumber(std::uint32_t tick) {
  // srand(tick); rand() of the Windows C runtime.
  const std::uint32_t state = tick * 214013u + 2531011u;
  const int value = static_cast<int>((state >> 16) & 0x7FFF);
  return 1 + value % 5000;
}

}  // namespace quellor::search
