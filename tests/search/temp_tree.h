// A fresh temporary folder with files and folders made on request, removed
// with everything in it at the end of the test.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quellor::search::testing {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root, without a trailing separator, in the platform's form.
  const std::string& Root() const { return root_; }
  // `relative` uses '/' between folders; the result uses the platform's separator.
  std::string Path(std::string_view relative) const;
  void File(std::string_view relative) const;
  void Folder(std::string_view relative) const;
  // False where the platform cannot make links.
  bool FolderLink(std::string_view relative, const std::string& target) const;

 private:
  std::string root_;
};

}  // namespace quellor::search::testing
