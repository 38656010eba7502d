// Plays a helper that goes wrong, or a third process, against the window's
// side of the helper pipe:
//   helper-impostor dies|garbage|intruder PIPE WINDOW_PID
// dies: says hello, tells some progress, and ends half way.
// garbage: says hello, then sends bytes no helper sends, and waits to be ended.
// intruder: opens the pipe as if it were the helper; exits 0 when the window
//   put it off without a byte, 10 when it could not open the pipe, 1 when
//   the window sent it anything.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ntfs/helper_frames.h"
#include "platform/command_line.h"
#include "platform/message_pipe.h"

using quellor::ntfs::Frame;
using quellor::ntfs::FrameKind;
using quellor::platform::MessagePipe;

namespace {

bool Send(MessagePipe& pipe, const Frame& frame) {
  const std::string bytes = quellor::ntfs::EncodeFrame(frame);
  return pipe.WriteAll(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = quellor::platform::CommandLineArguments(argc, argv);
  if (arguments.size() != 3) return 2;
  const std::string& mode = arguments[0];
  const auto window_pid = static_cast<std::uint32_t>(std::strtoul(arguments[2].c_str(), nullptr, 10));
  int error = 0;
  const std::unique_ptr<MessagePipe> pipe = MessagePipe::Connect(arguments[1], window_pid, error);
  if (!pipe) return mode == "intruder" ? 10 : 2;
  if (mode == "intruder") {
    char byte = 0;
    return pipe->ReadSome(&byte, 1, std::chrono::milliseconds(20000), nullptr) == 0 ? 0 : 1;
  }
  Send(*pipe, Frame{FrameKind::Hello, {}, quellor::ntfs::kHelperProtocolVersion});
  if (mode == "dies") {
    Send(*pipe, Frame{FrameKind::Progress, {}, 10});
    Send(*pipe, Frame{FrameKind::IndexBytes, "QLSS", 0});
    return 3;
  }
  std::string noise(4096, '\0');
  unsigned state = 12345;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  noise[0] = 99;  // no kind of frame
  pipe->WriteAll(noise.data(), noise.size());
  std::this_thread::sleep_for(std::chrono::seconds(60));
  return 0;
}
