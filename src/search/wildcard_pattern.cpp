#include "search/wildcard_pattern.h"

namespace quellor::search {

WildcardPattern::WildcardPattern(std::string pattern, const CharacterStepper& step) : bytes_(std::move(pattern)) {
  const std::string_view p = bytes_;
  for (std::size_t pos = 0; pos < p.size();) {
    const std::size_t len = step(p, pos);
    Kind kind = Kind::Literal;
    if (len == 1 && p[pos] == '*') kind = Kind::Star;
    if (len == 1 && p[pos] == '?') kind = Kind::Any;
    tokens_.push_back(Token{kind, static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(len)});
    pos += len;
  }
}

void WildcardPattern::AppendLiteral(std::string_view character) {
  tokens_.push_back(Token{Kind::Literal, static_cast<std::uint32_t>(bytes_.size()),
                          static_cast<std::uint32_t>(character.size())});
  bytes_ += character;
}

void WildcardPattern::AppendStar() {
  tokens_.push_back(Token{Kind::Star, static_cast<std::uint32_t>(bytes_.size()), 1});
  bytes_ += '*';
}

void WildcardPattern::PrependStar() {
  tokens_.insert(tokens_.begin(), Token{Kind::Star, static_cast<std::uint32_t>(bytes_.size()), 1});
  bytes_ += '*';
}

bool WildcardPattern::Matches(std::string_view name, const CharacterStepper& step) const {
  const std::size_t npos = static_cast<std::size_t>(-1);
  const std::size_t count = tokens_.size();
  std::size_t i = 0, j = 0;
  std::size_t star = npos, star_j = 0;
  while (j < name.size()) {
    const std::size_t len = step(name, j);
    if (i < count && tokens_[i].kind == Kind::Star) {
      star = i++;
      star_j = j;
      continue;
    }
    if (i < count) {
      const Token& t = tokens_[i];
      if (t.kind == Kind::Any ||
          (t.size == len && std::string_view(bytes_).substr(t.at, t.size) == name.substr(j, len))) {
        ++i;
        j += len;
        continue;
      }
    }
    if (star == npos) return false;
    i = star + 1;
    star_j += step(name, star_j);
    j = star_j;
  }
  while (i < count && tokens_[i].kind == Kind::Star) ++i;
  return i == count;
}

std::string WildcardPattern::LongestLiteral() const {
  std::string best, run;
  for (const Token& t : tokens_) {
    if (t.kind == Kind::Literal) {
      run.append(bytes_, t.at, t.size);
    } else {
      run.clear();
    }
    if (run.size() > best.size()) best = run;
  }
  return best;
}

}  // namespace quellor::search
