// Command lines as Windows programs cut them into arguments again: the C
// runtime and CommandLineToArgvW both split at spaces and tabs outside
// quotes, and read backslashes as escapes only before a quote.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellor::platform {

// `argument` written so that it comes back as exactly one argument, itself:
// as it is when it is not empty and holds no space, tab, line break or quote;
// otherwise in quotes, with a backslash before each quote and the
// backslashes that precede a quote or the closing quote doubled.
std::string QuotedArgument(std::string_view argument);

// The arguments each quoted so, one space between them.
std::string JoinedArguments(const std::vector<std::string>& arguments);

}  // namespace quellor::platform
