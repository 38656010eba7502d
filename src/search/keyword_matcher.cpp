#include "search/keyword_matcher.h"

namespace quellor::search {

KeywordMatcher::KeywordMatcher(std::vector<std::string> keywords, const MatchRules& rules)
    : keywords_(std::move(keywords)), rules_(rules) {}

void KeywordMatcher::ForEachMatch(std::string_view name, const std::function<void(std::size_t)>& found) const {
  for (std::size_t k = 0; k < keywords_.size(); ++k) {
    if (NameMatchesKeyword(rules_, name, keywords_[k])) found(k);
  }
}

}  // namespace quellor::search
