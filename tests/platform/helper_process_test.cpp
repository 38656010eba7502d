// Starting this program again, and a helper's end with the process it watches.
#include <gtest/gtest.h>

#include "peer_process.h"
#include "platform/command_line.h"
#include "platform/helper_process.h"
#include "platform/message_pipe.h"
#include "platform/process_rights.h"

namespace quellor::platform {
namespace {

TEST(HelperProcess, ThisProgramFindsItsArgumentsExactlyAsGiven) {
  peer::Peer child = peer::StartPeer("arguments", peer::ArgumentsToPassThrough());
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(peer::ExitCodeOf(*child), peer::kAsExpected);
}

TEST(HelperProcess, AProgramThatIsNotThereDoesNotStart) {
  int error = 0;
  EXPECT_EQ(StartProgram(AbsolutePath("no-such-program.exe"), {}, error), nullptr);
  EXPECT_NE(error, 0);
}

TEST(HelperProcess, AHelperEndsWhenTheProcessItWatchesEnds) {
  peer::Peer window = peer::StartPeer("sleep");
  ASSERT_NE(window, nullptr);
  // The helper says when it watches, over a pipe of this process.
  std::string name;
  int error = 0;
  const std::unique_ptr<MessagePipe> pipe = MessagePipe::Create(name, error);
  ASSERT_NE(pipe, nullptr);
  peer::Peer helper =
      peer::StartPeer("watch", {std::to_string(window->Id()), name, std::to_string(CurrentProcessId())});
  ASSERT_NE(helper, nullptr);
  ASSERT_TRUE(pipe->AwaitClient(helper->Id(), peer::kPatience, nullptr));
  char said = 0;
  ASSERT_EQ(pipe->ReadSome(&said, 1, peer::kPatience, nullptr), 1u);

  ASSERT_TRUE(window->Terminate());
  EXPECT_EQ(peer::ExitCodeOf(*helper), kEndedWithWatchedProcess);
}

TEST(HelperProcess, AProcessThatHasGoneCannotBeWatched) {
  peer::Peer gone = peer::StartPeer("sleep");
  ASSERT_NE(gone, nullptr);
  const std::uint32_t id = gone->Id();
  ASSERT_TRUE(gone->Terminate());
  ASSERT_TRUE(gone->Wait(peer::kPatience));
  gone.reset();
  EXPECT_FALSE(EndWhenProcessEnds(id));
}

}  // namespace
}  // namespace quellor::platform
