#include "cli/ledger.h"

#include "files/text_file_encoding.h"
#include "platform/text_encoding.h"

namespace quellor::cli {

namespace {

using platform::TextEncoding;

std::string Utf8(const files::NameLine& name) {
  if (name.text) {
    if (std::optional<std::string> utf8 = platform::EncodeText(*name.text, TextEncoding::Utf8)) return *utf8;
  }
  return files::PrintableName(name);  // bytes that are no text here, written as <XX>
}

std::string Utf8Path(const std::string& path) {
  if (const std::optional<std::u16string> text = platform::DecodeText(path, platform::NameEncoding())) {
    if (std::optional<std::string> utf8 = platform::EncodeText(*text, TextEncoding::Utf8)) return *utf8;
  }
  files::NameLine raw;
  raw.original = path;
  return files::PrintableName(raw);
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string LedgerText(const files::NamesFile& file, const std::vector<NameOutcome>& outcomes) {
  std::string text(files::ByteOrderMark(platform::TextEncoding::Utf8));
  text += "name,line,hits,first hit,not searched because\r\n";
  for (std::size_t i = 0; i < file.names.size(); ++i) {
    const files::NameLine& name = file.names[i];
    const NameOutcome& outcome = outcomes[i];
    text += CsvField(Utf8(name)) + ',' + std::to_string(name.line) + ',' + std::to_string(outcome.hits) + ',' +
            CsvField(outcome.hits > 0 ? Utf8Path(outcome.first_hit) : std::string()) + ',' + CsvField(name.problem) +
            "\r\n";
  }
  return text;
}

}  // namespace quellor::cli
