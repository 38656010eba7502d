// Splitting and joining texts at CR LF, the line break of every stored and shown text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/charset.h"

namespace quellor::text {

// Cuts `text` at every CR LF that starts on a character boundary. Every piece
// before a pair is an element (an empty one too); the piece after the last pair
// only if it is not empty. An empty text gives no element; a lone CR or LF is
// an ordinary character.
std::vector<std::string> SplitLines(const Charset& cs, std::string_view text);

// The clean-up of a list typed one entry a line: the lines of `text` (as
// SplitLines cuts them) that are not blank (IsBlankLine), each followed by
// CR LF; empty when none is left. Nullopt when that is `text` itself, so that
// a clean list is neither copied nor written back.
std::optional<std::string> WithoutBlankLines(const Charset& cs, std::string_view text);

// Each element followed by CR LF, the last one included.
std::string JoinLinesWithBreaks(const std::vector<std::string>& lines);

// The text up to its first NUL byte: how stored list files are read.
std::string_view TextBeforeNul(std::string_view bytes);

}  // namespace quellor::text
