// What a command-line program needs from the system beyond the search itself.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quellor::platform {

// The program's arguments after its own name, in the name encoding: on
// Windows read from the wide command line, so a folder of any name can be
// given; on POSIX `argv` as it is.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The running program's own file, in the name encoding; empty when it cannot
// be had whole.
std::string ExecutablePath();

// `path` made absolute against the current folder, "." and ".." resolved by
// text, without a trailing separator (except a root's). Empty on failure.
std::string AbsolutePath(const std::string& path);

// True when standard error is a terminal (a console on Windows).
bool StandardErrorIsTerminal();

// True when `stream` (standard output or error) is a Windows console, which
// takes text as UTF-16 and shows every character exactly; never on POSIX.
bool IsWideConsole(std::FILE* stream);
// Writes `text` to that console after what `stream` holds; false on failure.
bool WriteToConsole(std::FILE* stream, std::u16string_view text);

// Standard input and output read and written byte for byte (no line-break
// translation).
void UseBinaryStandardStreams();

// A reader that closes the output early no longer ends the program (POSIX
// SIGPIPE): the write fails instead, and work after the output still runs.
// A closed standard stream is held by a placeholder that refuses writes.
void SurviveClosedOutput();

}  // namespace quellor::platform
