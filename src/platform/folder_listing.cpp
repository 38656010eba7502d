#include "platform/folder_listing.h"

namespace quellor::platform {

FolderEntry FolderListing::operator[](std::size_t i) const {
  const Stored& s = entries_[i];
  const std::string_view all = bytes_;
  return FolderEntry{all.substr(s.name_at, s.name_size), all.substr(s.alias_at, s.alias_size), s.kind,
                     s.is_folder, s.enterable, s.facts};
}

void FolderListing::Clear() {
  bytes_.clear();
  entries_.clear();
  problem_ = ReadProblem::None;
}

void FolderListing::Add(std::string_view name, std::string_view alias, PathKind kind, bool is_folder,
                        bool enterable, const EntryFacts& facts) {
  Stored s{};
  s.name_at = static_cast<std::uint32_t>(bytes_.size());
  s.name_size = static_cast<std::uint32_t>(name.size());
  bytes_ += name;
  s.alias_at = static_cast<std::uint32_t>(bytes_.size());
  s.alias_size = static_cast<std::uint32_t>(alias.size());
  bytes_ += alias;
  s.kind = kind;
  s.is_folder = is_folder;
  s.enterable = enterable;
  s.facts = facts;
  entries_.push_back(s);
}

}  // namespace quellor::platform
