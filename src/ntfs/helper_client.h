// The window's side of the helper: the same program started with an
// administrator's rights, which reads volumes the window cannot open and
// sends back their names over a pipe only the two of them use. It is started
// at the first read (the system asks the user once) and kept until the window
// ends; whatever it sends is checked before it becomes an index.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ntfs/volume_error.h"
#include "ntfs/volume_index.h"

namespace quellor::platform {
class ChildProcess;
class MessagePipe;
}  // namespace quellor::platform

namespace quellor::ntfs {

class HelperClient {
 public:
  // Starts the helper with these arguments; null, with the system's error,
  // when it cannot be started (`declined` when the user said no to the
  // system's prompt). The window starts this program elevated; tests start
  // whatever program they mean to test against.
  using Launcher = std::function<std::unique_ptr<platform::ChildProcess>(const std::vector<std::string>& arguments,
                                                                        int& error, bool& declined)>;
  explicit HelperClient(Launcher launcher);
  ~HelperClient();
  HelperClient(const HelperClient&) = delete;
  HelperClient& operator=(const HelperClient&) = delete;

  enum class Outcome {
    Read,          // `index` holds the volume's names
    Declined,      // the user declined the system's prompt: no helper this session
    HelperFailed,  // it could not be started, answered wrongly, or ended: no helper this session
    VolumeFailed,  // the helper runs, but could not read this volume
    Stopped,       // the stop request came first
  };
  struct Result {
    Outcome outcome = Outcome::HelperFailed;
    std::unique_ptr<VolumeIndex> index;
    VolumeError volume_error = VolumeError::None;  // VolumeFailed: why
    int system_error = 0;                          // VolumeFailed: the system's code, where it had one
  };

  // Reads `volume` ("C:", or an image file the helper was started to read)
  // through the helper, starting it first where it is not running.
  Result Read(const std::string& volume, const std::function<void(int percent)>& progress,
              const std::atomic<bool>& stop);

  // Declined or failed before: nothing will be asked of it this session.
  bool GaveUp() const { return gave_up_.load(); }
  Outcome WhyGaveUp() const { return why_gave_up_; }

 private:
  bool Start(const std::atomic<bool>& stop, Outcome& why);
  void GiveUp(Outcome why);

  Launcher launcher_;
  std::mutex mutex_;  // one read at a time
  std::unique_ptr<platform::MessagePipe> pipe_;
  std::unique_ptr<platform::ChildProcess> process_;
  std::atomic<bool> gave_up_{false};
  Outcome why_gave_up_ = Outcome::HelperFailed;
};

}  // namespace quellor::ntfs
