#include "files/transfer_journal.h"

#include <charconv>

#include "platform/file_io.h"

namespace quellor::files {

namespace {

constexpr std::string_view kMagic = "QUELLOR-TRANSFER-JOURNAL";
constexpr std::string_view kVersion = "1";

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string Hex(std::uint64_t value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
  return text;
}

// The fields joined by tabs, then the checksum of all that and a line break.
std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += field;
  }
  return line + '\t' + Hex(Crc32(line), 8) + '\n';
}

std::string Escaped(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

constexpr const char* kKindWords[] = {"missing", "file", "folder", "link", "special", "unknown"};

std::string KindWord(platform::PathKind kind) { return kKindWords[static_cast<int>(kind)]; }

std::optional<platform::PathKind> KindOfWord(std::string_view word) {
  for (int i = 0; i < 6; ++i) {
    if (word == kKindWords[i]) return static_cast<platform::PathKind>(i);
  }
  return std::nullopt;
}

template <class Number>
std::optional<Number> NumberOf(std::string_view text, int base = 10) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// The fields of a line (without its line break) whose checksum holds.
std::optional<std::vector<std::string_view>> CheckedFields(std::string_view line) {
  const std::size_t tab = line.rfind('\t');
  if (tab == std::string_view::npos || line.size() - tab - 1 != 8) return std::nullopt;
  const std::optional<std::uint32_t> sum = NumberOf<std::uint32_t>(line.substr(tab + 1), 16);
  if (!sum || *sum != Crc32(line.substr(0, tab))) return std::nullopt;
  return Fields(line.substr(0, tab));
}

// Applies one sound line to `batch`; false when it does not fit what came before.
bool Apply(const std::vector<std::string_view>& f, JournalBatch& batch) {
  if (f.size() < 2) return false;
  const std::optional<std::size_t> index = NumberOf<std::size_t>(f[1]);
  if (!index) return false;
  if (f[0] == "B") {
    if (f.size() != 6 || *index != batch.items.size()) return false;
    JournalItem item;
    const std::optional<platform::PathKind> kind = KindOfWord(f[2]);
    std::optional<std::string> source = Unescaped(f[4]);
    std::optional<std::string> target = Unescaped(f[5]);
    if (!kind || (f[3] != "0" && f[3] != "1") || !source || !target) return false;
    item.kind = *kind;
    item.target_taken = f[3] == "1";
    item.source = std::move(*source);
    item.target = std::move(*target);
    batch.items.push_back(std::move(item));
    return true;
  }
  if (*index >= batch.items.size()) return false;
  JournalItem& item = batch.items[*index];
  if (f[0] == "D" && (f.size() == 5 || f.size() == 8) && item.stage == JournalItem::Stage::Begun) {
    const std::optional<platform::PathKind> kind = KindOfWord(f[2]);
    const std::optional<std::uint64_t> size = NumberOf<std::uint64_t>(f[3]);
    const std::optional<std::int64_t> modified = NumberOf<std::int64_t>(f[4]);
    if (!kind || !size || !modified) return false;
    item.placed = PlacedState{*kind, *size, *modified, std::nullopt};
    if (f.size() == 8) {
      const std::optional<std::uint64_t> files = NumberOf<std::uint64_t>(f[5]);
      const std::optional<std::uint64_t> bytes = NumberOf<std::uint64_t>(f[6]);
      const std::optional<std::uint64_t> hash = NumberOf<std::uint64_t>(f[7], 16);
      if (!files || !bytes || !hash) return false;
      item.placed.digest = FolderDigest{*files, *bytes, *hash};
    }
    item.stage = JournalItem::Stage::Done;
    return true;
  }
  if (f[0] == "F" && f.size() == 2 && item.stage == JournalItem::Stage::Begun) {
    item.stage = JournalItem::Stage::Failed;
    return true;
  }
  if (f[0] == "U" && f.size() == 2 && item.stage == JournalItem::Stage::Done && !item.undone) {
    item.undone = true;
    return true;
  }
  return false;
}

}  // namespace

FolderDigest DigestOf(const platform::TreeContent& content) {
  FolderDigest digest;
  std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
  const auto add = [&hash](unsigned char byte) { hash = (hash ^ byte) * 0x100000001b3u; };
  for (const auto& [path, size] : content.files) {
    ++digest.files;
    digest.bytes += size;
    for (const char c : path) add(static_cast<unsigned char>(c));
    add(0);
    for (int shift = 0; shift < 64; shift += 8) add(static_cast<unsigned char>(size >> shift));
  }
  digest.hash = hash;
  return digest;
}

PlacedState StateAt(const platform::FileOperations& files, const std::string& path) {
  const platform::ItemState look = files.StateOf(path);
  PlacedState state{look.kind, look.size, look.modified, std::nullopt};
  if (look.kind == platform::PathKind::Folder) {
    if (const std::optional<platform::TreeContent> content = files.ContentOf(path)) state.digest = DigestOf(*content);
  }
  return state;
}

std::string HeaderLine(TransferCommand::Kind kind) {
  return Line({std::string(kMagic), std::string(kVersion), kind == TransferCommand::Kind::Move ? "move" : "copy"});
}

std::string BeforeLine(std::size_t item, const std::string& source, platform::PathKind kind,
                       const std::string& target, bool target_taken) {
  return Line({"B", std::to_string(item), KindWord(kind), target_taken ? "1" : "0", Escaped(source), Escaped(target)});
}

std::string DoneLine(std::size_t item, const PlacedState& placed) {
  std::vector<std::string> fields{"D", std::to_string(item), KindWord(placed.kind), std::to_string(placed.size),
                                  std::to_string(placed.modified)};
  if (placed.digest) {
    fields.push_back(std::to_string(placed.digest->files));
    fields.push_back(std::to_string(placed.digest->bytes));
    fields.push_back(Hex(placed.digest->hash, 16));
  }
  return Line(fields);
}

std::string FailedLine(std::size_t item) { return Line({"F", std::to_string(item)}); }
std::string UndoneLine(std::size_t item) { return Line({"U", std::to_string(item)}); }

JournalRead ParseJournal(std::string_view bytes) {
  JournalRead read;
  JournalBatch batch;
  bool header = false;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) break;  // torn
    const std::optional<std::vector<std::string_view>> fields = CheckedFields(bytes.substr(start, end - start));
    if (!fields) break;
    if (!header) {
      const std::vector<std::string_view>& f = *fields;
      if (f.size() != 3 || f[0] != kMagic || f[1] != kVersion || (f[2] != "copy" && f[2] != "move")) break;
      batch.kind = f[2] == "move" ? TransferCommand::Kind::Move : TransferCommand::Kind::Copy;
      header = true;
    } else if (!Apply(*fields, batch)) {
      break;
    }
    start = end + 1;
    read.trusted_bytes = start;
  }
  if (header) read.batch = std::move(batch);
  return read;
}

std::unique_ptr<JournalRecorder> JournalRecorder::Start(const std::string& path, TransferCommand::Kind kind,
                                                        const platform::FileOperations& files) {
  // The last batch's journal must not outlive a newer batch: an undo would
  // take back the older one as if it were the last.
  if (!platform::WriteWholeFileReplacing(path, HeaderLine(kind))) {
    platform::RemoveStoredFile(path);
    return nullptr;
  }
  std::unique_ptr<platform::AppendFile> file = platform::OpenForAppending(path);
  if (!file) {
    platform::RemoveStoredFile(path);
    return nullptr;
  }
  return std::make_unique<JournalRecorder>(std::move(file), files);
}

void JournalRecorder::Placing(const std::string& source, platform::PathKind kind, const std::string& target,
                              bool target_taken) {
  target_ = target;
  Write(BeforeLine(items_, source, kind, target, target_taken));
}

void JournalRecorder::Placed(const platform::OperationResult& operation) {
  // A move across volumes that left changed files behind still placed the rest.
  const bool placed = operation.Done() || operation.outcome == platform::ItemOutcome::PartlyMoved;
  Write(placed ? DoneLine(items_, StateAt(files_, target_)) : FailedLine(items_));
  ++items_;
}

void JournalRecorder::Write(const std::string& line) {
  // After a line that did not arrive whole, a later one would follow a torn
  // line and never be read: nothing more is written.
  if (intact_) intact_ = file_->Append(line);
}

}  // namespace quellor::files
