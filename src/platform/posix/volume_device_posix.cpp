#include "platform/volume_device.h"

namespace quellor::platform {

// Mount points are not volumes of their own that could be opened by name.
VolumeFacts FactsOfVolume(const std::string&) { return {}; }

}  // namespace quellor::platform
