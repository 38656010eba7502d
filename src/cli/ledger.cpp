#include "cli/ledger.h"

#include "files/csv_text.h"
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

}  // namespace

std::string LedgerText(const files::NamesFile& file, const std::vector<NameOutcome>& outcomes) {
  std::string text(files::ByteOrderMark(platform::TextEncoding::Utf8));
  text += "name,line,hits,first hit,not searched because";
  text += files::kCsvRowEnd;
  for (std::size_t i = 0; i < file.names.size(); ++i) {
    const files::NameLine& name = file.names[i];
    const NameOutcome& outcome = outcomes[i];
    const std::string first_hit = outcome.hits > 0 ? files::Utf8OfName(outcome.first_hit) : std::string();
    text += files::CsvField(Utf8(name)) + ',' + std::to_string(name.line) + ',' + std::to_string(outcome.hits) + ',' +
            files::CsvField(first_hit) + ',' + files::CsvField(name.problem);
    text += files::kCsvRowEnd;
  }
  return text;
}

}  // namespace quellor::cli
