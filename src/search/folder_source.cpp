#include "search/folder_source.h"

#include <memory>

namespace quellor::search {

OpenFolders FileSystemFolders() {
  return [](const std::string& root) -> ReadFolder {
    auto reader = std::make_shared<const platform::FolderReader>(root);
    return [reader](const std::string& folder, platform::FolderListing& listing) {
      return reader->Read(folder, listing);
    };
  };
}

}  // namespace quellor::search
