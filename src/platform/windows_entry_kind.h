// What a Windows folder entry is, from its attributes and reparse tag: the
// one rule the listing, the file operations and their checks share. Plain
// numbers, so that the rule's table is tested natively as well as under Wine.
#pragma once

#include <cstdint>

#include "platform/path_kind.h"

namespace quellor::platform {

inline constexpr std::uint32_t kWindowsFolderAttribute = 0x10;         // FILE_ATTRIBUTE_DIRECTORY
inline constexpr std::uint32_t kWindowsReparsePointAttribute = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT
inline constexpr std::uint32_t kWindowsNameSurrogateTag = 0x20000000;  // IsReparseTagNameSurrogate

// A junction, a symbolic link, a mount point is a link: a reparse point whose
// tag names another item (the name-surrogate bit). Tag 0 is no tag a Windows
// file system sets; Wine shows a Unix symbolic link to a folder that way, and
// entering it could loop. Every other reparse point (cloud-file placeholders,
// deduplicated files, projected file systems, container layers) is the item
// itself, a folder among them one to enter.
constexpr PathKind WindowsEntryKind(std::uint32_t attributes, std::uint32_t reparse_tag) {
  if ((attributes & kWindowsReparsePointAttribute) != 0 &&
      (reparse_tag == 0 || (reparse_tag & kWindowsNameSurrogateTag) != 0)) {
    return PathKind::Link;
  }
  return (attributes & kWindowsFolderAttribute) != 0 ? PathKind::Folder : PathKind::File;
}

}  // namespace quellor::platform
