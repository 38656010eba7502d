// A stream of bytes between the window and its helper, two processes of this
// program. The window creates it under a name nobody can guess and gives the
// name to the helper it starts; each side accepts only the other process it
// expects at the far end, by its process id. Windows: a named pipe that only
// the current user may open. POSIX: a local socket only its owner may reach.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quellor::platform {

class MessagePipe {
 public:
  // Why a read gave no bytes.
  enum class NothingRead {
    End,       // the other side closed its end, or its process ended
    TimedOut,  // nothing came in time
    Stopped,   // the stop flag was raised
    Failed,    // the system failed the read
  };

  // The error code Connect gives for a pipe whose creator is not the process
  // expected (the system's access-denied code).
  static const int kRefused;

  // The window's side: a new pipe, its name in `name`, waiting for AwaitClient.
  // Null, with the system's error code, when it cannot be made.
  static std::unique_ptr<MessagePipe> Create(std::string& name, int& error);
  // The helper's side: the pipe `name`, when process `server_pid` created it.
  // It waits a while for a pipe whose one place another client holds. Null,
  // with the system's error code (kRefused for another creator), otherwise.
  static std::unique_ptr<MessagePipe> Connect(const std::string& name, std::uint32_t server_pid, int& error);
  ~MessagePipe();
  MessagePipe(const MessagePipe&) = delete;
  MessagePipe& operator=(const MessagePipe&) = delete;

  // Waits until process `client_pid` holds the other end; any other process
  // that connects is put off and the wait goes on. False when `timeout`
  // passes (milliseconds::max(): never), `stop` is raised or the system fails.
  bool AwaitClient(std::uint32_t client_pid, std::chrono::milliseconds timeout, const std::atomic<bool>* stop);

  // Writes every byte, waiting while the other side is slow to read; false
  // when it has gone or the system fails.
  bool WriteAll(const void* data, std::size_t size);
  // Reads what has come, at most `size` bytes, waiting for the first one at
  // most `timeout`. 0 when none came; WhyNothingRead tells why. Bytes that
  // came before the other side closed are all read before the end is.
  std::size_t ReadSome(void* buffer, std::size_t size, std::chrono::milliseconds timeout,
                       const std::atomic<bool>* stop);
  NothingRead WhyNothingRead() const { return nothing_read_; }
  // True when a read would not wait: bytes are there, or the end is.
  bool HasBytesWaiting();

 private:
  struct Native;  // the system's objects behind one side
  explicit MessagePipe(std::unique_ptr<Native> native);
  // The name of a pipe of process `pid`, told apart from any other by `random`.
  static std::string UnguessableName(std::uint32_t pid, const std::array<unsigned char, 16>& random);

  std::unique_ptr<Native> native_;
  NothingRead nothing_read_ = NothingRead::Failed;
};

}  // namespace quellor::platform
