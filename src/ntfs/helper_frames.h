// The messages between the window and its helper over their pipe, one frame
// each: a kind (1 byte), the payload's length (u32, little-endian, at most
// kMaxFramePayload) and the payload. Each side reads with a FrameReader that
// takes only what the other side sends, well formed: the window cannot trust
// its helper to be the program it started, nor to end its last frame.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>

#include "ntfs/volume_error.h"

namespace quellor::ntfs {

inline constexpr std::uint32_t kHelperProtocolVersion = 1;
inline constexpr std::size_t kMaxFramePayload = (std::size_t{1} << 20) + 64;
inline constexpr std::size_t kMaxVolumeTextBytes = 32767;

enum class FrameKind : std::uint8_t {
  // window → helper
  ReadVolume = 1,  // bytes: the volume ("C:", or an image file's path), UTF-8
  Cancel = 2,
  // helper → window
  Hello = 3,         // number: the protocol version; sent first
  Progress = 4,      // number: the percent of the table read, 0 to 100
  IndexBytes = 5,    // bytes: the next piece of the scan's stream (index_codec.h)
  VolumeRead = 6,    // the stream is whole
  VolumeFailed = 7,  // volume_error (never None) and number: the system's error code, 0 where none
};

struct Frame {
  static Frame ReadVolume(std::string volume) {
    return {FrameKind::ReadVolume, std::move(volume), 0, VolumeError::None};
  }
  static Frame Cancel() { return {FrameKind::Cancel, {}, 0, VolumeError::None}; }
  static Frame Hello(std::uint32_t version) { return {FrameKind::Hello, {}, version, VolumeError::None}; }
  static Frame Progress(std::uint32_t percent) { return {FrameKind::Progress, {}, percent, VolumeError::None}; }
  static Frame IndexBytes(std::string piece) { return {FrameKind::IndexBytes, std::move(piece), 0, VolumeError::None}; }
  static Frame VolumeRead() { return {FrameKind::VolumeRead, {}, 0, VolumeError::None}; }
  static Frame VolumeFailed(VolumeError error, std::uint32_t system_error) {
    return {FrameKind::VolumeFailed, {}, system_error, error};
  }

  FrameKind kind = FrameKind::Cancel;
  std::string bytes = {};
  std::uint32_t number = 0;
  VolumeError volume_error = VolumeError::None;
};

// The frame's bytes; empty when a reader would refuse it (a volume text that
// is empty, too long, not UTF-8 or holds '\0'; a percent over 100; a piece
// too large; a failure with no error).
std::string EncodeFrame(const Frame& frame);

enum class FrameSender { Window, Helper };

enum class FrameError {
  None,
  UnknownKind,   // no kind the sender sends
  TooLong,       // a length past kMaxFramePayload
  BadPayload,    // a payload not of its kind's form
  OutOfMemory,
};

// Frames from the bytes of a pipe, split anywhere. Memory: the frames fed
// and not yet taken, and one frame being gathered.
class FrameReader {
 public:
  explicit FrameReader(FrameSender sender) : sender_(sender) {}

  // False when the bytes so far hold a frame `sender` does not send; the
  // reader then stays failed, with the reason in Error(), and gives no more
  // frames, not even those before the fault.
  bool Feed(std::string_view bytes);
  // The next whole frame, in order; false when none is whole yet.
  bool Next(Frame& frame);
  FrameError Error() const { return error_; }

 private:
  bool FeedBytes(std::string_view bytes);
  bool Fail(FrameError error);

  FrameSender sender_;
  FrameError error_ = FrameError::None;
  std::string partial_;  // the frame being gathered: its head, then its payload
  std::size_t length_ = 0;
  std::deque<Frame> whole_;
};

}  // namespace quellor::ntfs
