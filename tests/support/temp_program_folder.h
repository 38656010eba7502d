// A fresh temporary folder that stands in for the program folder.
#pragma once

#include "commands/settings.h"
#include "platform/system_charset.h"
#include "support/temp_tree.h"

namespace quellor::testing {

class TempProgramFolder : public TempTree {
 public:
  commands::SettingsLocation location() const {
    return commands::SettingsLocation{Root(), &platform::NameCharset(), platform::kPathSeparator};
  }
};

}  // namespace quellor::testing
