// Letter case as the file system ignores it in names.
#pragma once

#include <string>
#include <string_view>

#include "text/charset.h"

namespace quellor::platform {

// `name` with every character replaced by the one the file system treats as
// the same letter. Windows: each character through the wide upper-case
// mapping, a character whose folded form does not fit the code page (or has
// another length) kept as it is. POSIX: A-Z turned into a-z only. The result
// has the length of `name`.
std::string FoldFileNameCase(const text::Charset& cs, std::string_view name);

}  // namespace quellor::platform

namespace quellor::platform {

// True when names are UTF-8 (POSIX with a set that has no byte pairs), so a
// '?' in a file-name pattern stands for one UTF-8 character.
bool NamesAreUtf8(const text::Charset& cs);

}  // namespace quellor::platform
