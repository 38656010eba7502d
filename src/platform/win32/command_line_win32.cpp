#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

std::string AbsolutePath(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) return {};
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = GetFullPathNameW(wide->c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (size == 0) return {};
    if (size < buffer.size()) {
      std::string full = win32::Utf8Name(buffer.data(), size);
      // "C:\" keeps its separator; other folders lose a final one.
      if (full.size() > 3 && full.back() == '\\') full.pop_back();
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
