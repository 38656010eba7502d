#include "ntfs/upcase_table.h"

#include <algorithm>

#include "text/utf16.h"

namespace quellor::ntfs {

namespace {

constexpr std::uint64_t kUpcaseRecord = 10;
constexpr std::uint64_t kTableUnits = 65536;

// The UTF-16 code units of a UTF-8 name, one at a time. A byte that starts
// no sequence stands for itself, so that any bytes still order.
class Units {
 public:
  Units(std::string_view text, std::size_t from) : text_(text), at_(from) {}
  bool Next(char16_t& unit) {
    if (pending_ != 0) {
      unit = pending_;
      pending_ = 0;
      return true;
    }
    if (at_ >= text_.size()) return false;
    const auto b = static_cast<unsigned char>(text_[at_]);
    if (b < 0x80) {
      unit = b;
      ++at_;
      return true;
    }
    const text::Utf8Character c = text::DecodeUtf8At(text_, at_);
    if (c.length == 0) {
      unit = b;
      ++at_;
      return true;
    }
    at_ += c.length;
    if (text::InBasicPlane(c.code_point)) {
      unit = static_cast<char16_t>(c.code_point);
    } else {
      const text::SurrogatePair pair = text::SplitIntoSurrogates(c.code_point);
      unit = pair.high;
      pending_ = pair.low;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t at_;
  char16_t pending_ = 0;
};

}  // namespace

UpcaseTable UpcaseTable::Ascii() {
  UpcaseTable t;
  t.table_.resize(kTableUnits);
  for (std::uint32_t u = 0; u < kTableUnits; ++u) {
    t.table_[u] = static_cast<char16_t>(u >= 'a' && u <= 'z' ? u - 'a' + 'A' : u);
  }
  return t;
}

UpcaseTable UpcaseTable::Read(const TableMap& map) {
  const std::uint32_t record_size = map.Geometry().record_size;
  std::vector<unsigned char> record(record_size);
  RecordHeader header;
  ExtentMap extents;
  std::uint64_t size = 0;
  const std::uint64_t clusters = map.Geometry().volume_size / map.Geometry().cluster_size;
  std::vector<unsigned char> bytes(kBytes);
  if (map.RecordCount() <= kUpcaseRecord || !map.ReadRecords(kUpcaseRecord, 1, record.data()) ||
      OpenRecord(record.data(), record_size, header) != RecordState::InUse ||
      !CollectDataExtents(record.data(), header, clusters, extents, size) || size != bytes.size() ||
      !ExtentsCover(extents, size, map.Geometry().cluster_size) || !map.ReadValue(extents, size, bytes.data())) {
    return Ascii();
  }
  return *FromBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), true);
}

std::optional<UpcaseTable> UpcaseTable::FromBytes(std::string_view bytes, bool from_volume) {
  if (bytes.size() != kBytes) return std::nullopt;
  UpcaseTable t;
  t.table_.resize(kTableUnits);
  const ByteView view(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  for (std::uint32_t u = 0; u < kTableUnits; ++u) t.table_[u] = static_cast<char16_t>(view.U16(2 * u));
  t.from_volume_ = from_volume;
  return t;
}

std::string UpcaseTable::Bytes() const {
  std::string bytes(kBytes, '\0');
  for (std::uint32_t u = 0; u < kTableUnits; ++u) {
    bytes[2 * u] = static_cast<char>(table_[u] & 0xFF);
    bytes[2 * u + 1] = static_cast<char>(table_[u] >> 8);
  }
  return bytes;
}

int UpcaseTable::Compare(std::string_view a, std::string_view b) const {
  // Most names are ASCII for most of their length: byte by byte until the
  // first character that is not.
  int exact = 0;
  std::size_t i = 0;
  for (const std::size_t common = std::min(a.size(), b.size()); i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if ((x | y) >= 0x80) break;
    if (x == y) continue;
    if (table_[x] != table_[y]) return table_[x] < table_[y] ? -1 : 1;
    if (exact == 0) exact = x < y ? -1 : 1;
  }
  Units x(a, i), y(b, i);
  for (;;) {
    char16_t u = 0, v = 0;
    const bool more_x = x.Next(u);
    const bool more_y = y.Next(v);
    if (!more_x || !more_y) {
      if (more_x != more_y) return more_x ? 1 : -1;
      return exact;
    }
    const char16_t upper_u = table_[u], upper_v = table_[v];
    if (upper_u != upper_v) return upper_u < upper_v ? -1 : 1;
    if (exact == 0 && u != v) exact = u < v ? -1 : 1;
  }
}

}  // namespace quellor::ntfs
