// System functions bound by library and function name at their first use.
// One that cannot be found shows the program's error box and ends the process
// with exit code -1. Kept on purpose: on a system that lacks one, the program
// still starts and says which function is missing instead of failing to load.
// Functions that only newer systems have are bound as optional instead: null
// where the system lacks them, and the caller falls back.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>

namespace quellor::platform::win32 {

// The address of `function` in `library`; never returns when there is none.
FARPROC BindExport(const char* library, const char* function);

// The address of `function` in `library`; null when there is none.
FARPROC FindExport(const char* library, const char* function);

template <typename Function>
Function AsFunction(FARPROC address) {
  Function typed = nullptr;
  static_assert(sizeof typed == sizeof address);
  std::memcpy(&typed, &address, sizeof typed);
  return typed;
}

template <typename Function>
Function Bound(const char* library, const char* function) {
  return AsFunction<Function>(BindExport(library, function));
}

// The program's error box: "运行时出错!", an empty line, then "错误信息：" and `detail`;
// shown with no owner, the caption "错误" and the error icon, modal to the task.
std::string RuntimeErrorText(std::string_view detail);
void ShowRuntimeErrorBox(const std::string& text);

// The text of the error box for a missing function.
std::string MissingExportText(const char* library, const char* function);

// Tests replace the error box (which would wait for a click) with this.
using MissingExportReporter = void (*)(const std::string& text);
void SetMissingExportReporter(MissingExportReporter reporter);

}  // namespace quellor::platform::win32

// Binds once, at the first call, and keeps the address: QUELLOR_BOUND(user32, OpenClipboard)
// names a function pointer of OpenClipboard's own type.
#define QUELLOR_BOUND(library, function) \
  ([] {                                  \
    static const auto bound =            \
        ::quellor::platform::win32::Bound<decltype(&::function)>(#library ".dll", #function); \
    return bound;                        \
  }())

// The same for a function that older systems lack, of the pointer type
// `Type` (the headers of the oldest system supported do not declare it):
// null there.
#define QUELLOR_BOUND_IF_PRESENT(library, function, Type)                                                        \
  ([] {                                                                                                          \
    static const auto bound = ::quellor::platform::win32::AsFunction<Type>(                                      \
        ::quellor::platform::win32::FindExport(#library ".dll", #function));                                     \
    return bound;                                                                                                \
  }())
