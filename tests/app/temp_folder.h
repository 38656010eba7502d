// A fresh temporary folder that stands in for the program folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "app/settings/settings.h"
#include "platform/system_charset.h"

namespace quellor::testing {

class TempProgramFolder {
 public:
  TempProgramFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("quellor-app-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempProgramFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  app::SettingsLocation location() const {
    return app::SettingsLocation{path_.string(), &platform::SystemCharset(), platform::kPathSeparator};
  }

  void Write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(path_ / std::string(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::optional<std::string> Read(std::string_view name) const {
    std::ifstream in(path_ / std::string(name), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(std::string_view name) const { return std::filesystem::exists(path_ / std::string(name)); }

 private:
  std::filesystem::path path_;
};

}  // namespace quellor::testing
