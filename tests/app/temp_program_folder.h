// A fresh temporary folder that stands in for the program folder.
#pragma once

#include "app/settings/settings.h"
#include "platform/system_charset.h"
#include "support/temp_tree.h"

namespace quellor::testing {

class TempProgramFolder : public TempTree {
 public:
  app::SettingsLocation location() const {
    return app::SettingsLocation{Root(), &platform::SystemCharset(), platform::kPathSeparator};
  }
};

}  // namespace quellor::testing
