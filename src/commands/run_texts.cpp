#include "commands/run_texts.h"

namespace quellor::commands {

std::string EndText(const std::string& done, const std::string& verb, int failed) {
  if (failed == 0) return done;
  return done + "其中 " + std::to_string(failed) + " 项" + verb + "失败。";
}

}  // namespace quellor::commands
