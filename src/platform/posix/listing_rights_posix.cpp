#include "platform/listing_rights.h"

namespace quellor::platform {

ListingRight RightToListWith(std::string_view) { return ListingRight::Allowed; }

bool MayOpenFolderToList(const std::string&) { return true; }

}  // namespace quellor::platform
