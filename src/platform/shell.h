// Opening a path in the program the system associates with it, showing
// an item selected in its folder, and moving an item to the recycle bin.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quellor::platform {

enum class ShellVerb {
  // The item's default action.
  Default,
  // The "open" action.
  Open,
};

// What became of a request to move an item to the recycle bin. Only Handed
// reached the shell; every other outcome left the item untouched, as the
// shell would delete such an item for good instead.
enum class RecycleOutcome : std::uint8_t {
  Handed,        // the shell was asked to move it: whether it went, the item's place tells
  NetworkDrive,  // on a network drive, which keeps no recycle bin
  NoBin,         // its drive keeps no recycle bin (or the system has none)
  NameNotTaken,  // the shell cannot take the path exactly (too long, a name ending in a dot or space, ...)
};

class Shell {
 public:
  virtual ~Shell() = default;
  // True when the request was accepted.
  virtual bool Open(const std::string& path, ShellVerb verb) = 0;
  // Opens the folder that holds `path` with the item selected; true when the
  // request was accepted.
  virtual bool ShowInFolder(const std::string& path) = 0;
  // Moves the item at `path` to the recycle bin, never deleting it for good
  // without the system asking the user first.
  virtual RecycleOutcome MoveToRecycleBin(const std::string& path) = 0;
};

std::unique_ptr<Shell> MakeSystemShell();

}  // namespace quellor::platform
