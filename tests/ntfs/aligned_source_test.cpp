// Reads through AlignedByteSource from a device that refuses, as a raw
// volume does, any read not on whole sectors into aligned memory: every
// request gives the right bytes, none reaches the device misaligned.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ntfs/aligned_source.h"
#include "ntfs/index_codec.h"
#include "support/ntfs_image.h"

namespace quellor::testing {
namespace {

constexpr std::size_t kAlignment = 4096;
constexpr std::uint64_t kMiB = 1 << 20;

unsigned char ByteAt(std::uint64_t offset) { return static_cast<unsigned char>(offset * 131 + (offset >> 12)); }

class StrictDevice : public ntfs::ByteSource {
 public:
  struct Read {
    std::uint64_t offset;
    std::size_t size;
    bool into_bounce;  // not into the caller's buffer
  };

  // `alignment` 1: a file, which takes any read.
  explicit StrictDevice(std::uint64_t size, std::string bytes = {}, std::size_t alignment = kAlignment)
      : size_(size), bytes_(std::move(bytes)), alignment_(alignment) {}

  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    const auto at = static_cast<unsigned char*>(buffer);
    if (offset % alignment_ != 0 || reinterpret_cast<std::uintptr_t>(buffer) % alignment_ != 0 ||
        (size % alignment_ != 0 && offset + size != size_) || offset > size_ || size > size_ - offset) {
      ADD_FAILURE() << "misaligned read of " << size << " bytes at " << offset;
      return false;
    }
    reads.push_back({offset, size, at < caller_ || at >= caller_ + caller_size_});
    if (offset < bad_to && bad_from < offset + size) return false;
    for (std::size_t i = 0; i < size; ++i) at[i] = bytes_.empty() ? ByteAt(offset + i) : bytes_[offset + i];
    return true;
  }
  std::uint64_t Size() const override { return size_; }

  void Caller(const unsigned char* buffer, std::size_t size) { caller_ = buffer, caller_size_ = size; }

  std::vector<Read> reads;
  std::uint64_t bad_from = 0, bad_to = 0;  // a sector that cannot be read

 private:
  std::uint64_t size_;
  std::string bytes_;
  std::size_t alignment_;
  const unsigned char* caller_ = nullptr;
  std::size_t caller_size_ = 0;
};

TEST(AlignedSource, EveryRequestGivesItsBytesThroughAlignedReads) {
  // Whole 512-byte sectors, but not whole 4 KiB.
  const std::uint64_t device_size = 12 * kMiB + 1536;
  struct Case {
    const char* what;
    std::uint64_t offset;
    std::size_t size;
    std::size_t misalignment;  // of the caller's buffer
    bool straight;             // goes to the device as it is
    bool read = true;
    bool bad_sector = false;  // the device cannot read 512 bytes at 10 MiB
  };
  const Case cases[] = {
      {"a sector at the start", 0, 4096, 0, true},
      {"one byte at the start", 0, 1, 0, false},
      {"three bytes inside a sector", 5000, 3, 0, false},
      {"across a sector's end", 4090, 20, 0, false},
      {"a record of 1 KiB", 3072, 1024, 0, false},
      {"a 4 MiB chunk", 4 * kMiB, 4 * kMiB, 0, true},
      {"a 4 MiB chunk into an odd buffer", 4 * kMiB, 4 * kMiB, 8, false},
      {"4 MiB from an odd offset into a buffer of the same phase", 4 * kMiB + 100, 4 * kMiB, 100, false},
      {"4 MiB from an odd offset into a buffer of another phase", 4 * kMiB + 100, 4 * kMiB, 1, false},
      {"the part sector at the end", 12 * kMiB, 1536, 0, true},
      {"the last byte", device_size - 1, 1, 0, false},
      {"the whole device", 0, device_size, 0, true},
      {"the whole device into an odd buffer", 0, device_size, 1, false},
      {"nothing, at the end", device_size, 0, 0, false},
      {"across the end", device_size - 100, 200, 0, false, false},
      {"past the end", device_size + 1, 1, 0, false, false},
      {"a bad sector inside", 10 * kMiB - 10, 100, 0, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StrictDevice device(device_size);
    if (c.bad_sector) device.bad_from = 10 * kMiB, device.bad_to = 10 * kMiB + 512;
    ntfs::AlignedByteSource source(device);
    std::vector<unsigned char> storage(c.size + 2 * kAlignment);
    const std::size_t to_aligned = kAlignment - reinterpret_cast<std::uintptr_t>(storage.data()) % kAlignment;
    unsigned char* const buffer = storage.data() + to_aligned + c.misalignment;
    device.Caller(buffer, c.size);
    ASSERT_EQ(source.ReadAt(c.offset, buffer, c.size), c.read);
    if (!c.read) continue;
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < c.size; ++i) wrong += buffer[i] != ByteAt(c.offset + i);
    EXPECT_EQ(wrong, 0u);
    if (c.straight) {
      ASSERT_EQ(device.reads.size(), 1u);
      EXPECT_EQ(device.reads[0].offset, c.offset);
      EXPECT_EQ(device.reads[0].size, c.size);
      EXPECT_FALSE(device.reads[0].into_bounce);
    }
    for (const StrictDevice::Read& read : device.reads) {
      if (read.into_bounce) {
        EXPECT_LE(read.size, ntfs::AlignedByteSource::kBounceBytes);
      }
    }
  }
}

// The table's reader asks for 512-byte boot sectors and records wherever they
// lie; through the aligned source its scan hears the same.
TEST(AlignedSource, AVolumeReadThroughItGivesTheSameIndex) {
  std::vector<ntfs_image::Record> records;
  for (std::uint64_t n = 16; n < 300; ++n) {
    ntfs_image::Record r;
    r.number = n;
    const std::u16string name = u"file " + std::u16string(1, u'a' + n % 26) + char16_t(u'0' + n % 10);
    r.names.push_back({5, 5, name, ntfs_image::kWin32});
    records.push_back(r);
  }
  const std::string image = ntfs_image::ImageBytes({512, 4096, 1024}, records);
  ASSERT_EQ(image.size() % 512, 0u);
  const auto stream = [&](bool aligned) {
    StrictDevice device(image.size(), image, aligned ? kAlignment : 1);
    ntfs::AlignedByteSource through(device);
    ntfs::VolumeError error = ntfs::VolumeError::None;
    std::string bytes;
    ntfs::StreamVolume(
        aligned ? static_cast<ntfs::ByteSource&>(through) : device,
        [&](std::string_view piece) {
          bytes += piece;
          return true;
        },
        error);
    return bytes;
  };
  const std::string plain = stream(false);
  EXPECT_GT(plain.size(), 300u * 8);
  EXPECT_EQ(stream(true), plain);
}

}  // namespace
}  // namespace quellor::testing
