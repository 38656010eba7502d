// The reader and the index walk over volumes written record by record: what
// the images made with the system's own tools cannot hold (every geometry,
// a fragmented table, torn records, stale parents, a cycle) and the errors
// of a volume that cannot be read at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ntfs/byte_source.h"
#include "ntfs/volume_index.h"
#include "search/index_walk.h"
#include "support/foreign_names.h"
#include "support/memory_byte_source.h"
#include "support/ntfs_image.h"

namespace quellor::testing {
namespace {

namespace img = ntfs_image;

constexpr std::uint32_t kHidden = 0x2, kReparse = 0x400;
constexpr std::uint32_t kJunctionTag = 0xA0000003, kCloudTag = 0x9000601A;

img::Record File(std::uint64_t number, std::u16string name, std::uint64_t parent = 5, std::uint16_t parent_sequence = 5) {
  img::Record r;
  r.number = number;
  r.names.push_back({parent, parent_sequence, std::move(name), img::kWin32});
  return r;
}

img::Record Folder(std::uint64_t number, std::u16string name, std::uint64_t parent = 5) {
  img::Record r = File(number, std::move(name), parent, parent == 5 ? 5 : 1);
  r.folder = true;
  return r;
}

// What a walk reports, one line each: a folder entered ("/docs/"), a file in
// it ("/docs/a.txt", its short name in brackets), a folder passed over ("@").
class Recorder : public search::FolderVisitor {
 public:
  std::vector<std::string> lines;
  bool Enter(const std::string& path, const platform::FolderListing& listing) override {
    // A folder entered unread is marked "!".
    lines.push_back((path == "/" ? path : path + "/") +
                    (listing.Problem() == platform::ReadProblem::None ? "" : " !"));
    for (std::size_t i = 0; i < listing.size(); ++i) {
      const platform::FolderEntry e = listing[i];
      if (e.is_folder) continue;
      std::string line = Join(path, e.name);
      if (!e.alias.empty()) line += " [" + std::string(e.alias) + "]";
      lines.push_back(line);
    }
    return true;
  }
  void Leave(std::string) override {}
  void PassOver(const std::string& parent, std::string_view name, platform::PathKind) override {
    lines.push_back(Join(parent, name) + " @");
  }
  bool StopRequested() const override { return false; }
  void Stopped(std::size_t) override {}
  static std::string Join(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.back() != '/') path += '/';
    return path += name;
  }
};

struct Read {
  std::unique_ptr<ntfs::VolumeIndex> index;
  ntfs::VolumeError error;
  std::vector<std::string> lines;
};

Read ReadImage(std::string bytes) {
  MemoryByteSource source(std::move(bytes));
  Read read;
  read.index = ntfs::ReadVolumeIndex(source, read.error);
  if (read.index) {
    Recorder recorder;
    search::IndexWalk(*read.index, &Recorder::Join).Walk("/", recorder);
    read.lines = std::move(recorder.lines);
  }
  return read;
}

// A small tree with each kind of entry a walk treats differently.
std::vector<img::Record> Tree() {
  std::vector<img::Record> records;
  records.push_back(Folder(16, u"docs"));
  img::Record alias = File(17, u"LongFileName.html");
  alias.names.push_back({5, 5, u"LONGFI~1.HTM", img::kDos});
  records.push_back(alias);
  img::Record hidden = File(18, u"Readme.md");
  hidden.attributes = kHidden;
  records.push_back(hidden);
  records.push_back(Folder(19, u"sub", 16));
  img::Record linked = File(20, u"z.bin", 19, 1);
  linked.names.push_back({16, 1, u"z-link.bin", img::kPosix});
  records.push_back(linked);
  img::Record junction = Folder(21, u"link");
  junction.attributes = kReparse;
  junction.reparse_tag = kJunctionTag;
  records.push_back(junction);
  img::Record cloud = Folder(22, u"cloud");
  cloud.attributes = kReparse;
  cloud.reparse_tag = kCloudTag;
  records.push_back(cloud);
  records.push_back(File(23, u"c.txt", 22, 1));
  records.push_back(File(24, u"项目 😀.pdf", 16, 1));
  return records;
}

const std::vector<std::string> kTreeLines = {
    "/", "/LongFileName.html [LONGFI~1.HTM]", "/Readme.md", "/cloud/", "/cloud/c.txt", "/docs/",
    "/docs/z-link.bin", Utf8(u8"/docs/项目 😀.pdf"), "/docs/sub/", "/docs/sub/z.bin", "/link @"};

TEST(VolumeIndex, EveryGeometryGivesTheSameTree) {
  struct Case {
    const char* what;
    img::Shape shape;
  };
  img::Shape fragmented;
  fragmented.mft_fragments = 5;
  fragmented.attribute_list = true;
  const Case cases[] = {
      {"512-byte sectors, 4 KiB clusters, 1 KiB records", {}},
      {"4 KiB sectors and records", {4096, 4096, 4096}},
      {"64 KiB clusters", {512, 65536, 1024}},
      {"2 MiB clusters", {4096, 2u << 20, 4096}},
      {"records larger than clusters", {512, 512, 1024}},
      {"a table in five extents mapped through its attribute list", fragmented},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Read read = ReadImage(img::ImageBytes(c.shape, Tree()));
    ASSERT_NE(read.index, nullptr) << static_cast<int>(read.error);
    EXPECT_EQ(read.lines, kTreeLines);
    EXPECT_TRUE(read.index->Counts().volume_upcase);
    EXPECT_EQ(read.index->Counts().stale_names + read.index->Counts().unreachable_records, 0u);
  }
}

TEST(VolumeIndex, DamagedAndStaleRecordsAreSkippedAndCounted) {
  std::vector<img::Record> records = Tree();
  records[1].torn = true;                    // LongFileName.html
  records.push_back(File(25, u"old.txt", 16, 7));  // its folder's record was reused since
  img::Record reused = File(26, u"new.txt", 16, 1);
  reused.sequence = 3;
  records.push_back(reused);
  // Two folders each inside the other, reached from nowhere.
  records.push_back(Folder(27, u"loop-a", 28));
  records.push_back(Folder(28, u"loop-b", 27));
  // A folder named twice: entered once, passed over the second time.
  img::Record twice = Folder(29, u"twice");
  twice.names.push_back({19, 1, u"again", img::kWin32});
  records.push_back(twice);
  const Read read = ReadImage(img::ImageBytes({}, records));
  ASSERT_NE(read.index, nullptr);
  const ntfs::IndexCounts& counts = read.index->Counts();
  EXPECT_EQ(counts.scan.torn, 1u);
  EXPECT_EQ(counts.stale_names, 1u);
  EXPECT_EQ(counts.unreachable_records, 2u);
  const std::vector<std::string> expected = {
      "/", "/Readme.md", "/cloud/", "/cloud/c.txt", "/docs/", "/docs/new.txt", "/docs/z-link.bin",
      Utf8(u8"/docs/项目 😀.pdf"), "/docs/sub/", "/docs/sub/z.bin", "/docs/sub/again/", "/link @", "/twice @"};
  EXPECT_EQ(read.lines, expected);
}

// A table of two chunks whose sectors fail in a record of each: the reads
// of whole chunks fail, each record is read again on its own, and only the
// two are lost.
TEST(VolumeIndex, AnUnreadableSectorCostsItsRecordOnly) {
  class FailingSource : public ntfs::ByteSource {
   public:
    FailingSource(std::string bytes, std::vector<std::uint64_t> bad) : bytes_(std::move(bytes)), bad_(std::move(bad)) {}
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
      bool read = bytes_.ReadAt(offset, buffer, size);
      for (const std::uint64_t at : bad_) read = read && !(at >= offset && at < offset + size);
      return read;
    }
    std::uint64_t Size() const override { return bytes_.Size(); }

   private:
    MemoryByteSource bytes_;
    std::vector<std::uint64_t> bad_;
  };
  constexpr std::uint32_t kRecord = 4096;  // 1,024 records a chunk
  const std::vector<img::Record> records = {File(20, u"first.txt"), File(30, u"bad-one.txt"),
                                            File(1100, u"bad-two.txt"), File(1300, u"last.txt")};
  const std::string bytes = img::ImageBytes({kRecord, kRecord, kRecord}, records);
  std::vector<std::uint64_t> bad;
  for (const std::u16string name : {u"bad-one.txt", u"bad-two.txt"}) {
    const std::string utf16(reinterpret_cast<const char*>(name.data()), 2 * name.size());
    bad.push_back(bytes.find(utf16));
    ASSERT_NE(bad.back(), std::string::npos);
  }
  FailingSource source(bytes, bad);
  ntfs::VolumeError error;
  const std::unique_ptr<ntfs::VolumeIndex> index = ntfs::ReadVolumeIndex(source, error);
  ASSERT_NE(index, nullptr) << static_cast<int>(error);
  EXPECT_EQ(index->Counts().scan.unreadable, 2u);
  Recorder recorder;
  search::IndexWalk(*index, &Recorder::Join).Walk("/", recorder);
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"/", "/first.txt", "/last.txt"}));
}

TEST(VolumeIndex, NamesInExtensionRecordsBelongToTheirBase) {
  std::vector<img::Record> records = {Folder(16, u"a"), Folder(17, u"b")};
  img::Record base = File(18, u"f0.txt");
  records.push_back(base);
  for (char16_t i = 1; i <= 40; ++i) {
    img::Record extension;
    extension.number = 18u + i;
    extension.base_record = 18;
    extension.names.push_back({i % 2 ? 16u : 17u, 1, u"f" + std::u16string{char16_t(u'A' + i)} + u".txt", img::kPosix});
    records.push_back(extension);
  }
  // The file's long name, with its short name kept in another record.
  records.back().names.front().name = u"Long Name Apart.txt";
  records.back().names.front().name_space = img::kWin32;
  img::Record apart;
  apart.number = 120;
  apart.base_record = 18;
  apart.names.push_back(records.back().names.front());
  apart.names.back().name = u"LONGNA~1.TXT";
  apart.names.back().name_space = img::kDos;
  records.push_back(apart);
  // 4 KiB records: the base's attribute list of 42 entries stays in it.
  const std::string bytes = img::ImageBytes({512, 4096, 4096}, records);
  ASSERT_FALSE(bytes.empty());
  const Read read = ReadImage(bytes);
  ASSERT_NE(read.index, nullptr) << static_cast<int>(read.error);
  EXPECT_EQ(read.index->NameCount(), 2u + 41u);
  EXPECT_EQ(std::count(read.lines.begin(), read.lines.end(), "/b/Long Name Apart.txt [LONGNA~1.TXT]"), 1);
}

TEST(VolumeIndex, AVolumeThatCannotBeReadSaysWhy) {
  const std::vector<img::Record> records = Tree();
  const img::Shape shape;
  const std::string good = img::ImageBytes(shape, records);
  const std::uint64_t end = 25;
  struct Case {
    const char* what;
    std::uint64_t at;
    std::string bytes;
    ntfs::VolumeError error;
  };
  const Case cases[] = {
      {"no NTFS name", 3, "FAT32   ", ntfs::VolumeError::NotNtfs},
      {"sectors of 300 bytes", 0x0B, std::string("\x2C\x01", 2), ntfs::VolumeError::BadBootSector},
      {"records of 3 bytes", 0x40, "\x03", ntfs::VolumeError::BadBootSector},
      {"the table past the volume", 0x30, std::string("\xFF\xFF\xFF\xFF\xFF\x00", 6), ntfs::VolumeError::BadBootSector},
      {"the table's first record torn", img::RecordOffset(shape, end, 0) + 510, "\xEE\xEE",
       ntfs::VolumeError::BadTableRecord},
      {"a run of nine-byte lengths", img::TableRunListOffset(shape, end), "\x09", ntfs::VolumeError::BadTableMap},
      {"a run before the volume's start", img::TableRunListOffset(shape, end), "\x31\x01\x00\x00\x80",
       ntfs::VolumeError::BadTableMap},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    bytes.replace(c.at, c.bytes.size(), c.bytes);
    const Read read = ReadImage(bytes);
    EXPECT_EQ(read.index, nullptr);
    EXPECT_EQ(read.error, c.error);
  }
  const Read cut = ReadImage(good.substr(0, img::RecordOffset(shape, end, 0)));
  EXPECT_EQ(cut.error, ntfs::VolumeError::CannotRead);
}

// The index is read with rights the user may lack: a folder the user may
// not list is entered unread, as the folder walk would enter it. Each
// descriptor is judged once; a folder without one the system can judge is
// tried by opening it.
TEST(VolumeIndex, AFolderTheUserMayNotListIsEnteredUnread) {
  const auto secured = [](img::Record r, std::uint32_t id) {
    r.security_id = id;
    return r;
  };
  const std::vector<img::Record> records = {
      secured(Folder(16, u"docs"), 256),    secured(Folder(17, u"lost"), 300),  // no descriptor for 300
      Folder(18, u"nodesc"),                secured(Folder(19, u"odd"), 258),   // one the system cannot judge
      secured(Folder(20, u"private"), 257), secured(Folder(21, u"sub", 16), 257),
      File(22, u"a.txt", 16, 1),            File(23, u"b.txt", 21, 1),
      File(24, u"c.txt", 17, 1),            File(25, u"d.txt", 18, 1),
      File(26, u"e.txt", 19, 1),            File(27, u"f.txt", 20, 1),
  };
  const std::string stream = img::SecurityStream({{256, img::OwnerOnlyDescriptor(256)},
                                                  {257, img::OwnerOnlyDescriptor(257)},
                                                  {258, img::OwnerOnlyDescriptor(258)}});
  std::vector<std::string> judged, opened;
  search::ListingChecks checks;
  checks.by_descriptor = [&](std::string_view descriptor) {
    judged.emplace_back(descriptor);
    if (descriptor == img::OwnerOnlyDescriptor(256)) return platform::ListingRight::Allowed;
    if (descriptor == img::OwnerOnlyDescriptor(257)) return platform::ListingRight::Denied;
    return platform::ListingRight::Unknown;
  };
  checks.by_opening = [&](const std::string& path) {
    opened.push_back(path);
    return path != "/nodesc";
  };
  MemoryByteSource source(img::ImageBytes({}, records, stream));
  ntfs::VolumeError error;
  const std::unique_ptr<ntfs::VolumeIndex> index = ntfs::ReadVolumeIndex(source, error);
  ASSERT_NE(index, nullptr);
  search::FolderRights rights(*index, checks);
  Recorder recorder;
  search::IndexWalk(*index, &Recorder::Join, &rights).Walk("/", recorder);

  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"/", "/docs/", "/docs/a.txt", "/docs/sub/ !", "/lost/",
                                                      "/lost/c.txt", "/nodesc/ !", "/odd/", "/odd/e.txt",
                                                      "/private/ !"}));
  EXPECT_EQ(judged, (std::vector<std::string>{img::OwnerOnlyDescriptor(256), img::OwnerOnlyDescriptor(257),
                                              img::OwnerOnlyDescriptor(258)}));
  EXPECT_EQ(opened, (std::vector<std::string>{"/", "/lost", "/nodesc", "/odd"}));
}

}  // namespace
}  // namespace quellor::testing
