#include "cli/searched_names.h"

#include "cli/stream_text.h"
#include "platform/file_io.h"

namespace quellor::cli {

namespace {

std::optional<std::string> ReadStandardInput() {
  std::string bytes;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes.append(buffer, got);
  if (std::ferror(stdin)) return std::nullopt;
  return bytes;
}

}  // namespace

NamesRead ReadSearchedNames(const std::string& path, std::FILE* err) {
  const std::optional<std::string> bytes = path == "-" ? ReadStandardInput() : platform::ReadWholeFile(path);
  if (!bytes) return {std::nullopt, "cannot read the names file " + path};
  SearchedNames names;
  names.file = files::ReadNamesFile(*bytes);
  if (names.file.names.empty()) return {std::nullopt, "no names to search for (the names file holds no non-blank line)"};
  for (const files::NameLine& name : names.file.names) {
    if (name.searched) {
      names.keyword_of_line.emplace_back(names.keywords.size());
      names.keywords.push_back(*name.searched);
    } else {
      names.keyword_of_line.emplace_back();
      WriteText(err, text::ShownText("quellor-find: line " + std::to_string(name.line) + " of the names file (")
                         .AddName(files::PrintableName(name))
                         .AddWords("): " + name.problem + "; it is not searched for\n"));
    }
  }
  return {std::move(names), {}};
}

}  // namespace quellor::cli
