#include "ntfs/index_codec.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ntfs/little_endian.h"
#include "ntfs/table_map.h"
#include "text/utf16.h"

namespace quellor::ntfs {

namespace {

constexpr char kMagic[4] = {'Q', 'L', 'S', 'S'};
constexpr std::size_t kHeaderBytes = 12;
constexpr std::uint8_t kNoRecord = 0x00;
constexpr std::uint8_t kRecord = 0x10;  // | its bits
constexpr std::uint8_t kBits = 0x20;
constexpr std::uint8_t kOwnName = 0x21;    // + 1: win32
constexpr std::uint8_t kOtherName = 0x23;  // + 1: win32
constexpr std::uint8_t kLoneAlias = 0x25;
constexpr std::uint8_t kSecurity = 0x26;
constexpr std::uint8_t kDescriptor = 0x27;
constexpr std::uint8_t kEnd = 0xFF;
constexpr std::uint8_t kAllBits = kBitInUse | kBitFolder | kBitReparsePoint | kBitItselfTag;
constexpr std::uint64_t kNumberLimit = std::uint64_t{1} << 48;
constexpr std::size_t kMaxNumberBytes = 7;
constexpr std::size_t kMaxTextBytes = kMaxNumberBytes + kMaxStreamTextBytes;
// The longest report: a security descriptor.
constexpr std::size_t kMaxReportBytes = 1 + 4 + kMaxNumberBytes + kMaxSecurityDescriptorBytes;
static_assert(kMaxReportBytes > 1 + 2 * (kMaxNumberBytes + 2) + 2 * kMaxTextBytes, "a name's report is shorter");
static_assert(kMaxReportBytes <= kStreamPieceBytes, "a report fits a piece");
constexpr std::size_t kEndBytes = 1 + UpcaseTable::kBytes + 5 * 8;
// Records set aside ahead of the reports that reach them.
constexpr std::uint32_t kRoomAhead = std::uint32_t{1} << 16;

char* PutU16(char* out, std::uint16_t value) {
  out[0] = static_cast<char>(value & 0xFF);
  out[1] = static_cast<char>(value >> 8);
  return out + 2;
}

char* PutU32(char* out, std::uint32_t value) {
  return PutU16(PutU16(out, static_cast<std::uint16_t>(value & 0xFFFF)), static_cast<std::uint16_t>(value >> 16));
}

char* PutNumber(char* out, std::uint64_t value) {
  for (; value >= 0x80; value >>= 7) *out++ = static_cast<char>((value & 0x7F) | 0x80);
  *out++ = static_cast<char>(value);
  return out;
}

char* PutText(char* out, std::string_view text) {
  return std::copy(text.begin(), text.end(), PutNumber(out, text.size()));
}

void PutFixed(std::string& out, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

enum class TextKind { Safe, Unsafe, NotUtf8 };

// A name the window may join to a folder's path is one step down, never up
// or across; any other is dropped. Bytes that are not UTF-8 (as a scan
// writes it, lone surrogates taken) come from no scan.
TextKind KindOf(std::string_view text) {
  bool unsafe = text == "." || text == "..";
  for (std::size_t pos = 0; pos < text.size();) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
      unsafe = unsafe || c == '\0' || c == '/' || c == '\\';
      ++pos;
      continue;
    }
    const std::size_t length = text::DecodeUtf8At(text, pos).length;
    if (length == 0) return TextKind::NotUtf8;
    pos += length;
  }
  return unsafe ? TextKind::Unsafe : TextKind::Safe;
}

}  // namespace

ScanStreamWriter::ScanStreamWriter(std::uint32_t records, PieceWriter write)
    : records_(records), write_(std::move(write)), piece_(new char[kStreamPieceBytes]) {
  std::string header(kMagic, sizeof kMagic);
  PutFixed(header, kScanStreamVersion, 4);
  PutFixed(header, records, 4);
  Told(std::copy(header.begin(), header.end(), Room(header.size())));
}

ScanStreamWriter::~ScanStreamWriter() = default;

char* ScanStreamWriter::Room(std::size_t size) {
  if (size_ + size > kStreamPieceBytes) Flush();
  return piece_.get() + size_;
}

void ScanStreamWriter::Flush() {
  if (!failed_ && size_ != 0) failed_ = !write_(std::string_view(piece_.get(), size_));
  size_ = 0;  // what a failed writer gathers is dropped, so the piece never overflows
}

// Tells the records of the table before `through` not yet told, as no base record in use.
void ScanStreamWriter::Skip(std::uint64_t through) {
  while (place_.told < through && !failed_) {
    if (size_ == kStreamPieceBytes) Flush();
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(through - place_.told, kStreamPieceBytes - size_));
    std::memset(piece_.get() + size_, kNoRecord, count);
    size_ += count;
    place_.told += count;
  }
}

void ScanStreamWriter::RecordSeen(std::uint64_t record, std::uint16_t sequence, std::uint8_t bits) {
  if (failed_) return;
  if (record < place_.told || record >= records_ || (bits & ~kAllBits) != 0) {
    failed_ = true;
    return;
  }
  Skip(record);
  char* out = Room(3);
  *out++ = static_cast<char>(kRecord | bits);
  Told(PutU16(out, sequence));
  place_.RecordTold(record, sequence, (bits & kBitFolder) != 0);
}

void ScanStreamWriter::SecuritySeen(std::uint64_t record, std::uint32_t id) {
  if (failed_) return;
  if (!place_.MayTellSecurity() || record != place_.last_record || id == 0) {
    failed_ = true;
    return;
  }
  char* out = Room(5);
  *out++ = static_cast<char>(kSecurity);
  Told(PutU32(out, id));
  place_.last_secured = true;
  security_ids_.push_back(id);
}

std::vector<std::uint32_t> ScanStreamWriter::SecurityIds() const {
  std::vector<std::uint32_t> ids = security_ids_;
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

void ScanStreamWriter::BitsSeen(std::uint64_t record, std::uint8_t bits) {
  if (failed_) return;
  if (record >= kNumberLimit || (bits & ~kAllBits) != 0) {
    failed_ = true;
    return;
  }
  char* out = Room(2 + kMaxNumberBytes);
  *out++ = static_cast<char>(kBits);
  out = PutNumber(out, record);
  *out++ = static_cast<char>(bits);
  Told(out);
}

void ScanStreamWriter::NameSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                                std::string_view name, std::string_view alias, bool win32) {
  const bool own = place_.IsLast(record, sequence);
  Name(static_cast<std::uint8_t>((own ? kOwnName : kOtherName) + (win32 ? 1 : 0)), record, sequence, parent, name,
       alias, own);
}

void ScanStreamWriter::LoneAliasSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                                     std::string_view alias) {
  Name(kLoneAlias, record, sequence, parent, {}, alias, false);
}

// A report with texts: a name, a short name alone when `kind` is kLoneAlias.
void ScanStreamWriter::Name(std::uint8_t kind, std::uint64_t record, std::uint16_t sequence, FileReference parent,
                            std::string_view name, std::string_view alias, bool own_record) {
  if (failed_) return;
  if (record >= kNumberLimit || parent.record >= kNumberLimit || name.size() > kMaxStreamTextBytes ||
      alias.size() > kMaxStreamTextBytes) {
    failed_ = true;
    return;
  }
  char* out = Room(kMaxReportBytes);
  *out++ = static_cast<char>(kind);
  if (!own_record) out = PutU16(PutNumber(out, record), sequence);
  out = PutU16(PutNumber(out, parent.record), parent.sequence);
  if (kind != kLoneAlias) out = PutText(out, name);
  Told(PutText(out, alias));
}

bool ScanStreamWriter::End(const UpcaseTable& upcase, const ScanCounts& counts,
                           const SecurityDescriptors& descriptors) {
  Skip(records_);
  for (const auto& [id, descriptor] : descriptors) {
    if (failed_) break;
    if (descriptor.size() > kMaxSecurityDescriptorBytes) {
      failed_ = true;
      break;
    }
    char* out = Room(kMaxReportBytes);
    *out++ = static_cast<char>(kDescriptor);
    out = PutNumber(PutU32(out, id), descriptor.size());
    Told(std::copy(descriptor.begin(), descriptor.end(), out));
  }
  if (failed_) return false;
  std::string end(1, static_cast<char>(kEnd));
  end.push_back(upcase.FromVolume() ? 1 : 0);
  end += upcase.Bytes();
  for (const std::uint64_t count : {counts.records, counts.in_use, counts.torn, counts.malformed, counts.unreadable}) {
    PutFixed(end, count, 8);
  }
  Told(std::copy(end.begin(), end.end(), Room(end.size())));
  Flush();
  return !failed_;
}

bool StreamVolume(ByteSource& source, const PieceWriter& write, VolumeError& error, const ScanProgress& progress,
                  const std::atomic<bool>* stop) {
  const std::unique_ptr<TableMap> map = TableMap::Open(source, error);
  if (!map) return false;
  if (map->RecordCount() > IndexBuilder::kMaxRecords) {
    error = VolumeError::TooLarge;
    return false;
  }
  error = VolumeError::None;
  ScanStreamWriter writer(static_cast<std::uint32_t>(map->RecordCount()), write);
  // The scan also ends early when nothing more can be sent.
  std::atomic<bool> halt{stop != nullptr && stop->load()};
  const ScanCounts counts = ScanTable(
      *map, writer,
      [&](std::uint64_t read, std::uint64_t records) {
        writer.Flush();
        if (progress) progress(read, records);
        if (writer.Failed() || (stop != nullptr && stop->load())) halt = true;
      },
      &halt);
  if (writer.Failed()) return false;
  if (counts.stopped) {
    error = VolumeError::Stopped;
    return false;
  }
  return writer.End(UpcaseTable::Read(*map), counts, ReadSecurityDescriptors(*map, writer.SecurityIds()));
}

// Reads one report's fields in turn from bytes that may end before it does:
// past the end every read gives 0 and the cursor is short; a field no
// writer writes makes it bad. Either way nothing after is read.
class ScanStreamReader::Cursor {
 public:
  Cursor(const char* at, const char* end) : at_(at), end_(end) {}

  const char* At() const { return at_; }
  bool Short() const { return short_; }
  StreamError Bad() const { return bad_; }
  bool Fine() const { return !short_ && bad_ == StreamError::None; }
  void Refuse(StreamError error) {
    if (Fine()) bad_ = error;
  }

  std::uint8_t U8() {
    if (!Has(1)) return 0;
    return static_cast<std::uint8_t>(*at_++);
  }
  std::uint16_t U16() {
    if (!Has(2)) return 0;
    const auto value =
        static_cast<std::uint16_t>(static_cast<unsigned char>(at_[0]) | static_cast<unsigned char>(at_[1]) << 8);
    at_ += 2;
    return value;
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | std::uint32_t{U16()} << 16;
  }
  // `size` bytes, once the caller has bounded it.
  std::string_view Bytes(std::size_t size) {
    if (!Has(size)) return {};
    const std::string_view bytes(at_, size);
    at_ += size;
    return bytes;
  }
  std::uint64_t Number() {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < kMaxNumberBytes; ++i) {
      if (!Has(1)) return 0;
      const auto byte = static_cast<unsigned char>(*at_++);
      value |= std::uint64_t{byte & 0x7Fu} << (7 * i);
      if ((byte & 0x80) == 0) {
        if (value < kNumberLimit) return value;
        break;
      }
    }
    Refuse(StreamError::BadReport);
    return 0;
  }
  FileReference Reference() {
    const std::uint64_t record = Number();
    return {record, U16()};
  }
  // A text of at most kMaxStreamTextBytes; empty ones are the caller's to judge.
  std::string_view Text() {
    const std::uint64_t size = Number();
    if (!Fine()) return {};
    if (size > kMaxStreamTextBytes) {
      Refuse(StreamError::BadName);
      return {};
    }
    if (!Has(size)) return {};
    const std::string_view text(at_, size);
    at_ += size;
    return text;
  }

 private:
  bool Has(std::size_t size) {
    if (!Fine()) return false;
    if (static_cast<std::size_t>(end_ - at_) >= size) return true;
    short_ = true;
    return false;
  }

  const char* at_;
  const char* end_;
  bool short_ = false;
  StreamError bad_ = StreamError::None;
};

ScanStreamReader::ScanStreamReader() = default;
ScanStreamReader::~ScanStreamReader() = default;

bool ScanStreamReader::Feed(std::string_view bytes) {
  if (stage_ == Stage::Failed) return false;
  try {
    return FeedBytes(bytes);
  } catch (const std::bad_alloc&) {
    return Fail(StreamError::OutOfMemory);
  }
}

std::unique_ptr<VolumeIndex> ScanStreamReader::Take() {
  if (stage_ != Stage::Done || !builder_) return nullptr;
  const std::unique_ptr<IndexBuilder> builder = std::move(builder_);
  try {
    std::unique_ptr<VolumeIndex> index = builder->Finish(*upcase_, counts_);
    if (!index) error_ = StreamError::TooLarge;
    return index;
  } catch (const std::bad_alloc&) {
    error_ = StreamError::OutOfMemory;
    return nullptr;
  }
}

bool ScanStreamReader::Fail(StreamError error) {
  stage_ = Stage::Failed;
  error_ = error;
  builder_.reset();
  carry_ = {};
  return false;
}

ScanStreamReader::Step ScanStreamReader::Refused(StreamError error) {
  Fail(error);
  return Step::Failed;
}

bool ScanStreamReader::FeedBytes(std::string_view bytes) {
  while (!bytes.empty()) {
    switch (stage_) {
      case Stage::Header:
        if (Gather(bytes, kHeaderBytes) && !Header()) return false;
        break;
      case Stage::Reports:
        if (!Reports(bytes)) return false;
        break;
      case Stage::End:
        if (Gather(bytes, kEndBytes) && !End()) return false;
        break;
      case Stage::Done:
        return Fail(StreamError::TrailingBytes);
      case Stage::Failed:
        return false;
    }
  }
  return true;
}

// Gathers a field of `size` bytes in carry_; true when it is whole.
bool ScanStreamReader::Gather(std::string_view& bytes, std::size_t size) {
  const std::size_t take = std::min(size - carry_.size(), bytes.size());
  carry_.append(bytes.substr(0, take));
  bytes.remove_prefix(take);
  return carry_.size() == size;
}

bool ScanStreamReader::Header() {
  const ByteView v(reinterpret_cast<const unsigned char*>(carry_.data()), carry_.size());
  if (!std::equal(kMagic, kMagic + sizeof kMagic, carry_.begin())) return Fail(StreamError::BadMagic);
  if (v.U32(4) != kScanStreamVersion) return Fail(StreamError::BadVersion);
  if (v.U32(8) > IndexBuilder::kMaxRecords) return Fail(StreamError::BadHeader);
  records_ = v.U32(8);
  builder_ = std::make_unique<IndexBuilder>(records_, std::min(records_, kRoomAhead));
  carry_.clear();
  stage_ = Stage::Reports;
  return true;
}

// Tells the builder every whole report in `bytes`, and keeps a report cut
// at their end for the next piece.
bool ScanStreamReader::Reports(std::string_view& bytes) {
  if (!carry_.empty()) {
    const std::size_t carried = carry_.size();
    carry_.append(bytes.substr(0, kMaxReportBytes - carried));
    Cursor at(carry_.data(), carry_.data() + carry_.size());
    switch (Report(at)) {
      case Step::Failed:
        return false;
      case Step::Short:
        // No report is longer: the bytes are all the piece had.
        if (carry_.size() == kMaxReportBytes) return Fail(StreamError::BadReport);
        bytes = {};
        return true;
      case Step::Told:
        bytes.remove_prefix(static_cast<std::size_t>(at.At() - carry_.data()) - carried);
        carry_.clear();
        return true;
    }
  }
  const char* const end = bytes.data() + bytes.size();
  const char* next = bytes.data();
  while (stage_ == Stage::Reports && next != end) {
    Cursor at(next, end);
    const Step step = Report(at);
    if (step == Step::Failed) return false;
    if (step == Step::Short) {
      carry_.assign(next, end);
      next = end;
      break;
    }
    next = at.At();
  }
  bytes.remove_prefix(static_cast<std::size_t>(next - bytes.data()));
  return true;
}

// Reads one report and, once it is whole and well formed, tells the builder.
ScanStreamReader::Step ScanStreamReader::Report(Cursor& at) {
  const std::uint8_t kind = at.U8();
  if (kind == kNoRecord || (kind & 0xF0) == kRecord) {
    const std::uint16_t sequence = kind == kNoRecord ? 0 : at.U16();
    if (at.Short()) return Step::Short;
    if (place_.told == records_) return Refused(StreamError::RecordOutOfRange);
    if (kind != kNoRecord) {
      builder_->RecordSeen(place_.told, sequence, static_cast<std::uint8_t>(kind & kAllBits));
      place_.RecordTold(place_.told, sequence, (kind & kBitFolder) != 0);
    } else {
      ++place_.told;
    }
    return Step::Told;
  }
  switch (kind) {
    case kBits: {
      const std::uint64_t record = at.Number();
      const std::uint8_t bits = at.U8();
      if ((bits & ~kAllBits) != 0) at.Refuse(StreamError::BadReport);
      if (!at.Fine()) break;
      builder_->BitsSeen(record, bits);
      return Step::Told;
    }
    case kOwnName:
    case kOwnName + 1:
      if (!place_.any_record) return Refused(StreamError::BadReport);
      return Name(at, place_.last_record, place_.last_sequence, kind == kOwnName + 1);
    case kOtherName:
    case kOtherName + 1: {
      const FileReference record = at.Reference();
      return Name(at, record.record, record.sequence, kind == kOtherName + 1);
    }
    case kLoneAlias: {
      const FileReference record = at.Reference();
      const FileReference parent = at.Reference();
      const std::string_view alias = at.Text();
      if (at.Fine() && alias.empty()) at.Refuse(StreamError::BadName);
      const TextKind alias_kind = KindOf(alias);
      if (at.Fine() && alias_kind == TextKind::NotUtf8) at.Refuse(StreamError::BadName);
      if (!at.Fine()) break;
      if (alias_kind == TextKind::Unsafe) {
        builder_->NameRefused();
      } else {
        builder_->LoneAliasSeen(record.record, record.sequence, parent, alias);
      }
      return Step::Told;
    }
    case kSecurity:
      return Security(at);
    case kDescriptor:
      return Descriptor(at);
    case kEnd:
      if (place_.told != records_) return Refused(StreamError::BadEnd);
      stage_ = Stage::End;
      return Step::Told;
    default:
      at.Refuse(StreamError::BadReport);
      break;
  }
  return at.Short() ? Step::Short : Refused(at.Bad());
}

// The rest of a name's report, from its parent on.
ScanStreamReader::Step ScanStreamReader::Name(Cursor& at, std::uint64_t record, std::uint16_t sequence, bool win32) {
  const FileReference parent = at.Reference();
  const std::string_view name = at.Text();
  if (at.Fine() && name.empty()) at.Refuse(StreamError::BadName);
  std::string_view alias = at.Text();
  const TextKind name_kind = KindOf(name), alias_kind = KindOf(alias);
  if (at.Fine() && (name_kind == TextKind::NotUtf8 || alias_kind == TextKind::NotUtf8)) {
    at.Refuse(StreamError::BadName);
  }
  if (!at.Fine()) return at.Short() ? Step::Short : Refused(at.Bad());
  if (name_kind == TextKind::Unsafe) {
    // The root's "." in itself is no name in a folder: an index never keeps it.
    if (record != parent.record) builder_->NameRefused();
    return Step::Told;
  }
  if (alias_kind == TextKind::Unsafe) {
    builder_->NameRefused();
    alias = {};
  }
  builder_->NameSeen(record, sequence, parent, name, alias, win32);
  return Step::Told;
}

ScanStreamReader::Step ScanStreamReader::Security(Cursor& at) {
  const std::uint32_t id = at.U32();
  if (at.Short()) return Step::Short;
  if (!place_.MayTellSecurity() || id == 0 || !described_.empty()) return Refused(StreamError::BadSecurity);
  builder_->SecuritySeen(place_.last_record, id);
  place_.last_secured = true;
  return Step::Told;
}

ScanStreamReader::Step ScanStreamReader::Descriptor(Cursor& at) {
  const std::uint32_t id = at.U32();
  const std::uint64_t size = at.Number();
  if (at.Fine() && size > kMaxSecurityDescriptorBytes) at.Refuse(StreamError::BadSecurity);
  const std::string_view descriptor = at.Bytes(static_cast<std::size_t>(size));
  if (!at.Fine()) return at.Short() ? Step::Short : Refused(at.Bad());
  if (place_.told != records_) return Refused(StreamError::BadSecurity);
  if (described_.empty()) {
    security_ids_ = builder_->SecurityIds();
    described_.assign(security_ids_.size() + 1, false);  // one past: the ids are gathered
  }
  const auto it = std::lower_bound(security_ids_.begin(), security_ids_.end(), id);
  const auto i = static_cast<std::size_t>(it - security_ids_.begin());
  if (it == security_ids_.end() || *it != id || described_[i] || !IsSelfRelativeDescriptor(descriptor)) {
    return Refused(StreamError::BadSecurity);
  }
  described_[i] = true;
  builder_->DescriptorSeen(id, descriptor);
  return Step::Told;
}

bool ScanStreamReader::End() {
  const ByteView v(reinterpret_cast<const unsigned char*>(carry_.data()), carry_.size());
  const std::size_t counts_at = 1 + UpcaseTable::kBytes;
  if (v.U8(0) > 1 || v.U64(counts_at) != records_) return Fail(StreamError::BadEnd);
  upcase_ = UpcaseTable::FromBytes(std::string_view(carry_).substr(1, UpcaseTable::kBytes), v.U8(0) == 1);
  counts_.records = records_;
  counts_.in_use = v.U64(counts_at + 8);
  counts_.torn = v.U64(counts_at + 16);
  counts_.malformed = v.U64(counts_at + 24);
  counts_.unreadable = v.U64(counts_at + 32);
  carry_ = {};
  stage_ = Stage::Done;
  return true;
}

}  // namespace quellor::ntfs
