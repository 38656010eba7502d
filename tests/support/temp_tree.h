// A fresh temporary folder for a test, with files and folders made on request,
// removed with everything in it at the end of the test.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quellor::testing {

// A path as the program holds it (UTF-8 on Windows, the file system's bytes on
// POSIX) and as the standard library takes it, both ways.
std::filesystem::path NativePath(const std::string& text);
std::string PathText(const std::filesystem::path& path);

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The root, without a trailing separator, in the name encoding (UTF-8 on Windows).
  const std::string& Root() const { return root_; }
  // `relative` uses '/' between folders; the result uses the platform's separator.
  std::string Path(std::string_view relative) const;

  // Each makes the folders above it first. A file's name is taken exactly,
  // a trailing dot or space included.
  void File(std::string_view relative) const { Write(relative, "x"); }
  void Write(std::string_view relative, std::string_view bytes) const;
  void Folder(std::string_view relative) const;
  // A symbolic link to the folder or file `target` (a full path). False
  // where the platform cannot make links. Under Wine a link to a file looks
  // like the file itself.
  bool FolderLink(std::string_view relative, const std::string& target) const;
  bool FileLink(std::string_view relative, const std::string& target) const;
#ifndef _WIN32
  // Below the existing folder `relative`, a chain of folders with 200-byte
  // names, made one step at a time (each relative to the one before, so the
  // chain can reach past the longest path the system takes whole), until the
  // deepest path is at least `length` bytes. That path, or "" when a step
  // failed. The tree's removal at the end reaches it too.
  std::string FolderChain(std::string_view relative, std::size_t length) const;
#endif

  // The file's bytes, by its exact name.
  std::optional<std::string> Read(std::string_view relative) const;
  // Anything at `relative`, a dangling link too.
  bool Exists(std::string_view relative) const;

 private:
  std::filesystem::path path_;
  std::string root_;
};

}  // namespace quellor::testing
