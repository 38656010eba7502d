// The folder of the running executable: where every stored file lives.
#pragma once

#include <string>
#include <string_view>

#include "text/charset.h"

namespace quellor::commands {

// The executable's path cut before its last separator (a drive root gives the
// drive letter and colon alone); the whole path when it has no separator.
std::string ProgramFolderFromExecutable(const text::Charset& cs, std::string_view executable_path, char separator);

}  // namespace quellor::commands
