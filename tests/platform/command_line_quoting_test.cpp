// Arguments written into a command line as Windows programs cut it again.
#include <gtest/gtest.h>

#include "platform/command_line_quoting.h"

namespace quellor::platform {
namespace {

TEST(CommandLineQuoting, EachArgumentIsWrittenToComeBackAsItself) {
  const struct {
    std::string argument;
    std::string written;
  } cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"two words", "\"two words\""},
      {"tab\there", "\"tab\there\""},
      {"a\\b\\", "a\\b\\"},                                      // backslashes alone stay single
      {"C:\\Program Files\\", "\"C:\\Program Files\\\\\""},      // doubled before the closing quote
      {"say \"hi\"", "\"say \\\"hi\\\"\""},                      // each quote escaped
      {"back\\\"slash", "\"back\\\\\\\"slash\""},                // and the backslash before it doubled
      {"\\\\server\\share name", "\"\\\\server\\share name\""},  // backslashes before no quote
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedArgument(c.argument), c.written) << c.argument;
}

TEST(CommandLineQuoting, ArgumentsAreJoinedByOneSpace) {
  EXPECT_EQ(JoinedArguments({"--as-helper", "", "a b"}), "--as-helper \"\" \"a b\"");
  EXPECT_EQ(JoinedArguments({}), "");
}

}  // namespace
}  // namespace quellor::platform
