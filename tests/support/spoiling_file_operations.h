// File operations that report every copy and move as done whatever became of
// it: they carry the request out on the real file system (or not, or as
// another kind), then spoil the target as told. How tests see that what the
// file operation calls done is checked, not believed.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "support/forwarding_file_operations.h"
#include "support/temp_tree.h"

namespace quellor::testing {

class SpoilingFileOperations : public ForwardingFileOperations {
 public:
  using ForwardingFileOperations::ForwardingFileOperations;

  enum class Kind { Copy, Move };
  // Whether a copy or move request is carried out, as what kind (the one
  // asked when unset), and what is then done to its target.
  bool carry_out = true;
  std::optional<Kind> carry_out_as;
  std::function<void(const std::filesystem::path& target)> spoil;

  platform::OperationResult Copy(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash,
                                 const std::set<platform::FileIdentity>* found_items) override {
    return Spoiled(Kind::Copy, source, found_as, target, clash, found_items);
  }
  platform::OperationResult Move(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash,
                                 const std::set<platform::FileIdentity>* found_items) override {
    return Spoiled(Kind::Move, source, found_as, target, clash, found_items);
  }

 private:
  platform::OperationResult Spoiled(Kind kind, const std::string& source, platform::PathKind found_as,
                                    const std::string& target, platform::OnClash clash,
                                    const std::set<platform::FileIdentity>* found_items) {
    if (carry_out) {
      if (carry_out_as.value_or(kind) == Kind::Copy) {
        inner_.Copy(source, found_as, target, clash, found_items);
      } else {
        inner_.Move(source, found_as, target, clash, found_items);
      }
    }
    if (spoil) spoil(NativePath(target));
    return platform::OperationResult{platform::ItemOutcome::Done, 0, 0, {}};
  }
};

// Spoilers: a file cut to half its size; in a folder, its first file by name.
inline void CutToHalf(const std::filesystem::path& file) {
  std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
}
inline void CutFirstFileToHalf(const std::filesystem::path& folder) {
  std::filesystem::path first;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file() && (first.empty() || entry.path() < first)) first = entry.path();
  }
  CutToHalf(first);
}

}  // namespace quellor::testing
