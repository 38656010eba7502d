#include "ntfs/aligned_source.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quellor::ntfs {

AlignedByteSource::AlignedByteSource(ByteSource& inner, std::size_t alignment)
    : inner_(inner),
      alignment_(std::max<std::size_t>(alignment, 1)),
      bounce_size_(std::max(kBounceBytes / alignment_ * alignment_, alignment_)) {}

bool AlignedByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  const std::uint64_t source_size = Size();
  if (offset > source_size || size > source_size - offset) return false;
  if (size == 0) return true;
  const std::uint64_t end = offset + size;
  auto* const out = static_cast<unsigned char*>(buffer);
  // Where the buffer stands to the alignment as the offset does, the whole
  // sectors in between go straight into it, and only the ends are copied.
  if (reinterpret_cast<std::uintptr_t>(buffer) % alignment_ != offset % alignment_) {
    return ReadThroughBounce(offset, end, out);
  }
  const std::uint64_t middle_from = RoundDown(offset + alignment_ - 1);
  const std::uint64_t middle_to = end == source_size ? end : RoundDown(end);
  if (middle_from >= middle_to) return ReadThroughBounce(offset, end, out);
  return (middle_from == offset || ReadThroughBounce(offset, middle_from, out)) &&
         inner_.ReadAt(middle_from, out + (middle_from - offset), middle_to - middle_from) &&
         (middle_to == end || ReadThroughBounce(middle_to, end, out + (middle_to - offset)));
}

bool AlignedByteSource::ReadThroughBounce(std::uint64_t from, std::uint64_t to, unsigned char* out) {
  if (bounce_ == nullptr) {
    bounce_storage_.reset(new (std::nothrow) unsigned char[bounce_size_ + alignment_ - 1]);
    if (!bounce_storage_) return false;
    const auto address = reinterpret_cast<std::uintptr_t>(bounce_storage_.get());
    bounce_ = bounce_storage_.get() + (alignment_ - address % alignment_) % alignment_;
  }
  const std::uint64_t source_size = Size();
  while (from < to) {
    const std::uint64_t start = RoundDown(from);
    std::uint64_t stop = std::min(start + bounce_size_, source_size);
    if (stop > to) stop = std::min(stop, RoundDown(to + alignment_ - 1));
    if (!inner_.ReadAt(start, bounce_, static_cast<std::size_t>(stop - start))) return false;
    const std::uint64_t copied_to = std::min(to, stop);
    std::memcpy(out, bounce_ + (from - start), static_cast<std::size_t>(copied_to - from));
    out += copied_to - from;
    from = copied_to;
  }
  return true;
}

}  // namespace quellor::ntfs
