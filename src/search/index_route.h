// Whether a whole-computer root is searched through its volume's table of
// files (read by this process, or by a helper with an administrator's rights)
// or walked folder by folder, and why a walk is worth a word to the user.
#pragma once

#include <optional>
#include <string>

#include "search/run_status.h"

namespace quellor::search {

enum class IndexRoute { Walk, ReadHere, ReadByHelper };

// The rights the program runs with.
enum class ProcessRights {
  Elevated,    // an administrator's full token: volumes open here
  CanElevate,  // an administrator's filtered token: a helper can have them, after the system's prompt
  Standard,    // no administrator: volumes never open
};

// What the user and the helper said so far.
enum class HelperStatus {
  NotOffered,  // no helper here (quellor-find), or the user was never asked
  Refused,     // the user chose the walk, or declined the system's prompt
  Usable,      // allowed, and started or not yet needed
  Failed,      // it could not be started, or it ended
};

struct RootVolume {
  bool local_fixed = false;  // a fixed local disk (not network, removable or optical)
  bool substituted = false;  // a letter standing for a folder of another drive
  std::string file_system;  // as the system names it: "NTFS"
};

struct IndexChoice {
  IndexRoute route;
  std::optional<WalkReason> reason = {};  // a walk the user is told about
};

// Only a fixed local NTFS drive has a table of files worth reading; every
// other drive is walked as it always was, without a word.
bool VolumeQualifies(const RootVolume& volume);

IndexChoice ChooseIndexRoute(const RootVolume& volume, ProcessRights rights, HelperStatus helper);

}  // namespace quellor::search
