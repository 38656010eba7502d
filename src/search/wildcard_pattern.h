// A '*'/'?' pattern cut into characters once, matched without allocating.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/name_characters.h"

namespace quellor::search {

class WildcardPattern {
 public:
  // `pattern` is already folded; its characters are cut by `step`.
  WildcardPattern(std::string pattern, const CharacterStepper& step);
  // Adds a literal character (such as the '.' of `keyword.*`) or a star.
  void AppendLiteral(std::string_view character);
  void AppendStar();
  void PrependStar();

  bool Matches(std::string_view name, const CharacterStepper& step) const;

  // The longest run of literal bytes: every name that matches holds it.
  std::string LongestLiteral() const;

 private:
  enum class Kind : std::uint8_t { Literal, Star, Any };
  struct Token {
    Kind kind;
    std::uint32_t at, size;
  };
  std::string bytes_;
  std::vector<Token> tokens_;
};

}  // namespace quellor::search
