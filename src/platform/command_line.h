// What a command-line program needs from the system beyond the search itself.
#pragma once

#include <string>

namespace quellor::platform {

// `path` made absolute against the current folder, "." and ".." resolved by
// text, without a trailing separator (except a root's). Empty on failure.
std::string AbsolutePath(const std::string& path);

// True when standard error is a terminal (a console on Windows).
bool StandardErrorIsTerminal();

// Standard input and output read and written byte for byte (no line-break
// translation).
void UseBinaryStandardStreams();

// A reader that closes the output early no longer ends the program (POSIX
// SIGPIPE): the write fails instead, and work after the output still runs.
// A closed standard stream is held by a placeholder that refuses writes.
void SurviveClosedOutput();

}  // namespace quellor::platform
