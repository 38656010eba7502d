// Damaged volumes, a fixed number from fixed seeds: bytes of the boot
// sector, of the table's first record (its run list and attribute list), of
// other records and their attributes changed at random, and volumes cut
// short. Every one must end with an index (walked to its end, each folder
// entered once) or a named error; under the sanitizer build the same rounds
// catch every read past an end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ntfs/byte_source.h"
#include "ntfs/volume_index.h"
#include "search/index_walk.h"
#include "support/ntfs_image.h"

namespace quellor::testing {
namespace {

namespace img = ntfs_image;

// A volume's bytes with a few of them changed, without copying the volume.
class PatchedSource : public ntfs::ByteSource {
 public:
  PatchedSource(const std::string& base, std::map<std::uint64_t, char> patches, std::uint64_t size)
      : base_(base), patches_(std::move(patches)), size_(size) {}
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset > size_ || size > size_ - offset) return false;
    std::memcpy(buffer, base_.data() + offset, size);
    for (auto it = patches_.lower_bound(offset); it != patches_.end() && it->first < offset + size; ++it) {
      static_cast<char*>(buffer)[it->first - offset] = it->second;
    }
    return true;
  }
  std::uint64_t Size() const override { return size_; }

 private:
  const std::string& base_;
  std::map<std::uint64_t, char> patches_;
  std::uint64_t size_;
};

class FolderCounter : public search::FolderVisitor {
 public:
  std::set<std::string> entered;
  std::size_t entries = 0;
  bool Enter(const std::string& path, const platform::FolderListing& listing) override {
    EXPECT_TRUE(entered.insert(path).second) << "entered twice: " << path;
    entries += listing.size();
    return true;
  }
  void Leave(std::string) override {}
  void PassOver(const std::string&, std::string_view, platform::PathKind) override {}
  bool StopRequested() const override { return false; }
  void Stopped(std::size_t) override {}
};

std::vector<img::Record> Volume() {
  std::vector<img::Record> records;
  for (std::uint64_t n = 16; n < 40; ++n) {
    img::Record r;
    r.number = n;
    r.folder = n % 4 == 0;
    // Folders every fourth record, each holding the next few.
    const std::uint64_t parent = n < 20 ? 5 : (n - 1) / 4 * 4;
    r.names.push_back({parent, static_cast<std::uint16_t>(parent == 5 ? 5 : 1),
                       u"name" + std::u16string(1, static_cast<char16_t>(u'a' + n % 26)) + u".txt", img::kWin32});
    if (n % 5 == 0) r.names.push_back({r.names[0].parent, r.names[0].parent_sequence, u"NAME~1.TXT", img::kDos});
    if (n % 7 == 0) r.reparse_tag = 0xA0000003, r.attributes = 0x400;
    records.push_back(r);
  }
  img::Record extension;
  extension.number = 45;
  extension.base_record = 17;
  extension.names.push_back({5, 5, u"extension name", img::kPosix});
  records.push_back(extension);
  return records;
}

TEST(VolumeFuzz, EveryDamagedVolumeEndsWithAnIndexOrANamedError) {
  img::Shape fragmented;
  fragmented.mft_fragments = 3;
  fragmented.attribute_list = true;
  const img::Shape shapes[] = {{}, {4096, 4096, 4096}, fragmented};
  std::mt19937_64 rng(29);
  double slowest = 0;
  int indexes = 0, errors = 0;
  for (const img::Shape& shape : shapes) {
    const std::vector<img::Record> records = Volume();
    const std::string base = img::ImageBytes(shape, records);
    ASSERT_FALSE(base.empty());
    const std::uint64_t end = 46;
    const std::uint64_t table = img::RecordOffset(shape, end, 0);
    const std::uint64_t run_list = img::TableRunListOffset(shape, end);
    const std::uint64_t table_bytes = img::TableRecords(shape, end) * shape.record_size;
    for (int round = 0; round < 700; ++round) {
      // Where the changes go: the boot sector, the first record around its
      // run list, or anywhere in the table.
      std::uint64_t from = 0, span = 512;
      switch (round % 3) {
        case 1:
          from = table, span = shape.record_size;
          if (round % 2) from = run_list - std::min<std::uint64_t>(run_list - table, 24), span = 48;
          break;
        case 2:
          from = table, span = table_bytes;
          break;
      }
      std::map<std::uint64_t, char> patches;
      for (int n = 1 + static_cast<int>(rng() % 6); n > 0; --n) {
        const std::uint64_t at = from + rng() % span;
        const int width = rng() % 3 == 0 ? 4 : 1;
        const std::uint32_t value = rng() % 4 == 0 ? 0xFFFFFFFF : rng() % 4 == 0 ? 0 : static_cast<std::uint32_t>(rng());
        for (int b = 0; b < width; ++b) patches[at + b] = static_cast<char>(value >> (8 * b));
      }
      const std::uint64_t size = round % 17 == 0 ? rng() % base.size() : base.size();
      PatchedSource source(base, std::move(patches), size);

      const auto start = std::chrono::steady_clock::now();
      ntfs::VolumeError error = ntfs::VolumeError::None;
      const std::unique_ptr<ntfs::VolumeIndex> index = ntfs::ReadVolumeIndex(source, error);
      if (index) {
        EXPECT_EQ(error, ntfs::VolumeError::None);
        FolderCounter counter;
        search::IndexWalk(*index, [](std::string_view f, std::string_view n) { return std::string(f) + "/" += n; })
            .Walk("", counter);
        EXPECT_LE(counter.entries, index->NameCount());
        ++indexes;
      } else {
        EXPECT_NE(error, ntfs::VolumeError::None);
        ++errors;
      }
      slowest = std::max(slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
  }
  // Both outcomes happen, so the rounds reach past the first checks.
  EXPECT_GT(indexes, 100);
  EXPECT_GT(errors, 100);
  std::cout << "indexes " << indexes << ", errors " << errors << ", slowest input " << slowest * 1000 << " ms\n";
}

}  // namespace
}  // namespace quellor::testing
