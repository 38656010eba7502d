// Opening a path in the program the system associates with it, and showing
// an item selected in its folder.
#pragma once

#include <memory>
#include <string>

namespace quellor::platform {

enum class ShellVerb {
  // The item's default action.
  Default,
  // The "open" action.
  Open,
};

class Shell {
 public:
  virtual ~Shell() = default;
  // True when the request was accepted.
  virtual bool Open(const std::string& path, ShellVerb verb) = 0;
  // Opens the folder that holds `path` with the item selected; true when the
  // request was accepted.
  virtual bool ShowInFolder(const std::string& path) = 0;
};

std::unique_ptr<Shell> MakeSystemShell();

}  // namespace quellor::platform
