// One item copied or moved into a folder, with the choice of a free name on a
// name clash; the pieces that the window's commands and quellor-find share.
#pragma once

#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "text/charset.h"

namespace quellor::actions {

// The folder the user picks as a target; empty when cancelled.
std::string ChooseTargetFolder(platform::Dialogs& dialogs, std::string_view title);

// One request of the platform's file operation.
platform::FileOperationResult RunFileOperation(platform::FileOperations& files, platform::FileOperationKind kind,
                                               const std::string& source, const std::string& destination,
                                               unsigned flags);

// The first of "stem (2).ext", "stem (3).ext", ... (for a folder "name (2)",
// ...) that names nothing in `folder` (which ends in the separator). Empty
// when every candidate is taken.
std::string FreeNameInFolder(const platform::FileOperations& files, const text::Charset& cs,
                             const std::string& folder, std::string_view name, bool is_folder);

// Copies or moves `source` into `folder` (ending in the separator). On a name
// clash the item there is overwritten, or with `rename_on_clash` the new item
// is stored under a free name of our choosing, given to the platform as the
// explicit target (the platform's own rename is not relied upon). True when
// the platform reported success and the item is at its target.
bool TransferItem(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                  const std::string& source, const std::string& folder, bool rename_on_clash);

}  // namespace quellor::actions
