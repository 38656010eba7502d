#include "ntfs/helper_frames.h"

#include <algorithm>
#include <new>

#include "ntfs/little_endian.h"
#include "text/utf16.h"

namespace quellor::ntfs {

namespace {

constexpr std::size_t kHeadBytes = 5;

bool Sends(FrameSender sender, std::uint8_t kind) {
  switch (static_cast<FrameKind>(kind)) {
    case FrameKind::ReadVolume:
    case FrameKind::Cancel:
      return sender == FrameSender::Window;
    case FrameKind::Hello:
    case FrameKind::Progress:
    case FrameKind::IndexBytes:
    case FrameKind::VolumeRead:
    case FrameKind::VolumeFailed:
      return sender == FrameSender::Helper;
  }
  return false;
}

// A volume text the helper can hand to the system as it is: no '\0' to cut
// it short, and UTF-8 that becomes UTF-16 whole.
bool VolumeText(std::string_view volume) {
  if (volume.empty() || volume.size() > kMaxVolumeTextBytes) return false;
  for (std::size_t pos = 0; pos < volume.size();) {
    const std::size_t length = text::DecodeUtf8At(volume, pos).length;
    if (length == 0 || volume[pos] == '\0') return false;
    pos += length;
  }
  return true;
}

// A reason a read failed; the switch names every one, so that a new reason
// is taken here as soon as it exists.
bool FailureReason(std::uint32_t value) {
  switch (static_cast<VolumeError>(value)) {
    case VolumeError::None:
      return false;
    case VolumeError::CannotRead:
    case VolumeError::NotNtfs:
    case VolumeError::BadBootSector:
    case VolumeError::BadTableRecord:
    case VolumeError::BadTableMap:
    case VolumeError::TooLarge:
    case VolumeError::Stopped:
      return true;
  }
  return false;
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

std::uint32_t U32At(std::string_view bytes, std::size_t at) {
  return ByteView(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()).U32(at);
}

// The one place that knows each kind's payload, for the writer and the reader.
bool ParsePayload(FrameKind kind, std::string_view payload, Frame& frame) {
  frame = Frame{};
  frame.kind = kind;
  switch (kind) {
    case FrameKind::ReadVolume:
      if (!VolumeText(payload)) return false;
      frame.bytes = payload;
      return true;
    case FrameKind::IndexBytes:
      frame.bytes = payload;
      return true;
    case FrameKind::Cancel:
    case FrameKind::VolumeRead:
      return payload.empty();
    case FrameKind::Hello:
    case FrameKind::Progress:
      if (payload.size() != 4) return false;
      frame.number = U32At(payload, 0);
      return kind == FrameKind::Hello || frame.number <= 100;
    case FrameKind::VolumeFailed: {
      if (payload.size() != 8) return false;
      const std::uint32_t error = U32At(payload, 0);
      if (!FailureReason(error)) return false;
      frame.volume_error = static_cast<VolumeError>(error);
      frame.number = U32At(payload, 4);
      return true;
    }
  }
  return false;
}

}  // namespace

std::string EncodeFrame(const Frame& frame) {
  std::string payload;
  switch (frame.kind) {
    case FrameKind::ReadVolume:
    case FrameKind::IndexBytes:
      payload = frame.bytes;
      break;
    case FrameKind::Cancel:
    case FrameKind::VolumeRead:
      break;
    case FrameKind::Hello:
    case FrameKind::Progress:
      PutU32(payload, frame.number);
      break;
    case FrameKind::VolumeFailed:
      PutU32(payload, static_cast<std::uint32_t>(frame.volume_error));
      PutU32(payload, frame.number);
      break;
  }
  Frame check;
  if (payload.size() > kMaxFramePayload || !ParsePayload(frame.kind, payload, check)) return {};
  std::string bytes;
  bytes.reserve(kHeadBytes + payload.size());
  bytes.push_back(static_cast<char>(frame.kind));
  PutU32(bytes, static_cast<std::uint32_t>(payload.size()));
  return bytes += payload;
}

bool FrameReader::Feed(std::string_view bytes) {
  if (error_ != FrameError::None) return false;
  try {
    return FeedBytes(bytes);
  } catch (const std::bad_alloc&) {
    return Fail(FrameError::OutOfMemory);
  }
}

bool FrameReader::FeedBytes(std::string_view bytes) {
  for (;;) {
    if (partial_.size() < kHeadBytes) {
      const std::size_t take = std::min(kHeadBytes - partial_.size(), bytes.size());
      partial_.append(bytes.substr(0, take));
      bytes.remove_prefix(take);
      if (partial_.size() < kHeadBytes) return true;
      if (!Sends(sender_, static_cast<std::uint8_t>(partial_[0]))) return Fail(FrameError::UnknownKind);
      length_ = U32At(partial_, 1);
      if (length_ > kMaxFramePayload) return Fail(FrameError::TooLong);
      partial_.reserve(kHeadBytes + length_);
    }
    const std::size_t take = std::min(kHeadBytes + length_ - partial_.size(), bytes.size());
    partial_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (partial_.size() < kHeadBytes + length_) return true;
    Frame frame;
    if (!ParsePayload(static_cast<FrameKind>(partial_[0]), std::string_view(partial_).substr(kHeadBytes), frame)) {
      return Fail(FrameError::BadPayload);
    }
    whole_.push_back(std::move(frame));
    partial_.clear();
  }
}

bool FrameReader::Next(Frame& frame) {
  if (whole_.empty()) return false;
  frame = std::move(whole_.front());
  whole_.pop_front();
  return true;
}

bool FrameReader::Fail(FrameError error) {
  error_ = error;
  partial_ = {};
  whole_.clear();
  return false;
}

}  // namespace quellor::ntfs
