// A shell that only records what it was asked to open or move to the recycle
// bin: how tests see a row or a report being opened without starting another
// program. Its recycle bin, as on a system without one, takes nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace quellor::testing {

class RecordingShell : public platform::Shell {
 public:
  struct Request {
    std::string path;
    bool select_in_folder;
    platform::ShellVerb verb;
  };
  bool Open(const std::string& path, platform::ShellVerb verb) override {
    requests.push_back(Request{path, false, verb});
    return true;
  }
  bool ShowInFolder(const std::string& path) override {
    requests.push_back(Request{path, true, platform::ShellVerb::Default});
    return show_in_folder_works;
  }
  platform::RecycleOutcome MoveToRecycleBin(const std::string& path) override {
    recycled.push_back(path);
    return platform::RecycleOutcome::NoBin;
  }
  std::vector<Request> requests;
  std::vector<std::string> recycled;
  // False: the shell cannot take the path (one past 260 characters on an older Windows).
  bool show_in_folder_works = true;
};

}  // namespace quellor::testing
