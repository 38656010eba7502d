// All keywords matched against one name at once, by the rules of match_rules.h.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "search/match_rules.h"

namespace quellor::search {

class KeywordMatcher {
 public:
  KeywordMatcher(std::vector<std::string> keywords, const MatchRules& rules);

  // Calls `found` once for every keyword index that matches `name`, in
  // ascending order (equal keywords each get their own call).
  void ForEachMatch(std::string_view name, const std::function<void(std::size_t)>& found) const;

  const std::vector<std::string>& Keywords() const { return keywords_; }

 private:
  std::vector<std::string> keywords_;
  MatchRules rules_;
};

}  // namespace quellor::search
