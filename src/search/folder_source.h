// Where a walk reads its folders: the file system, or a stand-in that a test
// gives (slow listings, a tree that exists only in memory).
#pragma once

#include <functional>
#include <string>

#include "platform/folder_listing.h"

namespace quellor::search {

// Reads one folder as platform::FolderReader::Read does. Each thread of a
// walk has its own.
using ReadFolder = std::function<bool(const std::string& folder, platform::FolderListing& listing)>;

// Makes the ReadFolder of one thread of the walk of `root`.
using OpenFolders = std::function<ReadFolder(const std::string& root)>;

// The file system's folders, through platform::FolderReader.
OpenFolders FileSystemFolders();

}  // namespace quellor::search
