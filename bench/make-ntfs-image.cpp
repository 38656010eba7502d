// Writes a synthetic NTFS volume for the file-table reader's benchmark:
//
//     make-ntfs-image OUT.img FILES [FOLDERS]
//
// FILES files spread at random over FOLDERS folders (FILES / 100 unless
// given) up to six levels deep, with names like people's (8 to 40
// characters, ASCII and Chinese, some with a short DOS name beside the long
// one, a few hard links), and one deleted record in 128 among them. The same
// arguments always give the same image.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "support/ntfs_image.h"

namespace {

namespace ntfs = quellor::testing::ntfs_image;

constexpr std::uint64_t kFirstRecord = 64;  // after the system files and the records a volume keeps free
constexpr std::uint32_t kMaxDepth = 6;
constexpr std::uint64_t kDeletedEvery = 128;
constexpr std::uint64_t kHardLinkEvery = 500;
constexpr std::uint64_t kShortNameEvery = 4;
constexpr std::uint32_t kArchive = 0x20;

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }

 private:
  std::uint64_t state_;
};

// Mixing the record number into the seed lets any record be made on its own,
// in any order.
Random RandomFor(std::uint64_t number) { return Random(0x9E3779B97F4A7C15ULL * (number + 1) ^ 0xD1B54A32D192ED03ULL); }

constexpr std::u16string_view kFileStems[] = {
    u"IMG_",          u"DSC",     u"invoice-", u"report_",  u"part_",    u"scan ",  u"Project Plan ",
    u"meeting-notes-", u"backup_", u"photo ",   u"合同",     u"发票_",    u"照片",   u"扫描件 ",
    u"项目资料-",      u"会议记录", u"年度总结", u"客户名单_", u"Jörg-Rechnung ",
};
constexpr std::u16string_view kFolderStems[] = {
    u"Documents ", u"Photos ", u"projects-", u"archive_", u"2023 Q", u"客户资料", u"项目", u"财务报表 ", u"备份",
};
constexpr std::u16string_view kExtensions[] = {u".jpg", u".pdf", u".txt", u".docx", u".xlsx", u".png", u".tif", u".zip", u""};
constexpr std::u16string_view kWords[] = {
    u"final", u"draft", u"copy", u"scan", u"v2", u"signed", u"backup", u"new", u"2023", u"2024",
    u"old",   u"Kunde", u"最终版", u"副本", u"修改", u"新建", u"资料", u"扫描", u"客户", u"合同",
};
constexpr std::u16string_view kSeparators[] = {u" ", u"_", u"-", u""};
constexpr std::size_t kShortestName = 8;
constexpr std::size_t kLongestName = 40;

std::u16string Digits(std::uint64_t value) {
  const std::string text = std::to_string(value);
  return std::u16string(text.begin(), text.end());
}

// A name of 8 to 40 units, unique through `serial`.
std::u16string MakeName(Random& random, std::u16string_view stem, std::uint64_t serial, std::u16string_view extension) {
  const std::size_t target = kShortestName + random.Below(kLongestName - kShortestName + 1);
  std::u16string name(stem);
  name += Digits(serial);
  while (name.size() + extension.size() < target) {
    name += kSeparators[random.Below(std::size(kSeparators))];
    name += kWords[random.Below(std::size(kWords))];
  }
  name.resize(std::min(name.size(), kLongestName - extension.size()));
  name += extension;
  return name;
}

bool IsUpperAscii83(std::u16string_view name) {
  const std::size_t dot = name.find(u'.');
  const std::size_t base = dot == std::u16string_view::npos ? name.size() : dot;
  if (base == 0 || base > 8 || (dot != std::u16string_view::npos && name.size() - dot - 1 > 3)) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    const bool allowed = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || (c == u'.' && i == dot);
    if (!allowed) return false;
  }
  return true;
}

// The short name Windows would give a long one: up to six letters or digits, "~1", three of the extension.
std::u16string DosName(std::u16string_view name) {
  const std::size_t dot = name.rfind(u'.');
  std::u16string base;
  for (std::size_t i = 0; i < name.size() && i != dot && base.size() < 6; ++i) {
    char16_t c = name[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) base += c;
  }
  if (base.empty()) base = u"FILE";
  base += u"~1";
  if (dot != std::u16string_view::npos) {
    base += u'.';
    for (std::size_t i = dot + 1; i < name.size() && i <= dot + 3; ++i) {
      char16_t c = name[i];
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
      base += c;
    }
  }
  return base;
}

struct Folders {
  std::vector<std::uint64_t> parent;  // record numbers
  std::vector<std::uint16_t> sequence;
};

// The first folders sit in the root, each later one under a random earlier
// folder that is not yet at the deepest level.
Folders PlanFolders(std::uint64_t count) {
  Folders folders;
  folders.parent.resize(count);
  folders.sequence.resize(count);
  std::vector<std::uint32_t> depth(count, 1);
  const std::uint64_t top = std::min<std::uint64_t>(count, 8 + count / 200);
  Random random(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    folders.sequence[i] = static_cast<std::uint16_t>(1 + RandomFor(kFirstRecord + i).Below(5));
    if (i < top) {
      folders.parent[i] = 5;
      continue;
    }
    std::uint64_t parent = random.Below(i);
    while (depth[parent] >= kMaxDepth) parent = folders.parent[parent] - kFirstRecord;
    folders.parent[i] = kFirstRecord + parent;
    depth[i] = depth[parent] + 1;
  }
  return folders;
}

class VolumeContents {
 public:
  VolumeContents(std::uint64_t files, std::uint64_t folders)
      : files_(files), deleted_(files / (kDeletedEvery - 1)), folders_(PlanFolders(folders)) {}

  std::uint64_t RecordCount() const { return folders_.parent.size() + files_ + deleted_; }

  ntfs::Record Make(std::uint64_t number) const {
    Random random = RandomFor(number);
    ntfs::Record record;
    record.number = number;
    const std::uint64_t index = number - kFirstRecord;
    const std::uint64_t folder_count = folders_.parent.size();
    if (index < folder_count) {
      record.sequence = folders_.sequence[index];
      record.folder = true;
      const auto stem = kFolderStems[random.Below(std::size(kFolderStems))];
      record.names.push_back({folders_.parent[index], SequenceOf(folders_.parent[index]),
                              MakeName(random, stem, index, {}), ntfs::kWin32});
      return record;
    }
    const std::uint64_t place = index - folder_count;
    record.sequence = static_cast<std::uint16_t>(1 + random.Below(40));
    record.attributes = kArchive;
    const auto stem = kFileStems[random.Below(std::size(kFileStems))];
    const auto extension = kExtensions[random.Below(std::size(kExtensions))];
    const std::u16string name = MakeName(random, stem, place, extension);
    const std::uint64_t folder = kFirstRecord + random.Below(folder_count);
    if (place % kDeletedEvery == kDeletedEvery - 1 && place / kDeletedEvery < deleted_) {
      record.in_use = false;
      record.names.push_back({folder, SequenceOf(folder), name, ntfs::kWin32});
      return record;
    }
    if (IsUpperAscii83(name)) {
      record.names.push_back({folder, SequenceOf(folder), name, ntfs::kWin32AndDos});
    } else {
      record.names.push_back({folder, SequenceOf(folder), name, ntfs::kWin32});
      if (place % kShortNameEvery == 0) record.names.push_back({folder, SequenceOf(folder), DosName(name), ntfs::kDos});
    }
    if (place % kHardLinkEvery == 1) {
      const std::uint64_t other = kFirstRecord + random.Below(folder_count);
      record.names.push_back({other, SequenceOf(other), MakeName(random, u"link ", place, extension), ntfs::kWin32});
    }
    return record;
  }

 private:
  std::uint16_t SequenceOf(std::uint64_t folder) const {
    return folder == 5 ? 5 : folders_.sequence[folder - kFirstRecord];
  }

  std::uint64_t files_;
  std::uint64_t deleted_;
  Folders folders_;
};

bool ParseCount(const char* text, std::uint64_t& value) {
  const std::string_view view(text);
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  return error == std::errc() && end == view.data() + view.size();
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t files = 0;
  std::uint64_t folders = 0;
  if (argc < 3 || argc > 4 || !ParseCount(argv[2], files) || (argc == 4 && !ParseCount(argv[3], folders))) {
    std::fprintf(stderr, "usage: make-ntfs-image OUT.img FILES [FOLDERS]\n");
    return 2;
  }
  if (argc == 3) folders = files / 100;
  folders = std::max<std::uint64_t>(folders, 1);

  const VolumeContents contents(files, folders);
  ntfs::Shape shape;
  // A large table on a used disk lies in a few pieces.
  shape.mft_fragments = 4;
  const std::uint64_t count = contents.RecordCount();
  if (!ntfs::WriteImage(argv[1], shape, kFirstRecord, count,
                        [&](std::uint64_t number) { return contents.Make(number); })) {
    std::fprintf(stderr, "make-ntfs-image: could not write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %llu files in %llu folders, records %llu to %llu, table of %llu records\n", argv[1],
              static_cast<unsigned long long>(files), static_cast<unsigned long long>(folders),
              static_cast<unsigned long long>(kFirstRecord), static_cast<unsigned long long>(kFirstRecord + count - 1),
              static_cast<unsigned long long>(ntfs::TableRecords(shape, kFirstRecord + count)));
  return 0;
}
