#include "search/keyword_matcher.h"

#include <algorithm>
#include <unordered_map>

namespace quellor::search {

KeywordMatcher::KeywordMatcher(std::vector<std::string> keywords, const MatchRules& rules)
    : keywords_(std::move(keywords)),
      rules_(rules),
      step_(*rules.charset, rules.kind == NameKind::Files && rules.utf8_names),
      folder_(*rules.charset, rules.kind == NameKind::Files ? rules.fold_file_name : &text::FoldAsciiCase) {
  std::unordered_map<std::string, std::uint32_t> literal_ids;
  auto literal = [&](const std::string& bytes) {
    auto [it, added] = literal_ids.emplace(bytes, 0);
    if (added) {
      it->second = substrings_.Add(bytes);
      literal_pattern_.push_back(-1);
      literal_wildcards_.emplace_back();
    }
    return it->second;
  };
  std::unordered_map<std::string, std::uint32_t> exact_ids;
  std::unordered_map<std::string, std::uint32_t> wildcard_ids;
  std::string folded;
  std::vector<std::string_view> characters;
  for (std::uint32_t k = 0; k < keywords_.size(); ++k) {
    const std::string& keyword = keywords_[k];
    if (!KeywordCanMatch(rules_, keyword)) continue;
    folder_.Fold(keyword, folded);
    if (rules_.kind == NameKind::Files) {
      step_.Cut(folded, characters);
      WildcardPattern pattern(FileSearchPattern(rules_.mode, characters));
      // A plain fuzzy keyword whose pattern the platform rewrites (it ends in
      // a dot, say) is matched as that pattern too.
      const bool holds_wildcard = std::any_of(characters.begin(), characters.end(),
                                              [](std::string_view c) { return c == "*" || c == "?"; });
      const bool wild = holds_wildcard ||
                        (rules_.mode == MatchMode::Fuzzy && !pattern.IsPlainSubstring(characters.size()));
      if (wild) {
        auto [it, added] = wildcard_ids.emplace(folded, 0);
        if (!added) {
          patterns_[wildcards_[it->second].pattern_id].push_back(k);
          continue;
        }
        it->second = static_cast<std::uint32_t>(wildcards_.size());
        const auto pattern_id = static_cast<std::uint32_t>(patterns_.size());
        patterns_.push_back({k});
        const std::string filter = pattern.LongestLiteral();
        wildcards_.push_back(Wildcard{std::move(pattern), pattern_id});
        if (filter.empty()) {
          unfiltered_wildcards_.push_back(it->second);
        } else {
          literal_wildcards_[literal(filter)].push_back(it->second);
        }
        continue;
      }
    }
    if (rules_.mode == MatchMode::Exact) {
      auto [it, added] = exact_ids.emplace(folded, static_cast<std::uint32_t>(patterns_.size()));
      if (added) {
        patterns_.push_back({k});
        exact_.Add(folded, it->second);
      } else {
        patterns_[it->second].push_back(k);
      }
      continue;
    }
    const std::uint32_t id = literal(folded);
    if (literal_pattern_[id] < 0) {
      literal_pattern_[id] = static_cast<std::int32_t>(patterns_.size());
      patterns_.push_back({k});
    } else {
      patterns_[literal_pattern_[id]].push_back(k);
    }
  }
  exact_.Build();
  substrings_.Build();
}

void KeywordMatcher::MatchOne(std::string_view name, Scratch& s) const {
  folder_.Fold(name, s.folded);
  const std::string_view folded = s.folded;
  bool bounded = false;
  if (!step_.EveryByteACharacter()) {
    for (char c : folded) {
      if (!step_.IsAlwaysWhole(static_cast<unsigned char>(c))) {
        bounded = true;
        break;
      }
    }
    if (bounded) step_.MarkStarts(folded, s.starts);
  }
  auto starts_at = [&](std::size_t pos) { return !bounded || s.starts[pos] != 0; };

  if (!exact_.Empty()) {
    std::uint32_t hash = ExactNameTable::kStart;
    if (rules_.kind == NameKind::Files) {
      for (std::size_t i = 0; i < folded.size(); ++i) {
        if (folded[i] == '.' && i > 0 && starts_at(i)) {
          const std::int64_t id = exact_.Find(folded.substr(0, i), hash);
          if (id >= 0) s.hits.push_back(static_cast<std::uint32_t>(id));
        }
        hash = ExactNameTable::Step(hash, static_cast<unsigned char>(folded[i]));
      }
    } else {
      hash = ExactNameTable::HashOf(folded);
    }
    const std::int64_t id = exact_.Find(folded, hash);
    if (id >= 0) s.hits.push_back(static_cast<std::uint32_t>(id));
  }

  if (!wildcards_.empty()) {
    if (++s.stamp == 0) {
      std::fill(s.wildcard_seen.begin(), s.wildcard_seen.end(), 0);
      s.stamp = 1;
    }
    if (s.wildcard_seen.size() < wildcards_.size()) s.wildcard_seen.resize(wildcards_.size(), 0);
    s.wildcards.assign(unfiltered_wildcards_.begin(), unfiltered_wildcards_.end());
  }
  if (!substrings_.Empty()) {
    substrings_.Scan(folded, [&](std::uint32_t id, std::size_t end) {
      const std::int32_t pattern = literal_pattern_[id];
      if (pattern >= 0 && starts_at(end - substrings_.PatternSize(id)) && starts_at(end)) {
        s.hits.push_back(static_cast<std::uint32_t>(pattern));
      }
      for (std::uint32_t w : literal_wildcards_[id]) {
        if (s.wildcard_seen[w] != s.stamp) {
          s.wildcard_seen[w] = s.stamp;
          s.wildcards.push_back(w);
        }
      }
    });
  }
  if (!wildcards_.empty()) {
    for (std::uint32_t w : s.wildcards) {
      const Wildcard& wild = wildcards_[w];
      if (wild.pattern.Matches(folded, step_)) {
        s.hits.push_back(wild.pattern_id);
      }
    }
  }
}

void KeywordMatcher::CollectMatches(std::string_view name, std::string_view alias, Scratch& scratch,
                                    std::vector<std::uint32_t>& keyword_indices) const {
  keyword_indices.clear();
  scratch.hits.clear();
  MatchOne(name, scratch);
  if (!alias.empty()) MatchOne(alias, scratch);
  std::vector<std::uint32_t>& hits = scratch.hits;
  if (hits.empty()) return;
  if (hits.size() == 1) {
    keyword_indices = patterns_[hits[0]];
    return;
  }
  std::sort(hits.begin(), hits.end());
  hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
  for (std::uint32_t p : hits) keyword_indices.insert(keyword_indices.end(), patterns_[p].begin(), patterns_[p].end());
  std::sort(keyword_indices.begin(), keyword_indices.end());
}

void KeywordMatcher::ForEachMatch(std::string_view name, const std::function<void(std::size_t)>& found) const {
  Scratch scratch;
  std::vector<std::uint32_t> indices;
  CollectMatches(name, {}, scratch, indices);
  for (std::uint32_t k : indices) found(k);
}

}  // namespace quellor::search
