// A fresh temporary folder for a test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace quellor::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` inside the folder, as the platform's narrow path text.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace quellor::testing
