// The pipe between the window and its helper, each side a process of its own.
#include <gtest/gtest.h>

#include <thread>

#include "peer_process.h"
#include "platform/message_pipe.h"
#include "platform/process_rights.h"

namespace quellor::platform {
namespace {

using peer::kPatience;
using NothingRead = MessagePipe::NothingRead;

struct CreatedPipe {
  std::string name;
  std::unique_ptr<MessagePipe> pipe;
  std::string server = std::to_string(CurrentProcessId());
};

CreatedPipe Create() {
  CreatedPipe created;
  int error = 0;
  created.pipe = MessagePipe::Create(created.name, error);
  EXPECT_NE(created.pipe, nullptr) << "error " << error;
  return created;
}

// Everything until the end; stops early at a read that gives no bytes for another reason.
std::string ReadToTheEnd(MessagePipe& pipe) {
  std::string text;
  char buffer[256];
  while (const std::size_t got = pipe.ReadSome(buffer, sizeof buffer, kPatience, nullptr)) text.append(buffer, got);
  return text;
}

// Waits for a client in the background, until the test raises its flag.
class BackgroundWait {
 public:
  BackgroundWait(MessagePipe& pipe, std::uint32_t client_pid)
      : thread_([this, &pipe, client_pid] {
          accepted_ = pipe.AwaitClient(client_pid, std::chrono::milliseconds::max(), &stop_);
        }) {}
  // Whether the awaited client came.
  bool StopAndJoin() {
    stop_ = true;
    thread_.join();
    return accepted_;
  }

 private:
  std::atomic<bool> stop_{false};
  bool accepted_ = false;
  std::thread thread_;
};

TEST(MessagePipe, TheAwaitedHelperGetsEveryByteAndItsAnswerComesBeforeItsEnd) {
  CreatedPipe created = Create();
  ASSERT_NE(created.pipe, nullptr);
  // More than the pipe holds at once: the writer waits for the reader.
  const std::size_t size = 300 * 1000;
  peer::Peer helper = peer::StartPeer("answer", {created.name, created.server, std::to_string(size)});
  ASSERT_NE(helper, nullptr);
  ASSERT_TRUE(created.pipe->AwaitClient(helper->Id(), kPatience, nullptr));

  std::string pattern(size, '\0');
  for (std::size_t i = 0; i < size; ++i) pattern[i] = peer::PatternByte(i);
  ASSERT_TRUE(created.pipe->WriteAll(pattern.data(), pattern.size()));
  EXPECT_EQ(peer::ExitCodeOf(*helper), peer::kAsExpected);
  EXPECT_TRUE(created.pipe->HasBytesWaiting());
  EXPECT_EQ(ReadToTheEnd(*created.pipe), "pong");
  EXPECT_EQ(created.pipe->WhyNothingRead(), NothingRead::End);
}

TEST(MessagePipe, AClientOfAnotherProcessIsPutOff) {
  CreatedPipe created = Create();
  ASSERT_NE(created.pipe, nullptr);
  peer::Peer outsider = peer::StartPeer("expect-end", {created.name, created.server});
  ASSERT_NE(outsider, nullptr);
  // Awaiting a client of this process, which never comes.
  BackgroundWait wait(*created.pipe, CurrentProcessId());
  EXPECT_EQ(peer::ExitCodeOf(*outsider), peer::kAsExpected);
  EXPECT_FALSE(wait.StopAndJoin());
}

TEST(MessagePipe, TheHelperGetsThroughWhileAnIntruderIsTurnedAway) {
  CreatedPipe created = Create();
  ASSERT_NE(created.pipe, nullptr);
  // Whichever comes first, the intruder never gets a byte: it is put off,
  // or finds the one place taken until the pipe is gone.
  peer::Peer intruder = peer::StartPeer("intruder", {created.name, created.server});
  peer::Peer helper = peer::StartPeer("answer", {created.name, created.server, "4"});
  ASSERT_NE(intruder, nullptr);
  ASSERT_NE(helper, nullptr);
  ASSERT_TRUE(created.pipe->AwaitClient(helper->Id(), kPatience, nullptr));
  ASSERT_TRUE(created.pipe->WriteAll("abcd", 4));
  EXPECT_EQ(ReadToTheEnd(*created.pipe), "pong");
  EXPECT_EQ(peer::ExitCodeOf(*helper), peer::kAsExpected);
  created.pipe.reset();
  EXPECT_EQ(peer::ExitCodeOf(*intruder), peer::kAsExpected);
}

TEST(MessagePipe, AHelperRefusesAPipeThatAnotherProcessMade) {
  CreatedPipe created = Create();
  ASSERT_NE(created.pipe, nullptr);
  peer::Peer helper = peer::StartPeer("expect-refusal", {created.name});
  ASSERT_NE(helper, nullptr);
  // Lets the helper in, so that what refuses is the helper's own check.
  BackgroundWait wait(*created.pipe, helper->Id());
  EXPECT_EQ(peer::ExitCodeOf(*helper), peer::kAsExpected);
  wait.StopAndJoin();
}

TEST(MessagePipe, TheOtherProcessEndingIsTheEnd) {
  CreatedPipe created = Create();
  ASSERT_NE(created.pipe, nullptr);
  peer::Peer holder = peer::StartPeer("hold", {created.name, created.server});
  ASSERT_NE(holder, nullptr);
  ASSERT_TRUE(created.pipe->AwaitClient(holder->Id(), kPatience, nullptr));
  char byte = 0;
  ASSERT_EQ(created.pipe->ReadSome(&byte, 1, kPatience, nullptr), 1u);
  ASSERT_TRUE(holder->Terminate());
  EXPECT_EQ(created.pipe->ReadSome(&byte, 1, kPatience, nullptr), 0u);
  EXPECT_EQ(created.pipe->WhyNothingRead(), NothingRead::End);
}

TEST(MessagePipe, AReadThatWaitsInVainSaysWhy) {
  CreatedPipe created = Create();
  ASSERT_NE(created.pipe, nullptr);
  peer::Peer holder = peer::StartPeer("hold", {created.name, created.server});
  ASSERT_NE(holder, nullptr);
  ASSERT_TRUE(created.pipe->AwaitClient(holder->Id(), kPatience, nullptr));
  char byte = 0;
  ASSERT_EQ(created.pipe->ReadSome(&byte, 1, kPatience, nullptr), 1u);
  EXPECT_FALSE(created.pipe->HasBytesWaiting());

  EXPECT_EQ(created.pipe->ReadSome(&byte, 1, std::chrono::milliseconds(0), nullptr), 0u);
  EXPECT_EQ(created.pipe->WhyNothingRead(), NothingRead::TimedOut);

  std::atomic<bool> stop{false};
  std::thread raise([&stop] { stop = true; });
  EXPECT_EQ(created.pipe->ReadSome(&byte, 1, std::chrono::milliseconds::max(), &stop), 0u);
  EXPECT_EQ(created.pipe->WhyNothingRead(), NothingRead::Stopped);
  raise.join();
}

}  // namespace
}  // namespace quellor::platform
