#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "platform/posix/path_posix.h"
#include "platform/shell.h"

extern char** environ;

namespace quellor::platform {

namespace {

// Hands `path` to the desktop's opener (xdg-open) and reports whether it
// accepted it. Without a desktop there is nothing to open with: false.
bool RunOpener(const std::string& path) {
  const std::string program = "xdg-open";
  char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(path.c_str()), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class PosixShell final : public Shell {
 public:
  bool Open(const std::string& path, ShellVerb /*verb*/) override { return RunOpener(path); }
  // The desktop opener cannot select an item: the folder is opened without a selection.
  bool ShowInFolder(const std::string& path) override { return RunOpener(posix::ParentFolder(path)); }
  // The program keeps no recycle bin of its own here: nothing is moved, and
  // nothing deleted in its place.
  RecycleOutcome MoveToRecycleBin(const std::string& /*path*/) override { return RecycleOutcome::NoBin; }
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() { return std::make_unique<PosixShell>(); }

}  // namespace quellor::platform
