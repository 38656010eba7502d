// The system's file calls, with the file system changing under a command as
// a test tells it: another volume behind every rename, another program
// adding or changing files between two copies, a copy that fails, a target
// that takes two names differing only by case for one.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quellor::testing {

class ChangingFileSystem : public platform::FileSystem {
 public:
  explicit ChangingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

  // Every rename answers that the target lies on another volume.
  bool other_volume = false;
  std::optional<bool> names_ignore_case;
  // Called after each file copied, with its source; the count from 1.
  std::function<void(const std::string& source, int count)> after_copy;
  // The copy of this many files from 1 fails with `copy_error` (0: none).
  int fail_copy = 0;
  int copy_error = 5;

  platform::ItemState Look(const std::string& path) const override { return inner_.Look(path); }
  int List(const std::string& folder, std::vector<platform::FolderItem>& items) const override {
    return inner_.List(folder, items);
  }
  std::optional<platform::FileIdentity> IdentityOf(const std::string& path) const override {
    return inner_.IdentityOf(path);
  }
  std::string RealPath(const std::string& path) const override { return inner_.RealPath(path); }
  int CreateFolder(const std::string& path) override { return inner_.CreateFolder(path); }
  int CopyFile(const std::string& source, const platform::ItemState& found, const std::string& target, bool replace,
               platform::ItemState& copied) override {
    if (++copies_ == fail_copy) return copy_error;
    const int code = inner_.CopyFile(source, found, target, replace, copied);
    if (code == 0 && after_copy) after_copy(source, copies_);
    return code;
  }
  int CopyLink(const std::string& source, const std::string& target) override {
    return inner_.CopyLink(source, target);
  }
  int Rename(const std::string& source, const platform::ItemState& found, const std::string& target,
             bool replace) override {
    return other_volume ? platform::kOtherVolume : inner_.Rename(source, found, target, replace);
  }
  int Remove(const std::string& path, const platform::ItemState& found) override { return inner_.Remove(path, found); }
  int CopyFolderTimes(const std::string& source, const std::string& target) override {
    return inner_.CopyFolderTimes(source, target);
  }
  char Separator() const override { return inner_.Separator(); }
  bool NamesIgnoreCase() const override { return names_ignore_case.value_or(inner_.NamesIgnoreCase()); }

 private:
  platform::FileSystem& inner_;
  int copies_ = 0;
};

}  // namespace quellor::testing
