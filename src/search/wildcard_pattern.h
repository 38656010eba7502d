// A file-search pattern with '*' and '?', matched as the platform's file
// search matches it.
//
// How it works: the platform rewrites a pattern before matching, for the sake
// of old 8.3 names, and so does this class. "*.*" becomes "*". Of the rest,
// every '?' becomes "one character, or none before a dot or at the end"; a '*'
// before a dot becomes "any characters but the name's last dot"; a '.' before
// '?' or '*' becomes "a dot, or the end of the name"; trailing dots and spaces
// are dropped. The rewritten pattern is matched one character at a time by
// following every way it can go at once, so no pattern costs more than
// (pattern length x name length) steps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/name_characters.h"

namespace quellor::search {

class WildcardPattern {
 public:
  // `characters`: the pattern cut into characters, already folded; a
  // one-byte "*" or "?" is a wildcard.
  explicit WildcardPattern(const std::vector<std::string_view>& characters);

  bool Matches(std::string_view name, const CharacterStepper& step) const;

  // The longest run of literal bytes: every name that matches holds it.
  std::string LongestLiteral() const;
  // True when the rewritten pattern is '*', `characters` literal characters
  // and '*': a plain substring search.
  bool IsPlainSubstring(std::size_t characters) const;
  // The rewritten pattern, the rewritten wildcards written as the platform's
  // documentation writes them: '<' (star before a dot), '>' (question mark),
  // '"' (dot before a wildcard).
  std::string Rewritten() const;

 private:
  enum class Kind : std::uint8_t { Literal, Star, DotlessStar, OptionalOne, DotOrEnd };
  struct Token {
    Kind kind;
    std::uint32_t at, size;  // Literal: its bytes in bytes_
  };
  std::string bytes_;
  std::vector<Token> tokens_;
  bool has_dotless_star_ = false;  // only then does a match look for the name's last dot
};

}  // namespace quellor::search
