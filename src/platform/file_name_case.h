// Letter case as the file system ignores it in names.
#pragma once

#include <string>
#include <string_view>

#include "text/charset.h"

namespace quellor::platform {

// `name` with every character replaced by the one the file system treats as
// the same letter. Windows: each character of the basic plane through the
// wide upper-case mapping, one whose folded form has another UTF-8 length
// kept as it is. POSIX: A-Z turned into a-z only. The result has the length
// of `name`.
std::string FoldFileNameCase(const text::Charset& cs, std::string_view name);

// True when names are UTF-8 (a set without byte pairs), so a '?' in a
// file-name pattern stands for one UTF-8 character.
inline bool NamesAreUtf8(const text::Charset& cs) { return !cs.IsDoubleByte(); }

}  // namespace quellor::platform
