// All keywords matched against one name at once, by the rules of match_rules.h:
// exact names through a hash table (the whole name and every prefix before a
// dot), substrings through one automaton, keywords with '*' or '?' through
// wildcard patterns that the automaton pre-selects by their longest literal.
// The cost per name does not grow with the number of plain keywords.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "search/exact_name_table.h"
#include "search/match_rules.h"
#include "search/name_characters.h"
#include "search/substring_automaton.h"
#include "search/wildcard_pattern.h"

namespace quellor::search {

class KeywordMatcher {
 public:
  KeywordMatcher(std::vector<std::string> keywords, const MatchRules& rules);

  // Calls `found` once for every keyword index that matches `name`, in
  // ascending order (equal keywords each get their own call).
  void ForEachMatch(std::string_view name, const std::function<void(std::size_t)>& found) const;

  const std::vector<std::string>& Keywords() const { return keywords_; }

  // Buffers of one thread's matching, reused from name to name.
  struct Scratch {
    std::string folded;
    std::vector<std::uint8_t> starts;
    std::vector<std::uint32_t> hits;
    std::vector<std::uint32_t> wildcards;
    std::vector<std::uint32_t> wildcard_seen;
    std::uint32_t stamp = 0;
  };

  // Sets `keyword_indices` to the keywords that match `name` or (when not
  // empty) its short alias, each keyword once, in ascending order.
  void CollectMatches(std::string_view name, std::string_view alias, Scratch& scratch,
                      std::vector<std::uint32_t>& keyword_indices) const;

 private:
  struct Wildcard {
    WildcardPattern pattern;  // exact `keyword.*`, fuzzy `*keyword*`
    std::uint32_t pattern_id;
  };

  void MatchOne(std::string_view name, Scratch& scratch) const;

  std::vector<std::string> keywords_;
  MatchRules rules_;
  CharacterStepper step_;
  NameFolder folder_;
  // Keyword indices of each distinct folded pattern, ascending.
  std::vector<std::vector<std::uint32_t>> patterns_;
  ExactNameTable exact_;
  SubstringAutomaton substrings_;
  std::vector<std::int32_t> literal_pattern_;                 // automaton id -> pattern, or -1
  std::vector<std::vector<std::uint32_t>> literal_wildcards_;  // automaton id -> wildcards it admits
  std::vector<Wildcard> wildcards_;
  std::vector<std::uint32_t> unfiltered_wildcards_;
};

}  // namespace quellor::search
