// File operations that report every copy and move as done whatever became of
// it: they carry the request out on the real file system (or not, or as
// another kind), then spoil the target as told. How tests see that what the
// platform calls done is checked, not believed.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_operations.h"
#include "support/temp_tree.h"

namespace quellor::testing {

class SpoilingFileOperations : public platform::FileOperations {
 public:
  explicit SpoilingFileOperations(platform::FileOperations& inner) : inner_(inner) {}

  // Whether a copy or move request is carried out, as what kind (the one
  // asked when unset), and what is then done to its target.
  bool carry_out = true;
  std::optional<platform::FileOperationKind> carry_out_as;
  std::function<void(const std::filesystem::path& target)> spoil;

  platform::FileOperationResult Run(platform::FileOperationKind kind, const std::string& source,
                                    const std::string& destination, unsigned flags) override {
    if (kind == platform::FileOperationKind::Delete) return inner_.Run(kind, source, destination, flags);
    if (carry_out) inner_.Run(carry_out_as.value_or(kind), source, destination, flags);
    const char separator = inner_.Separator();
    const std::string target = destination.back() == separator
                                   ? destination + source.substr(source.rfind(separator) + 1)
                                   : destination;
    if (spoil) spoil(NativePath(target));
    return platform::FileOperationResult{true, 0, false};
  }
  platform::PathKind KindOf(const std::string& path) const override { return inner_.KindOf(path); }
  std::optional<platform::FileIdentity> IdentityOf(const std::string& path) const override {
    return inner_.IdentityOf(path);
  }
  std::optional<platform::TreeContent> ContentOf(const std::string& path) const override {
    return inner_.ContentOf(path);
  }
  std::string RealPath(const std::string& path) const override { return inner_.RealPath(path); }
  char Separator() const override { return inner_.Separator(); }

 private:
  platform::FileOperations& inner_;
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
