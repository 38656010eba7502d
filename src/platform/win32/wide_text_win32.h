// Texts at the edge with the system's wide (W) calls. Names and paths are
// UTF-8 inside the program and go to the system as UTF-16 converted from it,
// never through the ANSI code page; the program's own texts (code page 936)
// are converted with the ANSI code page.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace quellor::platform::win32 {

// `utf8` as UTF-16; nullopt when it is not UTF-8, so no other name reaches the system.
std::optional<std::wstring> WideName(std::string_view utf8);

// A name or path the system gave, as UTF-8.
std::string Utf8Name(const wchar_t* text, std::size_t length);
std::string Utf8Name(const wchar_t* zero_terminated);

// The program's own text (ANSI code page) as UTF-16.
std::wstring WideText(std::string_view ansi);
// UTF-16 in the ANSI code page; nullopt when a character does not fit it.
std::optional<std::string> AnsiText(std::wstring_view wide);

}  // namespace quellor::platform::win32
