// The helper's side: this program started with an administrator's rights by
// the window, reading the volumes the window asks for and sending back their
// names, until the window closes the pipe or ends.
//
// Its command line: --volume-helper PIPE WINDOW_PID [--image FILE]...
// It reads only drives ("C:") and the image files its command line names, so
// the window's pipe can never make it read any other file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellor::ntfs {

inline constexpr std::string_view kHelperArgument = "--volume-helper";

struct HelperArguments {
  std::string pipe;
  std::uint32_t window_pid = 0;
  std::vector<std::string> images;  // image files it may read besides drives
};

// True when the command line starts the helper rather than the window.
bool IsHelperCommandLine(const std::vector<std::string>& arguments);

// The helper's arguments; nothing when they are not all there and well formed.
std::optional<HelperArguments> ParseHelperArguments(const std::vector<std::string>& arguments);
std::vector<std::string> HelperCommandLine(const HelperArguments& helper);

// A volume text the helper reads as a drive: a letter and a colon.
bool IsDriveVolume(std::string_view volume);

// Connects to the window and serves its reads until the pipe ends. The
// process's exit code: 0 when the window closed the pipe, 2 when the
// arguments, the pipe or the window were not as expected.
int ServeVolumeReads(const std::vector<std::string>& arguments);

}  // namespace quellor::ntfs
