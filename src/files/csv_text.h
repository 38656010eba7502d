// CSV as spreadsheets open it with Chinese intact, for every table the
// program writes: UTF-8 with a byte-order mark, CR LF after each row, a field
// quoted (its quotes doubled) where it holds a comma, a quote, CR or LF.
#pragma once

#include <string>
#include <string_view>

namespace quellor::files {

inline constexpr std::string_view kCsvRowEnd = "\r\n";

// One CSV field: quoted, its quotes doubled, when it holds a comma, a quote,
// CR or LF.
std::string CsvField(std::string_view text);
void AppendCsvField(std::string& out, std::string_view text);

// A name or path in the platform's name encoding as UTF-8. A byte that is no
// text there (a Linux name that is not valid UTF-8, a lone surrogate of an
// NTFS name) is written as <XX>, its value in hex, and the characters around
// it as they are: the row still names its item, visibly not as plain text,
// rather than being dropped or shown as some other name.
std::string Utf8OfName(std::string_view name);
void AppendUtf8OfName(std::string& out, std::string_view name);

}  // namespace quellor::files
