// The test program's entry: the tests, or with "--as-peer ROLE ..." one of
// the roles the tests start it in.
//   answer NAME SERVER SIZE  connects, reads SIZE bytes of the pattern, answers "pong", ends
//   hold NAME SERVER         connects, says "!", reads until the end
//   expect-end NAME SERVER   connects and must be put off without a byte
//   intruder NAME SERVER     like expect-end, or turned away at the door
//   expect-refusal NAME      connects expecting another creator: must be refused
//   sleep                    waits to be ended
//   watch PID NAME SERVER    watches process PID, then connects and says "!"; ends with PID
//   arguments ARGS...        must find ArgumentsToPassThrough() as ARGS
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <thread>

#include "platform/command_line.h"
#include "platform/message_pipe.h"
#include "platform/process_rights.h"
#include "peer_process.h"
#include "support/foreign_names.h"

namespace quellor::platform::peer {

namespace {

constexpr char kPeerFlag[] = "--as-peer";
constexpr auto kForever = std::chrono::milliseconds::max();

std::unique_ptr<MessagePipe> ConnectTo(const std::vector<std::string>& arguments, int& error) {
  if (arguments.size() < 2) return nullptr;
  return MessagePipe::Connect(arguments[0], static_cast<std::uint32_t>(std::stoul(arguments[1])), error);
}

// kAsExpected when the pipe ends before any byte comes.
int EndWithoutBytes(MessagePipe& pipe) {
  char byte = 0;
  if (pipe.ReadSome(&byte, 1, kForever, nullptr) != 0) return kNotAsExpected;
  return pipe.WhyNothingRead() == MessagePipe::NothingRead::End ? kAsExpected : kCouldNotTell;
}

int Answer(const std::vector<std::string>& arguments) {
  int error = 0;
  const std::unique_ptr<MessagePipe> pipe = ConnectTo(arguments, error);
  if (!pipe || arguments.size() != 3) return kCouldNotTell;
  const std::size_t expected = std::stoul(arguments[2]);
  std::vector<char> buffer(4096);
  for (std::size_t got = 0; got < expected;) {
    const std::size_t read = pipe->ReadSome(buffer.data(), buffer.size(), kForever, nullptr);
    if (read == 0 || got + read > expected) return kNotAsExpected;
    for (std::size_t i = 0; i < read; ++i) {
      if (buffer[i] != PatternByte(got + i)) return kNotAsExpected;
    }
    got += read;
  }
  return pipe->WriteAll("pong", 4) ? kAsExpected : kCouldNotTell;
}

int Hold(const std::vector<std::string>& arguments) {
  int error = 0;
  const std::unique_ptr<MessagePipe> pipe = ConnectTo(arguments, error);
  if (!pipe || !pipe->WriteAll("!", 1)) return kCouldNotTell;
  char buffer[64];
  while (pipe->ReadSome(buffer, sizeof buffer, kForever, nullptr) != 0) {
  }
  return kAsExpected;
}

int Intrude(const std::vector<std::string>& arguments, bool may_be_turned_away) {
  int error = 0;
  const std::unique_ptr<MessagePipe> pipe = ConnectTo(arguments, error);
  if (!pipe) return may_be_turned_away ? kAsExpected : kCouldNotTell;
  return EndWithoutBytes(*pipe);
}

int ExpectRefusal(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) return kCouldNotTell;
  int error = 0;
  // This process never made the pipe.
  if (MessagePipe::Connect(arguments[0], CurrentProcessId(), error)) return kNotAsExpected;
  return error == MessagePipe::kRefused ? kAsExpected : kCouldNotTell;
}

int Watch(const std::vector<std::string>& arguments) {
  if (arguments.size() != 3 || !EndWhenProcessEnds(static_cast<std::uint32_t>(std::stoul(arguments[0])))) {
    return kCouldNotTell;
  }
  int error = 0;
  const std::unique_ptr<MessagePipe> pipe = ConnectTo({arguments.begin() + 1, arguments.end()}, error);
  if (!pipe || !pipe->WriteAll("!", 1)) return kCouldNotTell;
  // The watch ends the process.
  std::this_thread::sleep_for(kPatience * 2);
  return kNotAsExpected;
}

int CheckArguments(const std::vector<std::string>& arguments, int argc, char** argv) {
  if (arguments != ArgumentsToPassThrough()) return kNotAsExpected;
  // The C runtime cuts the same command line into the same arguments, and
  // agrees on those its code page can hold. Before them: the program, the
  // flag and the role.
  const std::size_t skipped = 3;
  if (static_cast<std::size_t>(argc) != skipped + arguments.size()) return kNotAsExpected;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const bool ascii = std::all_of(arguments[i].begin(), arguments[i].end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii && arguments[i] != argv[skipped + i]) return kNotAsExpected;
  }
  return kAsExpected;
}

int RunRole(const std::vector<std::string>& role_and_arguments, int argc, char** argv) {
  const std::string& role = role_and_arguments.at(0);
  const std::vector<std::string> arguments(role_and_arguments.begin() + 1, role_and_arguments.end());
  if (role == "answer") return Answer(arguments);
  if (role == "hold") return Hold(arguments);
  if (role == "expect-end") return Intrude(arguments, false);
  if (role == "intruder") return Intrude(arguments, true);
  if (role == "expect-refusal") return ExpectRefusal(arguments);
  if (role == "watch") return Watch(arguments);
  if (role == "arguments") return CheckArguments(arguments, argc, argv);
  if (role == "sleep") {
    std::this_thread::sleep_for(kPatience * 2);
    return kAsExpected;
  }
  return kCouldNotTell;
}

}  // namespace

const std::vector<std::string>& ArgumentsToPassThrough() {
  static const std::vector<std::string> kArguments = {
      "plain", "", "two words", "tab\there", "say \"hi\"", "\"", "\\", "\\\\server\\share\\",
      "C:\\Program Files\\", "back\\\\\"slash\\", "\\\"", "line\nbreak",
      testing::Utf8(u8"\u540D\u5B57 \u5E26\u7A7A\u683C"), testing::Utf8(u8"\uD55C\uAD6D \U0001F600")};
  return kArguments;
}

char PatternByte(std::size_t at) { return static_cast<char>('a' + at % 23); }

void EndPeer::operator()(ChildProcess* process) const {
  process->Terminate();
  process->Wait(kPatience);
  delete process;
}

Peer StartPeer(const std::string& role, const std::vector<std::string>& arguments) {
  std::vector<std::string> all = {kPeerFlag, role};
  all.insert(all.end(), arguments.begin(), arguments.end());
  int error = 0;
  return Peer(StartThisProgram(all, false, error).release());
}

int ExitCodeOf(ChildProcess& process) {
  if (!process.Wait(kPatience)) return -1;
  return process.ExitCode().value_or(-1);
}

}  // namespace quellor::platform::peer

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = quellor::platform::CommandLineArguments(argc, argv);
  if (arguments.size() >= 2 && arguments[0] == quellor::platform::peer::kPeerFlag) {
    return quellor::platform::peer::RunRole({arguments.begin() + 1, arguments.end()}, argc, argv);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
