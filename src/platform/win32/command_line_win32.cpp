#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/command_line.h"
#include "platform/system_charset.h"
#include "text/path_scan.h"

namespace quellor::platform {

std::string AbsolutePath(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (size == 0) return {};
    if (size < buffer.size()) {
      std::string full(buffer.data(), size);
      // "C:\" keeps its separator; other folders lose a final one.
      if (full.size() > 3 && text::EndsWithSeparator(SystemCharset(), full, '\\')) full.pop_back();
      return full;
    }
    buffer.resize(size + 1);
  }
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

void SurviveClosedOutput() {}

}  // namespace quellor::platform
