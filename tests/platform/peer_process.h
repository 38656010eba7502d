// The processes the pipe and process tests talk to: this test program
// started again in a role, with the role's arguments after it.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/helper_process.h"

namespace quellor::platform::peer {

// Long enough for any peer under any load: a guard against a hang, never a
// time anything is expected to take.
constexpr std::chrono::milliseconds kPatience{60000};

// Exit codes of a role.
enum RoleExit { kAsExpected = 0, kNotAsExpected = 1, kCouldNotTell = 2 };

// What the role `arguments` must find among its own after its name.
const std::vector<std::string>& ArgumentsToPassThrough();

// The byte at `at` of what the window sends the role `answer`.
char PatternByte(std::size_t at);

// A peer process, ended (if it still runs) when let go.
struct EndPeer {
  void operator()(ChildProcess* process) const;
};
using Peer = std::unique_ptr<ChildProcess, EndPeer>;

// Starts the test program in `role` with `arguments`; null when it did not start.
Peer StartPeer(const std::string& role, const std::vector<std::string>& arguments = {});

// The peer's exit code once it has ended; -1 when it does not end.
int ExitCodeOf(ChildProcess& process);

}  // namespace quellor::platform::peer
