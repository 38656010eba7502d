// Which reparse points are links: the one rule the listing and the file
// operations share.
#pragma once

#include <windows.h>

namespace quellor::platform::win32 {

// A junction, a symbolic link, a mount point: a reparse point whose tag names
// another item (the name-surrogate bit). Tag 0 is no tag a Windows file
// system sets; Wine shows a Unix symbolic link to a folder that way. Other
// reparse points (cloud placeholders, deduplicated files) are the item itself.
inline bool IsLink(DWORD attributes, DWORD reparse_tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (reparse_tag == 0 || IsReparseTagNameSurrogate(reparse_tag));
}

}  // namespace quellor::platform::win32
