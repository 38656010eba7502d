#include "search/exact_name_table.h"

namespace quellor::search {

std::uint32_t ExactNameTable::HashOf(std::string_view key) {
  std::uint32_t h = kStart;
  for (char c : key) h = Step(h, static_cast<unsigned char>(c));
  return h;
}

void ExactNameTable::Add(std::string_view key, std::uint32_t id) {
  key_at_.push_back(static_cast<std::uint32_t>(keys_.size()));
  key_size_.push_back(static_cast<std::uint32_t>(key.size()));
  keys_ += key;
  ids_.push_back(id);
}

void ExactNameTable::Build() {
  std::size_t size = 16;
  shift_ = 28;
  while (size < ids_.size() * 2) {
    size *= 2;
    --shift_;
  }
  slots_.assign(size, Slot{0, 0});
  mask_ = static_cast<std::uint32_t>(size - 1);
  for (std::uint32_t e = 0; e < ids_.size(); ++e) {
    const std::uint32_t h = HashOf(std::string_view(keys_).substr(key_at_[e], key_size_[e]));
    std::uint32_t i = Slot0(h);
    while (slots_[i].entry != 0) i = (i + 1) & mask_;
    slots_[i] = Slot{h, e + 1};
  }
}

std::int64_t ExactNameTable::Find(std::string_view key, std::uint32_t hash) const {
  if (slots_.empty()) return -1;
  for (std::uint32_t i = Slot0(hash);; i = (i + 1) & mask_) {
    const Slot& s = slots_[i];
    if (s.entry == 0) return -1;
    if (s.hash != hash) continue;
    const std::uint32_t e = s.entry - 1;
    if (std::string_view(keys_).substr(key_at_[e], key_size_[e]) == key) return ids_[e];
  }
}

}  // namespace quellor::search
