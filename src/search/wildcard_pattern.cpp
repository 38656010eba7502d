#include "search/wildcard_pattern.h"

#include <algorithm>
#include <utility>

namespace quellor::search {

WildcardPattern::WildcardPattern(const std::vector<std::string_view>& characters) {
  std::size_t count = characters.size();
  // "*.*" (trailing dots aside) is every name.
  if (count >= 3 && characters[0] == "*" && characters[1] == "." && characters[2] == "*" &&
      std::all_of(characters.begin() + 3, characters.end(), [](std::string_view c) { return c == "."; })) {
    tokens_.push_back(Token{Kind::Star, 0, 0});
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view c = characters[i];
    const std::string_view next = i + 1 < count ? characters[i + 1] : std::string_view();
    Kind kind = Kind::Literal;
    if (c == "?") {
      kind = Kind::OptionalOne;
    } else if (c == "*") {
      kind = next == "." ? Kind::DotlessStar : Kind::Star;
    } else if (c == "." && (next == "?" || next == "*")) {
      kind = Kind::DotOrEnd;
    }
    if (kind == Kind::DotlessStar) has_dotless_star_ = true;
    Token token{kind, static_cast<std::uint32_t>(bytes_.size()), 0};
    if (kind == Kind::Literal) {
      token.size = static_cast<std::uint32_t>(c.size());
      bytes_ += c;
    }
    tokens_.push_back(token);
  }
  auto trailing_dot_or_space = [&] {
    if (tokens_.empty() || tokens_.back().kind != Kind::Literal || tokens_.back().size != 1) return false;
    const char c = bytes_[tokens_.back().at];
    return c == '.' || c == ' ';
  };
  while (trailing_dot_or_space()) tokens_.pop_back();
}

bool WildcardPattern::Matches(std::string_view name, const CharacterStepper& step) const {
  const std::size_t count = tokens_.size();
  if (count == 1 && tokens_[0].kind == Kind::Star) return true;
  std::size_t last_dot = name.size();
  if (has_dotless_star_) {
    for (std::size_t pos = 0; pos < name.size(); pos += step(name, pos)) {
      if (name[pos] == '.' && step(name, pos) == 1) last_dot = pos;
    }
  }
  // live[i]: the pattern can be at token i here. Names are matched by the
  // million: a pattern of usual length takes its state from the stack.
  constexpr std::size_t kOnStack = 64;
  std::uint8_t on_stack[2 * kOnStack] = {};
  std::vector<std::uint8_t> on_heap;
  std::uint8_t* live = on_stack;
  if (count + 1 > kOnStack) {
    on_heap.assign(2 * (count + 1), 0);
    live = on_heap.data();
  }
  std::uint8_t* next = live + (count + 1);
  live[0] = 1;
  for (std::size_t pos = 0;;) {
    const bool at_end = pos >= name.size();
    const std::size_t len = at_end ? 0 : step(name, pos);
    const bool dot = len == 1 && name[pos] == '.';
    // Steps that take no character, in pattern order (they only go forward).
    for (std::size_t i = 0; i < count; ++i) {
      if (!live[i]) continue;
      const Kind kind = tokens_[i].kind;
      if (kind == Kind::Star || kind == Kind::DotlessStar || (kind == Kind::OptionalOne && (at_end || dot)) ||
          (kind == Kind::DotOrEnd && at_end)) {
        live[i + 1] = 1;
      }
    }
    if (at_end) return live[count] != 0;
    std::fill(next, next + count + 1, 0);
    bool any = false;
    const std::string_view c = name.substr(pos, len);
    for (std::size_t i = 0; i < count; ++i) {
      if (!live[i]) continue;
      const Token& t = tokens_[i];
      std::size_t to = count + 1;
      switch (t.kind) {
        case Kind::Star:
          to = i;
          break;
        case Kind::DotlessStar:
          if (pos != last_dot) to = i;
          break;
        case Kind::OptionalOne:
          if (!dot) to = i + 1;
          break;
        case Kind::DotOrEnd:
          if (dot) to = i + 1;
          break;
        case Kind::Literal:
          if (std::string_view(bytes_).substr(t.at, t.size) == c) to = i + 1;
          break;
      }
      if (to <= count) {
        next[to] = 1;
        any = true;
      }
    }
    if (!any) return false;
    std::swap(live, next);
    pos += len;
  }
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

bool WildcardPattern::IsPlainSubstring(std::size_t characters) const {
  if (tokens_.size() != characters + 2 || tokens_.front().kind != Kind::Star || tokens_.back().kind != Kind::Star) {
    return false;
  }
  return std::all_of(tokens_.begin() + 1, tokens_.end() - 1, [](const Token& t) { return t.kind == Kind::Literal; });
}

std::string WildcardPattern::Rewritten() const {
  std::string out;
  for (const Token& t : tokens_) {
    switch (t.kind) {
      case Kind::Literal:
        out.append(bytes_, t.at, t.size);
        break;
      case Kind::Star:
        out += '*';
        break;
      case Kind::DotlessStar:
        out += '<';
        break;
      case Kind::OptionalOne:
        out += '>';
        break;
      case Kind::DotOrEnd:
        out += '"';
        break;
    }
  }
  return out;
}

}  // namespace quellor::search
