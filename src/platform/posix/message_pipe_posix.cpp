#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/message_pipe.h"
#include "platform/wait_deadline.h"

namespace quellor::platform {

namespace {

// The folder for the socket: the user's own runtime folder where there is
// one, the temporary folder otherwise.
std::string SocketFolder() {
  for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* folder = std::getenv(variable);
    if (folder != nullptr && folder[0] == '/') return folder;
  }
  return "/tmp";
}

bool RandomBytes(std::array<unsigned char, 16>& bytes) {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    filled += static_cast<std::size_t>(got);
  }
  return true;
}

// The socket's address for `path`; false when the path does not fit one.
bool AddressOf(const std::string& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// The process at the other end of `socket`: the one that connected, or the
// one that made the listening socket; 0 when the system does not say.
std::uint32_t PeerProcess(int socket) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.pid <= 0) return 0;
  return static_cast<std::uint32_t>(peer.pid);
}

// Waits until `socket` can be read (or, for a listening one, accepted on).
enum class Readiness { Ready, TimedOut, Stopped, Failed };
Readiness AwaitReadable(int socket, const WaitDeadline& deadline, const std::atomic<bool>* stop) {
  for (;;) {
    if (StopAsked(stop)) return Readiness::Stopped;
    pollfd watched{socket, POLLIN, 0};
    const int ready = ::poll(&watched, 1, static_cast<int>(deadline.NextSlice().count()));
    if (ready > 0) return Readiness::Ready;
    if (ready < 0 && errno != EINTR) return Readiness::Failed;
    if (deadline.Passed()) return Readiness::TimedOut;
  }
}

}  // namespace

struct MessagePipe::Native {
  ~Native() {
    if (connection >= 0) ::close(connection);
    CloseListener();
  }
  // Nobody else can connect once the awaited client has.
  void CloseListener() {
    if (listener < 0) return;
    ::close(listener);
    ::unlink(path.c_str());
    listener = -1;
  }
  int connection = -1;
  int listener = -1;
  std::string path;
  std::uint32_t peer = 0;
};

const int MessagePipe::kRefused = EACCES;

MessagePipe::MessagePipe(std::unique_ptr<Native> native) : native_(std::move(native)) {}

MessagePipe::~MessagePipe() = default;

std::unique_ptr<MessagePipe> MessagePipe::Create(std::string& name, int& error) {
  std::array<unsigned char, 16> random{};
  if (!RandomBytes(random)) {
    error = errno;
    return nullptr;
  }
  name = SocketFolder() + "/" + UnguessableName(static_cast<std::uint32_t>(::getpid()), random);
  sockaddr_un address{};
  if (!AddressOf(name, address)) {
    error = ENAMETOOLONG;
    return nullptr;
  }
  auto native = std::make_unique<Native>();
  native->listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (native->listener < 0) {
    error = errno;
    return nullptr;
  }
  if (::bind(native->listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    error = errno;
    ::close(native->listener);
    native->listener = -1;  // the name is not ours to remove
    return nullptr;
  }
  native->path = name;
  // Owner only before anyone can connect, which listen opens.
  if (::chmod(name.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(native->listener, 4) != 0) {
    error = errno;
    return nullptr;
  }
  return std::unique_ptr<MessagePipe>(new MessagePipe(std::move(native)));
}

std::unique_ptr<MessagePipe> MessagePipe::Connect(const std::string& name, std::uint32_t server_pid, int& error) {
  sockaddr_un address{};
  if (!AddressOf(name, address)) {
    error = ENAMETOOLONG;
    return nullptr;
  }
  auto native = std::make_unique<Native>();
  native->connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (native->connection < 0) {
    error = errno;
    return nullptr;
  }
  int connected = 0;
  do {
    connected = ::connect(native->connection, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (connected != 0 && errno == EINTR);
  if (connected != 0) {
    error = errno;
    return nullptr;
  }
  native->peer = PeerProcess(native->connection);
  if (native->peer != server_pid) {
    error = kRefused;
    return nullptr;
  }
  return std::unique_ptr<MessagePipe>(new MessagePipe(std::move(native)));
}

bool MessagePipe::AwaitClient(std::uint32_t client_pid, std::chrono::milliseconds timeout,
                              const std::atomic<bool>* stop) {
  if (native_->connection >= 0) return native_->peer == client_pid;
  if (native_->listener < 0) return false;
  const WaitDeadline deadline(timeout);
  for (;;) {
    if (AwaitReadable(native_->listener, deadline, stop) != Readiness::Ready) return false;
    const int client = ::accept4(native_->listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
      // Gone again before it was taken, or a signal: wait on.
      if (errno == EINTR || errno == ECONNABORTED || errno == EAGAIN) continue;
      return false;
    }
    const std::uint32_t peer = PeerProcess(client);
    if (peer == client_pid) {
      native_->connection = client;
      native_->peer = peer;
      native_->CloseListener();
      return true;
    }
    ::close(client);  // any other client is put off
  }
}

bool MessagePipe::WriteAll(const void* data, std::size_t size) {
  const auto* next = static_cast<const char*>(data);
  while (size > 0) {
    // A reader that has gone fails the write instead of ending this process.
    const ssize_t sent = ::send(native_->connection, next, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    next += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

std::size_t MessagePipe::ReadSome(void* buffer, std::size_t size, std::chrono::milliseconds timeout,
                                  const std::atomic<bool>* stop) {
  const WaitDeadline deadline(timeout);
  if (size == 0 || native_->connection < 0) {
    nothing_read_ = NothingRead::Failed;
    return 0;
  }
  for (;;) {
    switch (AwaitReadable(native_->connection, deadline, stop)) {
      case Readiness::Ready:
        break;
      case Readiness::TimedOut:
        nothing_read_ = NothingRead::TimedOut;
        return 0;
      case Readiness::Stopped:
        nothing_read_ = NothingRead::Stopped;
        return 0;
      case Readiness::Failed:
        nothing_read_ = NothingRead::Failed;
        return 0;
    }
    const ssize_t got = ::recv(native_->connection, buffer, size, 0);
    if (got > 0) return static_cast<std::size_t>(got);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    nothing_read_ = got == 0 || errno == ECONNRESET ? NothingRead::End : NothingRead::Failed;
    return 0;
  }
}

bool MessagePipe::HasBytesWaiting() {
  pollfd watched{native_->connection, POLLIN, 0};
  return ::poll(&watched, 1, 0) != 0;
}

}  // namespace quellor::platform
