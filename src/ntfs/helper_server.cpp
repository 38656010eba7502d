#include "ntfs/helper_server.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "ntfs/aligned_source.h"
#include "ntfs/byte_source.h"
#include "ntfs/helper_frames.h"
#include "ntfs/index_codec.h"
#include "platform/helper_process.h"
#include "platform/message_pipe.h"
#include "platform/read_only_file.h"

namespace quellor::ntfs {

namespace {

constexpr std::string_view kImageArgument = "--image";

// One request of the window at a time, and the window's cancel while a table is read.
class HelperSession {
 public:
  HelperSession(platform::MessagePipe& pipe, const HelperArguments& arguments)
      : pipe_(pipe), arguments_(arguments) {}

  bool Send(const Frame& frame) {
    const std::string bytes = EncodeFrame(frame);
    return !bytes.empty() && pipe_.WriteAll(bytes.data(), bytes.size());
  }

  // Serves frames until the window closes the pipe (true) or breaks the protocol (false).
  bool Serve() {
    if (!Send(Frame{FrameKind::Hello, {}, kHelperProtocolVersion})) return false;
    char buffer[1 << 16];
    for (;;) {
      const std::size_t got = pipe_.ReadSome(buffer, sizeof buffer, std::chrono::milliseconds::max(), nullptr);
      if (got == 0) return pipe_.WhyNothingRead() == platform::MessagePipe::NothingRead::End;
      if (!reader_.Feed(std::string_view(buffer, got))) return false;
      Frame frame;
      while (reader_.Next(frame)) {
        // A cancel that comes after its read ended asks nothing.
        if (frame.kind == FrameKind::ReadVolume && !ReadVolume(frame.bytes)) return false;
      }
    }
  }

 private:
  // Sends what the scan of the volume's table hears, or why it cannot be
  // read; false when the pipe fails.
  bool ReadVolume(const std::string& volume) {
    std::unique_ptr<platform::ReadOnlyFile> file;
    int system_error = 0;
    if (IsDriveVolume(volume)) {
      file = platform::ReadOnlyFile::OpenVolume(volume, system_error);
    } else if (std::find(arguments_.images.begin(), arguments_.images.end(), volume) != arguments_.images.end()) {
      file = platform::ReadOnlyFile::Open(volume, system_error);
    } else {
      return Send(Frame{FrameKind::VolumeFailed, {}, 0, VolumeError::CannotRead});
    }
    if (!file) {
      return Send(Frame{FrameKind::VolumeFailed, {}, static_cast<std::uint32_t>(system_error), VolumeError::CannotRead});
    }
    FileByteSource device(std::move(file));
    AlignedByteSource source(device);
    cancelled_ = false;
    bool pipe_failed = false;
    int sent_percent = -1;
    const auto progress = [&](std::uint64_t read, std::uint64_t records) {
      const int percent = records == 0 ? 100 : static_cast<int>(100 * read / records);
      if (percent != sent_percent && !pipe_failed) {
        sent_percent = percent;
        pipe_failed = !Send(Frame{FrameKind::Progress, {}, static_cast<std::uint32_t>(percent)});
        if (pipe_failed) cancelled_ = true;  // nothing more can be sent
      }
      LookForCancel();
    };
    Frame piece{FrameKind::IndexBytes, {}};
    const auto write = [&](std::string_view bytes) {
      piece.bytes.assign(bytes);
      return Send(piece);
    };
    VolumeError error = VolumeError::None;
    const bool streamed = StreamVolume(source, write, error, progress, &cancelled_);
    if (pipe_failed) return false;
    if (streamed) return Send(Frame{FrameKind::VolumeRead, {}});
    // No error: a piece could not be sent, so the pipe carries nothing more.
    return error != VolumeError::None && Send(Frame{FrameKind::VolumeFailed, {}, 0, error});
  }

  // Takes what the window sent meanwhile without waiting: a cancel stops the
  // read; a second request is kept for after it.
  void LookForCancel() {
    while (pipe_.HasBytesWaiting()) {
      char buffer[4096];
      const std::size_t got = pipe_.ReadSome(buffer, sizeof buffer, std::chrono::milliseconds(0), nullptr);
      if (got == 0 || !reader_.Feed(std::string_view(buffer, got))) {
        cancelled_ = true;  // the window has gone, or broke the protocol: nothing more is sent
        return;
      }
      Frame frame;
      while (reader_.Next(frame)) {
        if (frame.kind == FrameKind::Cancel) cancelled_ = true;
        // A request sent while this one runs breaks the window's own rule of one at a time.
        if (frame.kind == FrameKind::ReadVolume) cancelled_ = true;
      }
    }
  }

  platform::MessagePipe& pipe_;
  const HelperArguments& arguments_;
  FrameReader reader_{FrameSender::Window};
  std::atomic<bool> cancelled_{false};
};

}  // namespace

bool IsHelperCommandLine(const std::vector<std::string>& arguments) {
  return !arguments.empty() && arguments.front() == kHelperArgument;
}

std::optional<HelperArguments> ParseHelperArguments(const std::vector<std::string>& arguments) {
  if (arguments.size() < 3 || arguments[0] != kHelperArgument || arguments[1].empty()) return std::nullopt;
  HelperArguments helper;
  helper.pipe = arguments[1];
  const std::string& pid = arguments[2];
  const auto [end, problem] = std::from_chars(pid.data(), pid.data() + pid.size(), helper.window_pid);
  if (problem != std::errc() || end != pid.data() + pid.size() || helper.window_pid == 0) return std::nullopt;
  for (std::size_t i = 3; i < arguments.size(); i += 2) {
    if (arguments[i] != kImageArgument || i + 1 == arguments.size() || arguments[i + 1].empty()) return std::nullopt;
    helper.images.push_back(arguments[i + 1]);
  }
  return helper;
}

std::vector<std::string> HelperCommandLine(const HelperArguments& helper) {
  std::vector<std::string> arguments{std::string(kHelperArgument), helper.pipe, std::to_string(helper.window_pid)};
  for (const std::string& image : helper.images) {
    arguments.emplace_back(kImageArgument);
    arguments.push_back(image);
  }
  return arguments;
}

bool IsDriveVolume(std::string_view volume) {
  return volume.size() == 2 && volume[1] == ':' &&
         ((volume[0] >= 'A' && volume[0] <= 'Z') || (volume[0] >= 'a' && volume[0] <= 'z'));
}

int ServeVolumeReads(const std::vector<std::string>& arguments) {
  const std::optional<HelperArguments> helper = ParseHelperArguments(arguments);
  if (!helper) return 2;
  // A helper whose window has gone has no one to work for.
  if (!platform::EndWhenProcessEnds(helper->window_pid)) return 2;
  int error = 0;
  const std::unique_ptr<platform::MessagePipe> pipe =
      platform::MessagePipe::Connect(helper->pipe, helper->window_pid, error);
  if (!pipe) return 2;
  return HelperSession(*pipe, *helper).Serve() ? 0 : 2;
}

}  // namespace quellor::ntfs
