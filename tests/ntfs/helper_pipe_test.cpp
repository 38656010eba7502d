// The window's side of the helper against real processes over a real pipe:
// the helper itself (Quellor.exe on Windows) reading an image file, a helper
// that dies half way, one that sends garbage, and a third process that opens
// the pipe before the helper does.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ntfs/byte_source.h"
#include "ntfs/helper_client.h"
#include "ntfs/helper_server.h"
#include "platform/helper_process.h"
#include "platform/read_only_file.h"
#include "support/ntfs_image.h"
#include "support/temp_tree.h"

namespace quellor::ntfs {
namespace {

namespace img = testing::ntfs_image;

// The build's programs, named by their path on the build machine: under
// Wine, its drive Z: is that machine's root.
std::string ProgramPath(std::string path) {
#ifdef _WIN32
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "Z:" + path;
#else
  return path;
#endif
}

// Every name of the index, folder by folder from the root, with what it is.
std::vector<std::string> Listing(const VolumeIndex& index) {
  std::vector<std::string> lines;
  std::vector<std::pair<std::uint32_t, std::string>> folders{{VolumeIndex::kRootRecord, ""}};
  while (!folders.empty()) {
    const auto [record, path] = folders.back();
    folders.pop_back();
    for (std::uint32_t i = index.ChildrenBegin(record); i < index.ChildrenEnd(record); ++i) {
      const VolumeIndex::Child child = index.ChildAt(i);
      const std::string at = path + "/" + std::string(child.name);
      lines.push_back(at + "|" + std::string(child.alias) + (child.folder ? "|folder" : "") + (child.link ? "|link" : ""));
      if (child.folder && !child.link) folders.emplace_back(child.record, at);
    }
  }
  return lines;
}

std::vector<img::Record> Tree() {
  std::vector<img::Record> records;
  const auto add = [&](std::uint64_t number, std::u16string name, std::uint64_t parent, bool folder) {
    img::Record r;
    r.number = number;
    r.folder = folder;
    r.names.push_back({parent, static_cast<std::uint16_t>(parent == 5 ? 5 : 1), std::move(name), img::kWin32});
    records.push_back(r);
    return &records.back();
  };
  add(16, u"照片", 5, true);
  add(17, u"IMG_0001.jpg", 16, false);
  add(18, u"报告 2024.docx", 5, false)->names.push_back({5, 5, u"2024~1.DOC", img::kDos});
  add(19, u"链接", 16, true)->reparse_tag = 0xA000000C;
  for (std::uint64_t i = 0; i < 300; ++i) add(20 + i, u"file" + std::u16string(1, u'a' + i % 26) + u".txt", 16, false);
  return records;
}

class HelperPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    image = tree.Root() + (tree.Root().find('\\') != std::string::npos ? "\\" : "/") + "volume.img";
    ASSERT_TRUE(img::WriteImage(image, img::Shape{}, Tree()));
    int error = 0;
    FileByteSource source(platform::ReadOnlyFile::Open(image, error));
    VolumeError why = VolumeError::None;
    const std::unique_ptr<VolumeIndex> here = ReadVolumeIndex(source, why);
    ASSERT_TRUE(here);
    expected = Listing(*here);
  }

  // Starts the helper as the window would, but not elevated, allowed to read the image.
  HelperClient::Launcher RealHelper() {
    return [this](std::vector<std::string> arguments, int& error, bool&) {
      ++launches;
      arguments.insert(arguments.end(), {"--image", image});
      return platform::StartProgram(ProgramPath(QUELLOR_HELPER_PROGRAM), arguments, error);
    };
  }
  HelperClient::Launcher Impostor(std::string mode) {
    return [this, mode](const std::vector<std::string>& arguments, int& error, bool&) {
      ++launches;
      auto started = platform::StartProgram(ProgramPath(QUELLOR_HELPER_IMPOSTOR), {mode, arguments[1], arguments[2]}, error);
      impostor_pid = started ? started->Id() : 0;
      return started;
    };
  }

  std::function<void(int)> Progress() {
    return [this](int percent) { percents.push_back(percent); };
  }

  testing::TempTree tree;
  std::string image;
  std::vector<std::string> expected;
  std::vector<int> percents;
  int launches = 0;
  std::uint32_t impostor_pid = 0;
  std::atomic<bool> never{false};
};

TEST_F(HelperPipe, TheHelperSendsTheSameNamesAsAReadHereAndStaysForTheNextRead) {
  HelperClient client(RealHelper());
  for (int read = 0; read < 2; ++read) {
    HelperClient::Result result = client.Read(image, Progress(), never);
    ASSERT_EQ(result.outcome, HelperClient::Outcome::Read) << "read " << read;
    ASSERT_TRUE(result.index);
    EXPECT_EQ(Listing(*result.index), expected);
  }
  EXPECT_EQ(launches, 1);
  ASSERT_FALSE(percents.empty());
  EXPECT_EQ(percents.back(), 100);

  // A file its command line does not name is not read, and the helper goes on.
  const HelperClient::Result other = client.Read(tree.Root(), Progress(), never);
  EXPECT_EQ(other.outcome, HelperClient::Outcome::VolumeFailed);
  EXPECT_EQ(client.Read(image, Progress(), never).outcome, HelperClient::Outcome::Read);
}

TEST_F(HelperPipe, AHelperThatDiesOrSendsGarbageIsGivenUpForTheSession) {
  for (const char* mode : {"dies", "garbage"}) {
    launches = 0;
    HelperClient client(Impostor(mode));
    const HelperClient::Result result = client.Read(image, Progress(), never);
    EXPECT_EQ(result.outcome, HelperClient::Outcome::HelperFailed) << mode;
    EXPECT_FALSE(result.index) << mode;
    EXPECT_TRUE(client.GaveUp()) << mode;
    // Nothing more is asked of it, and it is not started again.
    EXPECT_EQ(client.Read(image, Progress(), never).outcome, HelperClient::Outcome::HelperFailed) << mode;
    EXPECT_EQ(launches, 1) << mode;
  }
}

TEST_F(HelperPipe, AThirdProcessThatOpensThePipeFirstGetsNothingAndTheHelperStillGetsThrough) {
  std::unique_ptr<platform::ChildProcess> intruder;
  HelperClient client([&](std::vector<std::string> arguments, int& error, bool& declined) {
    intruder = platform::StartProgram(ProgramPath(QUELLOR_HELPER_IMPOSTOR), {"intruder", arguments[1], arguments[2]}, error);
    // Time for it to open the pipe before the helper starts.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return RealHelper()(std::move(arguments), error, declined);
  });
  const HelperClient::Result result = client.Read(image, Progress(), never);
  ASSERT_EQ(result.outcome, HelperClient::Outcome::Read);
  EXPECT_EQ(Listing(*result.index), expected);
  ASSERT_TRUE(intruder);
  ASSERT_TRUE(intruder->Wait(std::chrono::milliseconds(20000)));
  EXPECT_EQ(intruder->ExitCode(), 0) << "0: put off without a byte; 10: could not open the pipe; 1: was sent bytes";
}

TEST(HelperArguments, OnlyAWellFormedCommandLineStartsAHelper) {
  const struct {
    std::vector<std::string> arguments;
    bool valid;
  } cases[] = {
      {{"--volume-helper", "pipe", "42"}, true},
      {{"--volume-helper", "pipe", "42", "--image", "a.img", "--image", "b.img"}, true},
      {{"--volume-helper", "pipe"}, false},
      {{"--volume-helper", "", "42"}, false},
      {{"--volume-helper", "pipe", "0"}, false},
      {{"--volume-helper", "pipe", "42x"}, false},
      {{"--volume-helper", "pipe", "99999999999"}, false},
      {{"--volume-helper", "pipe", "42", "--image"}, false},
      {{"--volume-helper", "pipe", "42", "--other", "x"}, false},
      {{"pipe", "42"}, false},
  };
  for (const auto& c : cases) {
    const std::optional<HelperArguments> parsed = ParseHelperArguments(c.arguments);
    EXPECT_EQ(parsed.has_value(), c.valid) << c.arguments.size() << " " << c.arguments.back();
    if (parsed) {
      EXPECT_EQ(HelperCommandLine(*parsed), c.arguments);
    }
  }
  EXPECT_TRUE(IsDriveVolume("C:"));
  for (const char* not_drive : {"C:\\", "CC:", "1:", "C", "\\\\.\\C:"}) EXPECT_FALSE(IsDriveVolume(not_drive)) << not_drive;
}

}  // namespace
}  // namespace quellor::ntfs
