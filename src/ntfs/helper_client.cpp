#include "ntfs/helper_client.h"

#include "ntfs/helper_frames.h"
#include "ntfs/helper_server.h"
#include "ntfs/index_codec.h"
#include "platform/helper_process.h"
#include "platform/message_pipe.h"
#include "platform/process_rights.h"

namespace quellor::ntfs {

namespace {

using std::chrono::milliseconds;

// How long the helper may take to connect once started (the system's prompt
// is answered before it starts; a loaded machine can take tens of seconds to
// start a process), and to send anything while it reads: it sends its
// progress at least once per 4 MiB of the table.
constexpr milliseconds kConnectTime(60000);
constexpr milliseconds kSilenceTime(60000);

}  // namespace

HelperClient::HelperClient(Launcher launcher) : launcher_(std::move(launcher)) {}

HelperClient::~HelperClient() {
  // Closing the pipe ends the helper; one that does not end soon is ended.
  pipe_.reset();
  if (process_ && !process_->Wait(milliseconds(2000))) process_->Terminate();
}

void HelperClient::GiveUp(Outcome why) {
  why_gave_up_ = why;
  gave_up_ = true;
  pipe_.reset();
  if (process_) {
    process_->Terminate();
    process_.reset();
  }
}

bool HelperClient::Start(const std::atomic<bool>& stop, Outcome& why) {
  why = Outcome::HelperFailed;
  HelperArguments arguments;
  int error = 0;
  pipe_ = platform::MessagePipe::Create(arguments.pipe, error);
  if (!pipe_) return false;
  arguments.window_pid = platform::CurrentProcessId();
  bool declined = false;
  process_ = launcher_(HelperCommandLine(arguments), error, declined);
  if (!process_) {
    if (declined) why = Outcome::Declined;
    return false;
  }
  if (!pipe_->AwaitClient(process_->Id(), kConnectTime, &stop)) {
    if (stop.load()) why = Outcome::Stopped;
    return false;
  }
  return true;
}

HelperClient::Result HelperClient::Read(const std::string& volume, const std::function<void(int percent)>& progress,
                                        const std::atomic<bool>& stop) {
  std::lock_guard<std::mutex> hold(mutex_);
  Result result;
  if (gave_up_) {
    result.outcome = why_gave_up_;
    return result;
  }
  const bool fresh = !pipe_;
  if (fresh) {
    Outcome why = Outcome::HelperFailed;
    if (!Start(stop, why)) {
      // A stop while it connects costs this search only; the next one starts it anew.
      if (why == Outcome::Stopped) {
        pipe_.reset();
        if (process_) process_->Terminate();
        process_.reset();
      } else {
        GiveUp(why);
      }
      result.outcome = why;
      return result;
    }
  }
  const auto broken = [&] {
    GiveUp(Outcome::HelperFailed);
    result.outcome = Outcome::HelperFailed;
    result.index.reset();
    return std::move(result);
  };
  const std::string request = EncodeFrame(Frame{FrameKind::ReadVolume, volume});
  if (request.empty()) {
    result.outcome = Outcome::VolumeFailed;
    result.volume_error = VolumeError::CannotRead;
    return result;
  }
  if (!pipe_->WriteAll(request.data(), request.size())) return broken();

  FrameReader reader(FrameSender::Helper);
  ScanStreamReader stream;
  bool hello_seen = !fresh;
  bool cancel_sent = false;
  char buffer[1 << 16];
  for (;;) {
    // Once the stop is seen, the helper is told and what it still sends is read and dropped.
    const std::size_t got = pipe_->ReadSome(buffer, sizeof buffer, kSilenceTime, cancel_sent ? nullptr : &stop);
    if (got == 0) {
      if (pipe_->WhyNothingRead() == platform::MessagePipe::NothingRead::Stopped) {
        const std::string cancel = EncodeFrame(Frame{FrameKind::Cancel, {}});
        if (!pipe_->WriteAll(cancel.data(), cancel.size())) return broken();
        cancel_sent = true;
        continue;
      }
      return broken();
    }
    if (!reader.Feed(std::string_view(buffer, got))) return broken();
    Frame frame;
    while (reader.Next(frame)) {
      if (!hello_seen) {
        if (frame.kind != FrameKind::Hello || frame.number != kHelperProtocolVersion) return broken();
        hello_seen = true;
        continue;
      }
      switch (frame.kind) {
        case FrameKind::Hello:
          return broken();
        case FrameKind::Progress:
          if (!cancel_sent) progress(static_cast<int>(frame.number));
          break;
        case FrameKind::IndexBytes:
          if (!cancel_sent && !stream.Feed(frame.bytes)) return broken();
          break;
        case FrameKind::VolumeRead:
          if (cancel_sent) {
            result.outcome = Outcome::Stopped;
            return result;
          }
          if (!stream.Complete()) return broken();
          result.index = stream.Take();
          if (!result.index) {
            // A whole stream of more names than an index holds: the volume's doing, not the helper's.
            result.outcome = Outcome::VolumeFailed;
            result.volume_error = VolumeError::TooLarge;
            return result;
          }
          result.outcome = Outcome::Read;
          return result;
        case FrameKind::VolumeFailed:
          result.outcome = cancel_sent ? Outcome::Stopped : Outcome::VolumeFailed;
          result.volume_error = frame.volume_error;
          result.system_error = static_cast<int>(frame.number);
          return result;
        default:
          return broken();
      }
    }
  }
}

}  // namespace quellor::ntfs
