#include "commands/program_folder.h"

#include "text/path_scan.h"

namespace quellor::commands {

std::string ProgramFolderFromExecutable(const text::Charset& cs, std::string_view executable_path, char separator) {
  const std::size_t last = text::FindLastSeparator(cs, executable_path, separator);
  if (last == std::string_view::npos) return std::string(executable_path);
  return std::string(executable_path.substr(0, last));
}

}  // namespace quellor::commands
