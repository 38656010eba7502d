#include <windows.h>
#include <ntsecapi.h>

#include "platform/message_pipe.h"
#include "platform/wait_deadline.h"
#include "platform/win32/current_user_security_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

// Each side's share of the pipe's buffer; a writer waits once it is full.
constexpr DWORD kBufferSize = 64 * 1024;
// The most one call reads or writes.
constexpr std::size_t kMostAtOnce = 1u << 20;
// How long Connect waits for the pipe's one place while another client holds it.
constexpr std::chrono::milliseconds kBusyWait{10000};

bool IsEnd(DWORD error) {
  return error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_NO_DATA;
}

// An event for one overlapped call, reset by hand as overlapped calls want.
class CallEvent {
 public:
  CallEvent() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~CallEvent() {
    if (event_ != nullptr) CloseHandle(event_);
  }
  CallEvent(const CallEvent&) = delete;
  CallEvent& operator=(const CallEvent&) = delete;
  HANDLE get() const { return event_; }

 private:
  HANDLE event_;
};

enum class Finish { Done, TimedOut, Stopped, Failed };

// Waits for the overlapped call `call` on `pipe` to finish; at the deadline
// or a stop it is cancelled. `bytes` is what it moved, `error` why it failed.
Finish AwaitCall(HANDLE pipe, OVERLAPPED& call, const WaitDeadline& deadline, const std::atomic<bool>* stop,
                 DWORD& bytes, DWORD& error) {
  Finish cut_short = Finish::Failed;
  for (;;) {
    if (StopAsked(stop)) {
      cut_short = Finish::Stopped;
      break;
    }
    const DWORD waited = WaitForSingleObject(call.hEvent, static_cast<DWORD>(deadline.NextSlice().count()));
    if (waited == WAIT_OBJECT_0) break;
    if (waited != WAIT_TIMEOUT) break;
    if (deadline.Passed()) {
      cut_short = Finish::TimedOut;
      break;
    }
  }
  if (WaitForSingleObject(call.hEvent, 0) != WAIT_OBJECT_0) CancelIoEx(pipe, &call);
  // The call may have finished before it could be cancelled: what it did counts.
  if (GetOverlappedResult(pipe, &call, &bytes, TRUE)) return Finish::Done;
  error = GetLastError();
  return error == ERROR_OPERATION_ABORTED && cut_short != Finish::Failed ? cut_short : Finish::Failed;
}

bool RandomBytes(std::array<unsigned char, 16>& bytes) {
  return RtlGenRandom(bytes.data(), static_cast<ULONG>(bytes.size())) != FALSE;
}

}  // namespace

struct MessagePipe::Native {
  explicit Native(HANDLE handle) : pipe(handle) {}
  ~Native() { CloseHandle(pipe); }
  HANDLE pipe;
};

const int MessagePipe::kRefused = ERROR_ACCESS_DENIED;

MessagePipe::MessagePipe(std::unique_ptr<Native> native) : native_(std::move(native)) {}

MessagePipe::~MessagePipe() = default;

std::unique_ptr<MessagePipe> MessagePipe::Create(std::string& name, int& error) {
  std::array<unsigned char, 16> random{};
  if (!RandomBytes(random)) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  name = "\\\\.\\pipe\\" + UnguessableName(GetCurrentProcessId(), random);
  // Left to its default, a pipe's list would let the system, administrators
  // and its creator do anything, and everyone (anonymous callers included)
  // open it to read. The elevated helper runs as the same user, so that user
  // alone is let in.
  win32::CurrentUserOnly security;
  if (!security.Make(FILE_GENERIC_READ | FILE_GENERIC_WRITE, error)) return nullptr;
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide) {
    error = ERROR_INVALID_NAME;
    return nullptr;
  }
  // One instance, made here and nowhere before: a pipe of that name made
  // first by another process fails the call instead of taking the helper.
  const HANDLE pipe =
      CreateNamedPipeW(wide->c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kBufferSize,
                       kBufferSize, 0, security.attributes());
  if (pipe == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  return std::unique_ptr<MessagePipe>(new MessagePipe(std::make_unique<Native>(pipe)));
}

std::unique_ptr<MessagePipe> MessagePipe::Connect(const std::string& name, std::uint32_t server_pid, int& error) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide) {
    error = ERROR_INVALID_NAME;
    return nullptr;
  }
  const WaitDeadline deadline(kBusyWait);
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (;;) {
    // Identification only: the window learns who the elevated helper is but
    // cannot act with its rights.
    pipe = CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    error = static_cast<int>(GetLastError());
    if (error != ERROR_PIPE_BUSY || deadline.Passed()) return nullptr;
    // Returns when the place is free, or after a slice; either way the open is tried again.
    WaitNamedPipeW(wide->c_str(), static_cast<DWORD>(WaitDeadline::kSlice.count()));
  }
  auto native = std::make_unique<Native>(pipe);
  ULONG server = 0;
  if (!GetNamedPipeServerProcessId(pipe, &server)) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  if (server != server_pid) {
    error = kRefused;
    return nullptr;
  }
  return std::unique_ptr<MessagePipe>(new MessagePipe(std::move(native)));
}

bool MessagePipe::AwaitClient(std::uint32_t client_pid, std::chrono::milliseconds timeout,
                              const std::atomic<bool>* stop) {
  const WaitDeadline deadline(timeout);
  const HANDLE pipe = native_->pipe;
  for (;;) {
    CallEvent event;
    if (event.get() == nullptr) return false;
    OVERLAPPED call{};
    call.hEvent = event.get();
    bool connected = ConnectNamedPipe(pipe, &call) != 0;
    if (!connected) {
      const DWORD error = GetLastError();
      if (error == ERROR_PIPE_CONNECTED) {
        connected = true;
      } else if (error == ERROR_IO_PENDING) {
        DWORD bytes = 0;
        DWORD failure = 0;
        const Finish finish = AwaitCall(pipe, call, deadline, stop, bytes, failure);
        if (finish != Finish::Done) return false;
        connected = true;
      } else if (error != ERROR_NO_DATA) {
        return false;
      }
      // ERROR_NO_DATA: a client came and went before the call; its place is freed below.
    }
    ULONG client = 0;
    if (connected && GetNamedPipeClientProcessId(pipe, &client) && client == client_pid) return true;
    // Any other client is put off; the place is free again for the one awaited.
    if (!DisconnectNamedPipe(pipe)) return false;
    if (StopAsked(stop) || deadline.Passed()) return false;
  }
}

bool MessagePipe::WriteAll(const void* data, std::size_t size) {
  const auto* next = static_cast<const char*>(data);
  while (size > 0) {
    CallEvent event;
    if (event.get() == nullptr) return false;
    OVERLAPPED call{};
    call.hEvent = event.get();
    const DWORD ask = static_cast<DWORD>(size < kMostAtOnce ? size : kMostAtOnce);
    if (!WriteFile(native_->pipe, next, ask, nullptr, &call) && GetLastError() != ERROR_IO_PENDING) return false;
    DWORD written = 0;
    if (!GetOverlappedResult(native_->pipe, &call, &written, TRUE) || written == 0) return false;
    next += written;
    size -= written;
  }
  return true;
}

std::size_t MessagePipe::ReadSome(void* buffer, std::size_t size, std::chrono::milliseconds timeout,
                                  const std::atomic<bool>* stop) {
  const WaitDeadline deadline(timeout);
  const DWORD ask = static_cast<DWORD>(size < kMostAtOnce ? size : kMostAtOnce);
  if (ask == 0) {
    nothing_read_ = NothingRead::Failed;
    return 0;
  }
  for (;;) {
    CallEvent event;
    if (event.get() == nullptr) {
      nothing_read_ = NothingRead::Failed;
      return 0;
    }
    OVERLAPPED call{};
    call.hEvent = event.get();
    DWORD bytes = 0;
    DWORD error = 0;
    Finish finish = Finish::Failed;
    if (ReadFile(native_->pipe, buffer, ask, nullptr, &call) || GetLastError() == ERROR_IO_PENDING) {
      finish = AwaitCall(native_->pipe, call, deadline, stop, bytes, error);
    } else {
      error = GetLastError();
    }
    if (finish == Finish::Done && bytes > 0) return bytes;
    // A write of nothing on the other side completes a read with nothing: read on.
    if (finish == Finish::Done) continue;
    nothing_read_ = finish == Finish::TimedOut  ? NothingRead::TimedOut
                    : finish == Finish::Stopped ? NothingRead::Stopped
                    : IsEnd(error)              ? NothingRead::End
                                                : NothingRead::Failed;
    return 0;
  }
}

bool MessagePipe::HasBytesWaiting() {
  DWORD available = 0;
  // A pipe that cannot be peeked at has lost its other side: a read gives the end at once.
  if (!PeekNamedPipe(native_->pipe, nullptr, 0, nullptr, &available, nullptr)) return true;
  return available > 0;
}

}  // namespace quellor::platform
