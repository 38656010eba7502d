#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "text/utf16.h"

namespace quellor::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = QUELLOR_BOUND(shell32, CommandLineToArgvW)(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (wide == nullptr) {
    // Out of memory: the runtime's narrow arguments, in UTF-8 like every name here.
    for (int i = 1; i < argc; ++i) arguments.push_back(win32::Utf8Name(win32::WideText(argv[i]).c_str()));
    return arguments;
  }
  for (int i = 1; i < count; ++i) arguments.push_back(win32::Utf8Name(wide[i]));
  LocalFree(wide);
  return arguments;
}

std::string ExecutablePath() {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring path(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) return win32::Utf8Name(path.data(), length);  // equal: cut short
  }
  return {};
}

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

namespace {
HANDLE HandleOf(std::FILE* stream) {
  const int descriptor = _fileno(stream);
  return descriptor < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}
}  // namespace

bool IsWideConsole(std::FILE* stream) {
  DWORD mode = 0;
  const HANDLE handle = HandleOf(stream);
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

bool WriteToConsole(std::FILE* stream, std::u16string_view text) {
  if (std::fflush(stream) != 0) return false;
  const HANDLE handle = HandleOf(stream);
  while (!text.empty()) {
    // Pieces of a size every console takes in one call, never cutting a surrogate pair.
    std::size_t size = std::min<std::size_t>(text.size(), 8192);
    if (size < text.size() && text::IsHighSurrogate(text[size - 1])) --size;
    DWORD written = 0;
    if (!WriteConsoleW(handle, text.data(), static_cast<DWORD>(size), &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

void SurviveClosedOutput() {}

}  // namespace quellor::platform
