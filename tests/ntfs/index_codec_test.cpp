// What a volume's scan hears, as the helper sends it and the window builds
// its index from: synthetic volumes give the index a read here gives,
// however the bytes are split; each kind of damage a stream can hold is
// refused, an odd name a volume may hold is dropped alone, and no damaged
// stream crashes the reader or leaves it a name that leaves its folder. Then
// the frames the stream travels in.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ntfs/byte_source.h"
#include "ntfs/helper_frames.h"
#include "ntfs/index_codec.h"
#include "ntfs/upcase_table.h"
#include "ntfs/volume_index.h"
#include "support/memory_byte_source.h"
#include "support/ntfs_image.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count (its header is not installed everywhere).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quellor::testing {
namespace {

namespace img = ntfs_image;
using ntfs::StreamError;

img::Record Item(std::uint64_t number, std::u16string name, std::uint64_t parent = 5, bool folder = false) {
  img::Record r;
  r.number = number;
  r.folder = folder;
  r.names.push_back({parent, static_cast<std::uint16_t>(parent == 5 ? 5 : 1), std::move(name), img::kWin32});
  return r;
}

// The descriptor of each security id the small image's $Secure holds.
std::string DescriptorOf(std::uint32_t id) { return ntfs_image::OwnerOnlyDescriptor(id); }

// Folders, a short name, hard links in two folders, links to a folder and to
// a file, a lone surrogate, names kept in extension records (a short name
// apart from its long one), and the damage each count tells of. Folders of
// three descriptors and one whose id $Secure lacks.
std::string SmallImage() {
  std::vector<img::Record> records = {Item(16, u"docs", 5, true), Item(17, u"LongFileName.html"),
                                      Item(18, u"sub", 16, true), Item(19, u"z.bin", 18)};
  records[1].names.push_back({5, 5, u"LONGFI~1.HTM", img::kDos});
  records[3].names.push_back({16, 1, u"z-link.bin", img::kPosix});
  records.push_back(Item(20, u"junction", 5, true));
  records.back().attributes = 0x400, records.back().reparse_tag = 0xA0000003;
  records.push_back(Item(21, u"symlink.txt", 16));
  records.back().attributes = 0x400, records.back().reparse_tag = 0xA000000C;
  records.push_back(Item(22, u"lone \xD800 surrogate.txt", 18));
  records.push_back(Item(23, u"torn.txt"));
  records.back().torn = true;
  records.push_back(Item(24, u"stale.txt", 16));
  records.back().names[0].parent_sequence = 9;
  records.push_back(Item(25, u"loop-a", 26, true));
  records.push_back(Item(26, u"loop-b", 25, true));
  records.push_back(Item(27, u"base.txt", 18));
  for (const auto& [number, name, space] :
       {std::tuple{28u, u"Long Name Apart.txt", img::kWin32}, std::tuple{29u, u"LONGNA~1.TXT", img::kDos}}) {
    img::Record extension;
    extension.number = number;
    extension.base_record = 27;
    extension.names.push_back({16, 1, name, space});
    records.push_back(extension);
  }
  for (const auto& [number, id] : {std::pair{16u, 256u}, {17u, 257u}, {18u, 257u}, {20u, 258u}, {25u, 999u},
                                  {26u, 256u}}) {
    records[number - 16].security_id = id;  // 17 is a file: its id is not kept
  }
  return img::ImageBytes({}, records,
                         img::SecurityStream({{256, DescriptorOf(256)},
                                              {257, DescriptorOf(257)},
                                              {258, DescriptorOf(258)},
                                              {300, DescriptorOf(300)}}));
}

// Sixty folders of long names: a stream of several pieces.
std::string LargeImage() {
  std::vector<img::Record> records;
  for (std::uint64_t n = 16; n < 76; ++n) {
    records.push_back(Item(n, u"folder " + std::u16string(1, u'A' + n % 26), 5, true));
  }
  for (std::uint64_t n = 76; n < 8076; ++n) {
    records.push_back(Item(n, std::u16string(110, u'文') + char16_t(u'0' + n % 10), 16 + n % 60));
  }
  return img::ImageBytes({}, records);
}

const std::string& Small() {
  static const std::string image = SmallImage();  // written once for every test
  return image;
}

const std::string& Large() {
  static const std::string image = LargeImage();
  return image;
}

std::unique_ptr<ntfs::VolumeIndex> ReadHere(const std::string& image) {
  MemoryByteSource source(image);
  ntfs::VolumeError error = ntfs::VolumeError::None;
  return ntfs::ReadVolumeIndex(source, error);
}

std::vector<std::string> Pieces(const std::string& image) {
  MemoryByteSource source(image);
  std::vector<std::string> pieces;
  ntfs::VolumeError error = ntfs::VolumeError::None;
  EXPECT_TRUE(ntfs::StreamVolume(
      source,
      [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
      },
      error));
  return pieces;
}

std::string Stream(const std::string& image) {
  std::string stream;
  for (const std::string& piece : Pieces(image)) stream += piece;
  return stream;
}

// Every folder's names with where they begin, and the counts: two indexes
// alike here are alike to every caller.
std::string Describe(const ntfs::VolumeIndex& index) {
  const ntfs::IndexCounts& c = index.Counts();
  std::ostringstream out;
  out << index.RecordCount() << " records, " << index.NameCount() << " names; " << c.scan.records << ' '
      << c.scan.in_use << ' ' << c.scan.torn << ' ' << c.scan.malformed << ' ' << c.scan.unreadable << ' '
      << c.stale_names << ' ' << c.unreachable_records << ' ' << c.unsafe_names << ' ' << c.volume_upcase;
  for (std::uint32_t r = 0; r < index.RecordCount(); ++r) {
    if (index.ChildrenBegin(r) == index.ChildrenEnd(r)) continue;
    out << "\n" << r << " @" << index.ChildrenBegin(r) << ":";
    for (std::uint32_t i = index.ChildrenBegin(r); i < index.ChildrenEnd(r); ++i) {
      const ntfs::VolumeIndex::Child child = index.ChildAt(i);
      out << " " << child.name << "[" << child.alias << "]#" << child.record << (child.folder ? "F" : "")
          << (child.link ? "L" : "");
    }
  }
  for (std::uint32_t r = 0; r < index.RecordCount(); ++r) {
    if (index.SecurityOf(r) != 0) out << "\n" << r << " secured by " << index.SecurityOf(r);
  }
  for (const std::uint32_t id : index.SecurityIds()) {
    out << "\n" << id << ":";
    for (const char byte : index.Descriptor(id)) out << ' ' << static_cast<int>(static_cast<unsigned char>(byte));
  }
  return out.str();
}

// Feeds `stream` in pieces whose sizes `next_size` picks.
template <class NextSize>
bool FeedInPieces(ntfs::ScanStreamReader& reader, std::string_view stream, NextSize next_size) {
  while (!stream.empty()) {
    const std::size_t size = std::min<std::size_t>(next_size(), stream.size());
    if (!reader.Feed(stream.substr(0, size))) return false;
    stream.remove_prefix(size);
  }
  return true;
}

TEST(ScanStream, TheIndexBuiltFromTheStreamIsTheOneReadHereHoweverTheBytesAreSplit) {
  std::mt19937 random(7);
  struct Case {
    const char* what;
    const std::string& image;
    std::function<std::size_t()> next_size;
  };
  const Case cases[] = {
      {"a small volume, one byte at a time", Small(), [] { return 1; }},
      {"a small volume, random splits", Small(), [&] { return random() % 40 + 1; }},
      {"a large volume, random splits", Large(), [&] { return random() % 200000 + 1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ntfs::ScanStreamReader reader;
    ASSERT_TRUE(FeedInPieces(reader, Stream(c.image), c.next_size));
    ASSERT_TRUE(reader.Complete());
    const std::unique_ptr<ntfs::VolumeIndex> built = reader.Take();
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(Describe(*built), Describe(*ReadHere(c.image)));
    EXPECT_EQ(reader.Take(), nullptr);
  }
  // What the small one holds, so that its round trip carries every case.
  const std::unique_ptr<ntfs::VolumeIndex> small = ReadHere(Small());
  const std::string described = Describe(*small);
  for (const char* part : {"LONGFI~1.HTM", "junction[]#20FL", "symlink.txt[]#21L", "z-link.bin", "\xED\xA0\x80",
                           "Long Name Apart.txt[LONGNA~1.TXT]#27"}) {
    EXPECT_NE(described.find(part), std::string::npos) << part;
  }
  EXPECT_GT(small->Counts().scan.torn * small->Counts().stale_names * small->Counts().unreachable_records, 0u);
  EXPECT_TRUE(small->Counts().volume_upcase);
  EXPECT_EQ(small->SecurityIds(), (std::vector<std::uint32_t>{256, 257, 258, 999}));
  for (const auto& [record, id] : {std::pair{5u, 0u}, {16u, 256u}, {17u, 0u}, {18u, 257u}, {20u, 258u}, {25u, 999u},
                                   {26u, 256u}, {27u, 0u}}) {
    EXPECT_EQ(small->SecurityOf(record), id) << record;
  }
  for (const std::uint32_t id : {256u, 257u, 258u}) EXPECT_EQ(small->Descriptor(id), DescriptorOf(id)) << id;
  EXPECT_EQ(small->Descriptor(999), "");  // a folder's id $Secure lacks
  EXPECT_EQ(small->Descriptor(300), "");  // in $Secure, carried by no folder
}

TEST(ScanStream, PiecesGoOutAsTheTableIsReadAtMostAMebibyteEach) {
  MemoryByteSource source(Large());
  std::vector<std::size_t> sizes;
  std::vector<std::size_t> pieces_at_progress;
  ntfs::VolumeError error = ntfs::VolumeError::None;
  ASSERT_TRUE(ntfs::StreamVolume(
      source,
      [&](std::string_view piece) {
        sizes.push_back(piece.size());
        return true;
      },
      error, [&](std::uint64_t, std::uint64_t) { pieces_at_progress.push_back(sizes.size()); }));
  ASSERT_GT(sizes.size(), 2u);
  for (const std::size_t size : sizes) EXPECT_LE(size, ntfs::kStreamPieceBytes);
  ASSERT_GT(pieces_at_progress.size(), 1u);
  EXPECT_GT(pieces_at_progress.front(), 0u);
  EXPECT_LT(pieces_at_progress.front(), sizes.size());

  // A writer that fails stops the stream, with no reason of the volume's.
  MemoryByteSource again(Large());
  int written = 0;
  EXPECT_FALSE(ntfs::StreamVolume(
      again, [&](std::string_view) { return ++written < 2; }, error));
  EXPECT_EQ(error, ntfs::VolumeError::None);
  EXPECT_EQ(written, 2);
}

TEST(ScanStream, AVolumeThatCannotBeReadOrAStopWritesNothing) {
  const std::atomic<bool> stop{true};
  struct Case {
    const char* what;
    std::string image;
    const std::atomic<bool>* stop;
    ntfs::VolumeError error;
  };
  const Case cases[] = {
      {"no NTFS", std::string(1 << 16, '\0'), nullptr, ntfs::VolumeError::NotNtfs},
      {"a stop before the scan", Small(), &stop, ntfs::VolumeError::Stopped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryByteSource source(c.image);
    std::string written;
    ntfs::VolumeError error = ntfs::VolumeError::None;
    EXPECT_FALSE(ntfs::StreamVolume(
        source,
        [&](std::string_view piece) {
          written += piece;
          return true;
        },
        error, {}, c.stop));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(written, "");
    // A read here says the same.
    EXPECT_EQ(ntfs::ReadVolumeIndex(source, error, {}, c.stop), nullptr);
    EXPECT_EQ(error, c.error);
  }
}

// A stream written byte by byte, for what no writer writes.
struct Out {
  std::string bytes;
  Out& Fixed(std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    return *this;
  }
  Out& NoRecords(std::size_t count) {
    bytes.append(count, '\0');
    return *this;
  }
  // A base record in use, with these bits.
  Out& Record(std::uint8_t bits, std::uint16_t sequence) { return Fixed(0x10 | bits, 1).Fixed(sequence, 2); }
  Out& Number(std::uint64_t value) {
    for (; value >= 0x80; value >>= 7) bytes.push_back(static_cast<char>((value & 0x7F) | 0x80));
    bytes.push_back(static_cast<char>(value));
    return *this;
  }
  Out& Text(const std::string& text) {
    Number(text.size());
    bytes += text;
    return *this;
  }
  // A win32 name of the last record, in folder `parent`.
  Out& OwnName(std::uint64_t parent, const std::string& name, const std::string& alias = "") {
    Fixed(0x22, 1).Number(parent).Fixed(parent == 5 ? 5 : 1, 2);
    return Text(name).Text(alias);
  }
  // A short name alone of record 17, in folder 16.
  Out& LoneAlias(const std::string& alias) {
    return Fixed(0x25, 1).Number(17).Fixed(1, 2).Number(16).Fixed(1, 2).Text(alias);
  }
};

// A security id of the last record, and a descriptor of `id` of `bytes`.
Out Secured(std::uint32_t id) { return Out{}.Fixed(0x26, 1).Fixed(id, 4); }
Out Described(std::uint32_t id, const std::string& bytes = DescriptorOf(7)) {
  return Out{}.Fixed(0x27, 1).Fixed(id, 4).Text(bytes);
}

// Records 0 to 17 of the sample: the root, the folder "docs" (16, with the
// security reports given) and a file in it (17), a reparse point that is no
// link.
std::string SampleReports(const Out& docs_security = {}) {
  Out out;
  out.NoRecords(5).Record(0x03, 5);
  out.NoRecords(10).Record(0x03, 1);
  out.bytes += docs_security.bytes;
  out.OwnName(5, "docs");
  out.Record(0x05, 1).OwnName(16, "LongFileName.html", "LONGFI~1.HTM");
  out.Fixed(0x20, 1).Number(17).Fixed(0x08, 1);  // its reparse tag names nothing else
  return out.bytes;
}

// Twenty records, as SampleReports and two more.
struct Sample {
  std::string magic = "QLSS";
  std::uint32_t version = ntfs::kScanStreamVersion, records = 20;
  std::string reports = SampleReports();
  std::string extra;                                    // after record 17
  std::string last_records = Out{}.NoRecords(2).bytes;  // 18 and 19
  std::string descriptors;
  std::uint8_t upcase = 0;
  std::uint64_t counted_records = 20;
  std::string after_end;
};

std::string Write(const Sample& s) {
  Out out{s.magic};
  out.Fixed(s.version, 4).Fixed(s.records, 4);
  out.bytes += s.reports + s.extra + s.last_records + s.descriptors;
  out.Fixed(0xFF, 1).Fixed(s.upcase, 1);
  out.bytes += ntfs::UpcaseTable::Ascii().Bytes();
  out.Fixed(s.counted_records, 8);
  for (int i = 0; i < 4; ++i) out.Fixed(100 + i, 8);
  return out.bytes + s.after_end;
}

Sample With(const std::function<void(Sample&)>& change) {
  Sample sample;
  change(sample);
  return sample;
}

TEST(ScanStream, AStreamWrittenByHandBuildsItsIndex) {
  ntfs::ScanStreamReader reader;
  ASSERT_TRUE(reader.Feed(Write({})));
  const std::unique_ptr<ntfs::VolumeIndex> index = reader.Take();
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(Describe(*index),
            "20 records, 2 names; 20 100 101 102 103 0 0 0 0\n5 @0: docs[]#16F\n16 @1: "
            "LongFileName.html[LONGFI~1.HTM]#17");

  ntfs::ScanStreamReader secured;
  ASSERT_TRUE(secured.Feed(Write(With([](Sample& s) {
    s.reports = SampleReports(Secured(7));
    s.descriptors = Described(7).bytes;
  }))));
  const std::unique_ptr<ntfs::VolumeIndex> secured_index = secured.Take();
  ASSERT_NE(secured_index, nullptr);
  EXPECT_EQ(secured_index->SecurityOf(16), 7u);
  EXPECT_EQ(secured_index->SecurityIds(), std::vector<std::uint32_t>{7});
  EXPECT_EQ(secured_index->Descriptor(7), DescriptorOf(7));
}


Sample WithExtra(const Out& extra) {
  return With([&](Sample& s) { s.extra = extra.bytes; });
}

TEST(ScanStream, DamagedStreamsAreRefused) {
  const auto named = [](const std::string& name, const std::string& alias = "") {
    return WithExtra(Out{}.OwnName(16, name, alias));
  };
  // "docs" with these security reports, and descriptors after every record.
  const auto secured = [](const Out& docs_security, const std::string& descriptors) {
    return With([&](Sample& s) {
      s.reports = SampleReports(docs_security);
      s.descriptors = descriptors;
    });
  };
  struct Case {
    const char* what;
    Sample sample;
    StreamError error;
  };
  const Case cases[] = {
      {"another magic", With([](Sample& s) { s.magic = "QLSZ"; }), StreamError::BadMagic},
      {"another version", With([](Sample& s) { s.version = ntfs::kScanStreamVersion + 1; }), StreamError::BadVersion},
      {"records past 2^31", With([](Sample& s) { s.records = 0x80000001; }), StreamError::BadHeader},
      {"a report of no kind", WithExtra(Out{}.Fixed(0x30, 1)), StreamError::BadReport},
      {"a name before any record", With([](Sample& s) { s.reports = Out{}.OwnName(5, "a").bytes + s.reports; }),
       StreamError::BadReport},
      {"bits no scan tells", WithExtra(Out{}.Fixed(0x20, 1).Number(16).Fixed(0x10, 1)), StreamError::BadReport},
      {"a record number of 2^48", WithExtra(Out{}.Fixed(0x20, 1).Number(std::uint64_t{1} << 48).Fixed(1, 1)),
       StreamError::BadReport},
      {"a record of the table past its count", WithExtra(Out{}.NoRecords(1)), StreamError::RecordOutOfRange},
      {"a name of 766 bytes", named(std::string(766, 'a')), StreamError::BadName},
      {"an alias of 766 bytes", named("a", std::string(766, 'A')), StreamError::BadName},
      {"an empty name", named(""), StreamError::BadName},
      {"an empty short name alone", WithExtra(Out{}.LoneAlias("")), StreamError::BadName},
      {"a byte that starts no UTF-8", named("\xFF.txt"), StreamError::BadName},
      {"a slash in an overlong form",
       named("..\xC0\xAF"
             "x"),
       StreamError::BadName},
      {"the end before every record", With([](Sample& s) { s.last_records.pop_back(); }), StreamError::BadEnd},
      {"counts of other records", With([](Sample& s) { s.counted_records = 21; }), StreamError::BadEnd},
      {"an upcase byte of 2", With([](Sample& s) { s.upcase = 2; }), StreamError::BadEnd},
      {"bytes after the end", With([](Sample& s) { s.after_end = "x"; }), StreamError::TrailingBytes},
      {"a security id before any record", With([](Sample& s) { s.reports = Secured(7).bytes + s.reports; }),
       StreamError::BadSecurity},
      {"a security id of a file", WithExtra(Secured(7)), StreamError::BadSecurity},
      {"a security id of 0", secured(Secured(0), ""), StreamError::BadSecurity},
      {"a folder's security id told twice", secured(Secured(7).Fixed(0x26, 1).Fixed(8, 4), ""),
       StreamError::BadSecurity},
      {"a descriptor before every record", With([](Sample& s) {
         s.reports = SampleReports(Secured(7));
         s.extra = Described(7).bytes;
       }),
       StreamError::BadSecurity},
      {"a descriptor of an id no folder carries", secured(Secured(7), Described(8).bytes), StreamError::BadSecurity},
      {"a descriptor told twice", secured(Secured(7), Described(7).bytes + Described(7).bytes),
       StreamError::BadSecurity},
      {"a descriptor not self-relative",
       secured(Secured(7), Described(7, DescriptorOf(7).replace(3, 1, 1, '\0')).bytes), StreamError::BadSecurity},
      {"a descriptor of 20 bytes less one", secured(Secured(7), Described(7, DescriptorOf(7).substr(0, 19)).bytes),
       StreamError::BadSecurity},
      {"a descriptor longer than any",
       secured(Secured(7), Out{}.Fixed(0x27, 1).Fixed(7, 4).Number(ntfs::kMaxSecurityDescriptorBytes + 1).bytes),
       StreamError::BadSecurity},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ntfs::ScanStreamReader reader;
    EXPECT_FALSE(reader.Feed(Write(c.sample)));
    EXPECT_EQ(reader.Error(), c.error);
    EXPECT_FALSE(reader.Complete());
    EXPECT_FALSE(reader.Feed(Write({})));
    EXPECT_EQ(reader.Take(), nullptr);
  }
}

// What a damaged or foreign-written volume may hold costs that name alone.
TEST(ScanStream, ANameAPathCannotHoldIsDroppedAndCounted) {
  struct Case {
    const char* what;
    Out extra;
    const char* kept;  // what stays of the report, if anything
  };
  const Case cases[] = {
      {"the name .", Out{}.OwnName(16, "."), nullptr},
      {"the name ..", Out{}.OwnName(16, ".."), nullptr},
      {"a slash", Out{}.OwnName(16, "../../etc"), nullptr},
      {"a backslash", Out{}.OwnName(16, "..\\Windows"), nullptr},
      {"a NUL", Out{}.OwnName(16, std::string("a.txt\0.exe", 10)), nullptr},
      {"a short name with a slash", Out{}.OwnName(16, "kept.txt", "A/B"), " kept.txt[]#17"},
      {"a short name alone of ..", Out{}.LoneAlias(".."), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ntfs::ScanStreamReader reader;
    ASSERT_TRUE(reader.Feed(Write(WithExtra(c.extra))));
    const std::unique_ptr<ntfs::VolumeIndex> index = reader.Take();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->Counts().unsafe_names, 1u);
    const std::string described = Describe(*index);
    EXPECT_NE(described.find("LongFileName.html"), std::string::npos);
    EXPECT_EQ(index->NameCount(), c.kept ? 3u : 2u);
    if (c.kept) {
      EXPECT_NE(described.find(c.kept), std::string::npos);
    }
  }
}

TEST(ScanStream, AStreamCutShortIsNeverComplete) {
  const std::string stream = Write({});
  const std::size_t end = stream.size() - ntfs::UpcaseTable::kBytes - 40;
  std::vector<std::size_t> sizes;
  for (std::size_t size = 0; size < end; ++size) sizes.push_back(size);
  for (std::size_t size = end; size < stream.size(); size += 4099) sizes.push_back(size);
  sizes.push_back(stream.size() - 1);
  for (const std::size_t size : sizes) {
    ntfs::ScanStreamReader reader;
    EXPECT_TRUE(reader.Feed(std::string_view(stream).substr(0, size)));
    EXPECT_FALSE(reader.Complete()) << size;
    EXPECT_EQ(reader.Take(), nullptr);
  }
}

std::size_t AllocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#else
  return 0;
#endif
}

TEST(ScanStream, MemoryGrowsWithTheBytesReceivedNotWithTheRecordsAnnounced) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__GLIBC__)
  GTEST_SKIP() << "no count of allocated bytes here";
#endif
  // 2^31 records announced, 64 Ki told, the last a base record in use.
  const std::string announced = Write(With([](Sample& s) { s.records = 0x80000000; })).substr(0, 12) +
                                Out{}.NoRecords(1 << 16).Record(0x01, 1).bytes;
  const std::size_t before = AllocatedBytes();
  ntfs::ScanStreamReader reader;
  ASSERT_TRUE(reader.Feed(announced));
  EXPECT_LT(AllocatedBytes() - before, std::size_t{4} << 20);
}

// Whatever the damage, the reader refuses or gives an index whose every
// name stays in its folder.
TEST(ScanStream, RandomDamageNeverCrashes) {
  const std::string good = Stream(Small());
  // The upcase table and counts take damage without harm: the reports are where it tells.
  const std::size_t reports = good.size() - ntfs::UpcaseTable::kBytes - 40;
  std::mt19937 random(2024);
  int complete = 0, refused = 0;
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    switch (random() % 3) {
      case 0:
        for (int k = random() % 4; k >= 0; --k) bytes[random() % reports] = static_cast<char>(random());
        break;
      case 1:
        bytes.resize(random() % bytes.size());
        break;
      case 2:
        bytes.insert(random() % reports, std::string(random() % 8 + 1, static_cast<char>(random())));
        break;
    }
    ntfs::ScanStreamReader reader;
    if (!FeedInPieces(reader, bytes, [&] { return random() % 4096 + 1; })) {
      ++refused;
      continue;
    }
    const std::unique_ptr<ntfs::VolumeIndex> index = reader.Take();
    if (!index) continue;
    ++complete;
    for (std::uint32_t i = 0; i < index->NameCount(); ++i) {
      for (const std::string_view name : {index->ChildAt(i).name, index->ChildAt(i).alias}) {
        const bool stays = name != "." && name != ".." && name.find_first_of(std::string("/\\\0", 3)) == name.npos;
        ASSERT_TRUE(stays) << name;
      }
    }
  }
  EXPECT_GT(complete, 0);
  EXPECT_GT(refused, 0);
}

// Frames.

std::string RawFrame(std::uint8_t kind, const std::string& payload) {
  std::string out(1, static_cast<char>(kind));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(payload.size() >> (8 * i)));
  return out + payload;
}

TEST(HelperFrames, EveryMessageMakesTheRoundTripSplitAnywhere) {
  using F = ntfs::Frame;
  struct Case {
    ntfs::FrameSender sender;
    std::vector<ntfs::Frame> frames;
  };
  // The second volume is "D:\镜像\disk.img" in UTF-8, whatever the compiler's own character set.
  const Case cases[] = {
      {ntfs::FrameSender::Window,
       {F::ReadVolume("C:"), F::ReadVolume("D:\\\xE9\x95\x9C\xE5\x83\x8F\\disk.img"), F::Cancel()}},
      {ntfs::FrameSender::Helper,
       {F::Hello(ntfs::kHelperProtocolVersion), F::Progress(0), F::Progress(100),
        F::IndexBytes(std::string(ntfs::kStreamPieceBytes, 'x')), F::VolumeRead(),
        F::VolumeFailed(ntfs::VolumeError::CannotRead, 5), F::VolumeFailed(ntfs::VolumeError::Stopped, 0xFFFFFFFF)}},
  };
  for (const Case& c : cases) {
    std::string bytes;
    for (const ntfs::Frame& frame : c.frames) {
      const std::string encoded = ntfs::EncodeFrame(frame);
      EXPECT_FALSE(encoded.empty()) << static_cast<int>(frame.kind);
      bytes += encoded;
    }
    for (const std::size_t split : {std::size_t{1}, std::size_t{7}, bytes.size()}) {
      SCOPED_TRACE(split);
      ntfs::FrameReader reader(c.sender);
      std::vector<ntfs::Frame> read;
      for (std::size_t at = 0; at < bytes.size(); at += split) {
        ASSERT_TRUE(reader.Feed(std::string_view(bytes).substr(at, split)));
        for (ntfs::Frame frame; reader.Next(frame);) read.push_back(frame);
      }
      ASSERT_EQ(read.size(), c.frames.size());
      for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].kind, c.frames[i].kind);
        EXPECT_EQ(read[i].bytes, c.frames[i].bytes);
        EXPECT_EQ(read[i].number, c.frames[i].number);
        EXPECT_EQ(read[i].volume_error, c.frames[i].volume_error);
      }
    }
  }
}

TEST(HelperFrames, MalformedFramesAreRefused) {
  using E = ntfs::FrameError;
  const auto u32 = [](std::uint32_t a, std::uint32_t b) {
    std::string out;
    for (const std::uint32_t v : {a, b})
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
    return out;
  };
  struct Case {
    const char* what;
    ntfs::FrameSender sender;
    std::string bytes;
    E error;
  };
  const auto W = ntfs::FrameSender::Window, H = ntfs::FrameSender::Helper;
  const Case cases[] = {
      {"kind 0", H, RawFrame(0, ""), E::UnknownKind},
      {"kind 8", H, RawFrame(8, ""), E::UnknownKind},
      {"a volume to read, from the helper", H, RawFrame(1, "C:"), E::UnknownKind},
      {"a hello, from the window", W, RawFrame(3, u32(1, 0).substr(0, 4)), E::UnknownKind},
      {"a length past the limit", H, RawFrame(5, "").substr(0, 1) + u32(ntfs::kMaxFramePayload + 1, 0).substr(0, 4),
       E::TooLong},
      {"101 percent", H, RawFrame(4, u32(101, 0).substr(0, 4)), E::BadPayload},
      {"a percent of 3 bytes", H, RawFrame(4, "\x01\x00\x00"), E::BadPayload},
      {"a hello of 5 bytes", H, RawFrame(3, u32(1, 0).substr(0, 5)), E::BadPayload},
      {"a failure without an error", H, RawFrame(7, u32(0, 5)), E::BadPayload},
      {"a failure with an error past the last", H, RawFrame(7, u32(100, 5)), E::BadPayload},
      {"a volume read that says more", H, RawFrame(6, "x"), E::BadPayload},
      {"a cancel that says more", W, RawFrame(2, "x"), E::BadPayload},
      {"an empty volume", W, RawFrame(1, ""), E::BadPayload},
      {"a volume of 32,768 bytes", W, RawFrame(1, std::string(32768, 'a')), E::BadPayload},
      {"a volume cut by a NUL", W, RawFrame(1, std::string("C:\0x", 4)), E::BadPayload},
      {"a volume not UTF-8", W, RawFrame(1, "C:\\\xFF"), E::BadPayload},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A good frame first, which the failure takes away with it.
    const std::string good = ntfs::EncodeFrame(c.sender == W ? ntfs::Frame::Cancel() : ntfs::Frame::VolumeRead());
    ntfs::FrameReader reader(c.sender);
    EXPECT_FALSE(reader.Feed(good + c.bytes));
    EXPECT_EQ(reader.Error(), c.error);
    ntfs::Frame frame;
    EXPECT_FALSE(reader.Next(frame));
    EXPECT_FALSE(reader.Feed(good));
  }
}

TEST(HelperFrames, TheWriterRefusesWhatTheReaderWould) {
  using F = ntfs::Frame;
  ntfs::Frame unknown;
  unknown.kind = static_cast<ntfs::FrameKind>(9);
  const ntfs::Frame refused[] = {
      F::ReadVolume(""),
      F::ReadVolume(std::string(ntfs::kMaxVolumeTextBytes + 1, 'a')),
      F::ReadVolume(std::string("C:\0", 3)),
      F::Progress(101),
      F::IndexBytes(std::string(ntfs::kMaxFramePayload + 1, 'x')),
      F::VolumeFailed(ntfs::VolumeError::None, 5),
      unknown,
  };
  for (const ntfs::Frame& frame : refused) EXPECT_EQ(ntfs::EncodeFrame(frame), "") << static_cast<int>(frame.kind);
  EXPECT_EQ(ntfs::EncodeFrame(F::ReadVolume(std::string(ntfs::kMaxVolumeTextBytes, 'a'))).size(),
            5 + ntfs::kMaxVolumeTextBytes);
}

}  // namespace
}  // namespace quellor::testing
