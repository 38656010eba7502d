#include "search/substring_automaton.h"

namespace quellor::search {

std::uint32_t SubstringAutomaton::Add(std::string_view pattern) {
  pending_.emplace_back(pattern);
  sizes_.push_back(static_cast<std::uint32_t>(pattern.size()));
  return patterns_++;
}

void SubstringAutomaton::Build() {
  // Bytes that occur in no pattern share class 0.
  class_of_.fill(0);
  classes_ = 1;
  for (const std::string& p : pending_) {
    for (char c : p) {
      std::uint16_t& cls = class_of_[static_cast<unsigned char>(c)];
      if (cls == 0) cls = static_cast<std::uint16_t>(classes_++);
    }
  }
  constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  // The trie, as the goto function in the same table.
  next_.assign(classes_, kNone);
  own_.assign(1, -1);
  for (std::uint32_t id = 0; id < pending_.size(); ++id) {
    std::uint32_t state = 0;
    for (char c : pending_[id]) {
      const std::size_t slot = std::size_t{state} * classes_ + class_of_[static_cast<unsigned char>(c)];
      if (next_[slot] == kNone) {
        const auto created = static_cast<std::uint32_t>(own_.size());
        next_[slot] = created;
        own_.push_back(-1);
        next_.resize(next_.size() + classes_, kNone);
      }
      state = next_[slot];
    }
    own_[state] = static_cast<std::int32_t>(id);
  }
  pending_.clear();
  pending_.shrink_to_fit();
  // Breadth first: failure links turned into full transitions.
  const std::size_t states = own_.size();
  std::vector<std::uint32_t> failure(states, 0);
  dictionary_link_.assign(states, -1);
  reports_.assign(states, 0);
  std::vector<std::uint32_t> queue;
  queue.reserve(states);
  for (std::uint32_t c = 0; c < classes_; ++c) {
    std::uint32_t& t = next_[c];
    if (t == kNone) {
      t = 0;
    } else {
      queue.push_back(t);
    }
  }
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const std::uint32_t s = queue[head];
    const std::uint32_t f = failure[s];
    dictionary_link_[s] = own_[f] >= 0 ? static_cast<std::int32_t>(f) : dictionary_link_[f];
    reports_[s] = own_[s] >= 0 || dictionary_link_[s] >= 0;
    for (std::uint32_t c = 0; c < classes_; ++c) {
      std::uint32_t& t = next_[std::size_t{s} * classes_ + c];
      const std::uint32_t via_failure = next_[std::size_t{f} * classes_ + c];
      if (t == kNone) {
        t = via_failure;
      } else {
        failure[t] = via_failure;
        queue.push_back(t);
      }
    }
  }
  next_.shrink_to_fit();
}

}  // namespace quellor::search
