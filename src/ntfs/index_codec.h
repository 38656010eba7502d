// What a scan of a volume's table hears, as bytes, for the helper that reads
// a volume with rights the window lacks: it sends each report while the
// table is read, and the window builds the index from them as it would from
// a scan of its own. The window decodes whatever arrives as untrusted: the
// helper may be killed half way, or be another program. Nothing it sends can
// make the window crash, hold memory out of proportion to the bytes
// received, or keep a name that climbs out of a folder or jumps elsewhere.
//
// The stream, every fixed number little-endian; a "number" is unsigned
// LEB128 (7 bits a byte, low first) of at most 7 bytes and below 2^48, a
// "text" a number of bytes then its UTF-8, a "reference" a number (the
// record) then a u16 (its sequence):
//   header  "QLSS", u32 version, u32 the table's records
//   then reports, each led by a byte:
//   0x00         a record of the table that is no base record in use
//   0x10 | bits  the next record of the table, a base record in use with
//                these RecordBits: u16 sequence
//   0x20         bits an extension record adds: number record, u8 bits
//   0x21, 0x22   a name of the last base record in use, with its sequence:
//                reference parent, text name, text alias (0x22: win32)
//   0x23, 0x24   a name of another record: reference record, then as 0x21
//                and 0x22
//   0x25         a short name alone: reference record, reference parent,
//                text alias
//   0x26         the security id of the last base record in use, a folder:
//                u32 id, not 0; at most once a record
//   0x27         after every record is told, a security descriptor of an id
//                some folder carries, each id once: u32 id, number size (at
//                most kMaxSecurityDescriptorBytes), then a self-relative
//                descriptor of that size
//   0xFF         the end: u8 upcase table from the volume (0 or 1), its
//                bytes (UpcaseTable::kBytes), then the scan's counts as u64:
//                records, in use, torn, malformed, unreadable
// Each record of the table is told once, in order, by 0x00 or 0x1_, so the
// tables the window keeps a record grow only with bytes received.
//
// A name or short name that is ".", "..", or holds '/', '\' or NUL, which a
// damaged or foreign-written volume may hold, is dropped and counted
// (IndexCounts::unsafe_names), so that such a volume still reads; whatever
// no scan can tell (an empty or overlong text, bytes that are not UTF-8, a
// record of the table past its count, a report of no known kind) fails the
// whole stream.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ntfs/byte_source.h"
#include "ntfs/index_builder.h"
#include "ntfs/security_descriptors.h"
#include "ntfs/table_scan.h"
#include "ntfs/upcase_table.h"
#include "ntfs/volume_error.h"
#include "ntfs/volume_index.h"

namespace quellor::ntfs {

inline constexpr std::uint32_t kScanStreamVersion = 2;
// The largest piece a writer hands on.
inline constexpr std::size_t kStreamPieceBytes = std::size_t{1} << 20;
// The longest text a record holds: 255 UTF-16 units, each at most 3 bytes of UTF-8.
inline constexpr std::size_t kMaxStreamTextBytes = 3 * 255;

// Where a writer or a reader stands in the table: the records told so far,
// and the last base record in use, whose names and security id may follow.
struct StreamPlace {
  std::uint64_t told = 0;
  bool any_record = false;
  std::uint64_t last_record = 0;
  std::uint16_t last_sequence = 0;
  bool last_folder = false;
  bool last_secured = false;

  void RecordTold(std::uint64_t record, std::uint16_t sequence, bool folder) {
    told = record + 1;
    any_record = true;
    last_record = record;
    last_sequence = sequence;
    last_folder = folder;
    last_secured = false;
  }
  // A security id may follow: the last record is a folder not yet given one.
  bool MayTellSecurity() const { return any_record && last_folder && !last_secured; }
  bool IsLast(std::uint64_t record, std::uint16_t sequence) const {
    return any_record && record == last_record && sequence == last_sequence;
  }
};

// Takes the next piece of a stream; false when it cannot be sent.
using PieceWriter = std::function<bool(std::string_view piece)>;

// The helper's side: hears a scan and hands its reports on in pieces of at
// most kStreamPieceBytes, the header first.
class ScanStreamWriter : public TableSink {
 public:
  ScanStreamWriter(std::uint32_t records, PieceWriter write);
  ~ScanStreamWriter() override;
  ScanStreamWriter(const ScanStreamWriter&) = delete;
  ScanStreamWriter& operator=(const ScanStreamWriter&) = delete;

  // Base records are told in the table's order, texts at most
  // kMaxStreamTextBytes long, as a scan tells them; anything else fails the
  // writer.
  void RecordSeen(std::uint64_t record, std::uint16_t sequence, std::uint8_t bits) override;
  void BitsSeen(std::uint64_t record, std::uint8_t bits) override;
  void NameSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent, std::string_view name,
                std::string_view alias, bool win32) override;
  void LoneAliasSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                     std::string_view alias) override;
  void SecuritySeen(std::uint64_t record, std::uint32_t id) override;
  // Each security id the folders told so far carry, once, ascending.
  std::vector<std::uint32_t> SecurityIds() const;

  // Hands on what was gathered since the last piece.
  void Flush();
  // Tells the records not yet told, the folders' descriptors, the upcase
  // table and the counts, and hands on the last piece; false when the writer
  // failed.
  bool End(const UpcaseTable& upcase, const ScanCounts& counts, const SecurityDescriptors& descriptors = {});
  // A piece could not be sent, or a report could not be told: nothing more is.
  bool Failed() const { return failed_; }

 private:
  char* Room(std::size_t size);
  void Told(char* end) { size_ = static_cast<std::size_t>(end - piece_.get()); }
  void Skip(std::uint64_t through);
  void Name(std::uint8_t kind, std::uint64_t record, std::uint16_t sequence, FileReference parent,
            std::string_view name, std::string_view alias, bool own_record);

  std::uint32_t records_;
  PieceWriter write_;
  std::unique_ptr<char[]> piece_;
  std::size_t size_ = 0;
  StreamPlace place_;
  std::vector<std::uint32_t> security_ids_;
  bool failed_ = false;
};

// Reads the table of the NTFS volume in `source` as ReadVolumeIndex does and
// hands `write` the stream of what its scan hears, each chunk's reports
// before `progress` is told of it. False, with the reason in `error`, when
// the boot sector or the table's map cannot be used (nothing written), the
// table holds more records than an index (TooLarge) or the stop came first
// (Stopped); false with VolumeError::None when `write` failed.
bool StreamVolume(ByteSource& source, const PieceWriter& write, VolumeError& error, const ScanProgress& progress = {},
                  const std::atomic<bool>* stop = nullptr);

enum class StreamError {
  None,
  BadMagic,
  BadVersion,
  BadHeader,         // more records than an index holds
  BadReport,         // no report's leading byte, a name of the last record before any, unknown bits, a number too large
  RecordOutOfRange,  // a record of the table past its count
  BadName,           // a text empty, longer than kMaxStreamTextBytes, or not UTF-8
  BadEnd,            // the end before every record was told, counts not the header's, or an upcase byte not 0 or 1
  BadSecurity,       // a security id of no folder, 0 or told twice; a descriptor before every record, of an id no
                     // folder carries or told twice, too long or malformed
  TrailingBytes,     // bytes after the end
  TooLarge,          // more name bytes than an index can address
  OutOfMemory,
};

// The window's side: takes the stream in pieces split anywhere and builds
// the index from its reports.
class ScanStreamReader {
 public:
  ScanStreamReader();
  ~ScanStreamReader();
  ScanStreamReader(const ScanStreamReader&) = delete;
  ScanStreamReader& operator=(const ScanStreamReader&) = delete;

  // False when the bytes so far are no stream a writer writes; the reader
  // then stays failed, with the reason in Error().
  bool Feed(std::string_view bytes);
  // The end came whole, and nothing was wrong before it.
  bool Complete() const { return stage_ == Stage::Done; }
  StreamError Error() const { return error_; }
  // The index, its names grouped by folder, once Complete(); null otherwise,
  // after the first call, and when the names outgrow an index (Error()
  // TooLarge) or memory runs out (OutOfMemory).
  std::unique_ptr<VolumeIndex> Take();

 private:
  enum class Stage { Header, Reports, End, Done, Failed };
  enum class Step { Told, Short, Failed };
  class Cursor;

  bool Fail(StreamError error);
  Step Refused(StreamError error);
  bool FeedBytes(std::string_view bytes);
  bool Gather(std::string_view& bytes, std::size_t size);
  bool Header();
  bool Reports(std::string_view& bytes);
  Step Report(Cursor& at);
  Step Name(Cursor& at, std::uint64_t record, std::uint16_t sequence, bool win32);
  Step Security(Cursor& at);
  Step Descriptor(Cursor& at);
  bool End();

  Stage stage_ = Stage::Header;
  StreamError error_ = StreamError::None;
  std::string carry_;  // a field or report begun in an earlier piece
  std::unique_ptr<IndexBuilder> builder_;
  std::uint32_t records_ = 0;
  StreamPlace place_;
  std::vector<std::uint32_t> security_ids_;  // the folders', once every record is told
  std::vector<bool> described_;              // per security_ids_
  std::optional<UpcaseTable> upcase_;
  ScanCounts counts_;
};

}  // namespace quellor::ntfs
