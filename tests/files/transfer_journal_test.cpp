// The journal of a copy or move batch: what it says at each point of a
// batch (a process ended inside the file operation included), what a torn or
// damaged file still says, and paths kept byte for byte.
#include <gtest/gtest.h>

#include "files/transfer_journal.h"
#include "platform/file_io.h"
#include "platform/system_charset.h"
#include "support/forwarding_file_operations.h"
#include "support/temp_tree.h"

namespace quellor::testing {
namespace {

using files::JournalItem;
using Stage = files::JournalItem::Stage;

// Reads the journal back while the file operation is under way, as a
// process ended there would leave it.
class JournalPeek : public ForwardingFileOperations {
 public:
  JournalPeek(platform::FileOperations& inner, std::string journal)
      : ForwardingFileOperations(inner), journal_(std::move(journal)) {}
  platform::OperationResult Copy(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash, const std::set<platform::FileIdentity>* found) override {
    during.push_back(files::ParseJournal(platform::ReadWholeFile(journal_).value_or("")));
    return inner_.Copy(source, found_as, target, clash, found);
  }
  std::vector<files::JournalRead> during;

 private:
  std::string journal_;
};

TEST(TransferJournal, TellsWhatIsAboutToBePlacedBeforeAndWhatWasPlacedAfter) {
  TempTree t;
  t.Write("src/a.txt", "aaa");
  t.Write("src/album/b.jpg", "bb");
  t.Write("dst/a.txt", "there before");
  const std::unique_ptr<platform::FileOperations> system = platform::MakeSystemFileOperations();
  const std::string journal = t.Path("journal");
  JournalPeek peek(*system, journal);
  auto recorder = files::JournalRecorder::Start(journal, files::TransferCommand::Kind::Copy, peek);
  ASSERT_TRUE(recorder);
  files::TransferCommand command(peek, platform::NameCharset(), files::TransferCommand::Kind::Copy,
                                 t.Path("dst") + platform::kPathSeparator, [](const auto&) { return true; });
  command.RecordIn(recorder.get());
  ASSERT_TRUE(command.Transfer(t.Path("src/a.txt"), platform::PathKind::File, true).Done());
  ASSERT_TRUE(command.Transfer(t.Path("src/album"), platform::PathKind::Folder, false).Done());
  // Without rename-on-clash: over the file that was there.
  EXPECT_TRUE(command.Transfer(t.Path("src/a.txt"), platform::PathKind::File, false).Done());
  EXPECT_TRUE(recorder->Intact());

  // Inside the second copy: the first done, the second begun and no more.
  ASSERT_EQ(peek.during.size(), 3u);
  ASSERT_TRUE(peek.during[1].batch);
  const std::vector<JournalItem>& mid = peek.during[1].batch->items;
  ASSERT_EQ(mid.size(), 2u);
  EXPECT_EQ(mid[0].stage, Stage::Done);
  EXPECT_EQ(mid[1].stage, Stage::Begun);
  EXPECT_EQ(mid[1].target, t.Path("dst/album"));

  const files::JournalRead done = files::ParseJournal(*platform::ReadWholeFile(journal));
  ASSERT_TRUE(done.batch);
  const std::vector<JournalItem>& items = done.batch->items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].source, t.Path("src/a.txt"));
  EXPECT_EQ(items[0].target, t.Path("dst/a (2).txt")) << "the name chosen on the clash";
  EXPECT_FALSE(items[0].target_taken);
  EXPECT_EQ(items[0].placed, files::StateAt(*system, t.Path("dst/a (2).txt")));
  EXPECT_EQ(items[0].placed.size, 3u);
  EXPECT_EQ(items[1].placed.kind, platform::PathKind::Folder);
  ASSERT_TRUE(items[1].placed.digest);
  EXPECT_EQ(items[1].placed.digest->files, 1u);
  EXPECT_EQ(items[1].placed.digest->bytes, 2u);
  EXPECT_TRUE(items[2].target_taken);
  EXPECT_EQ(items[2].stage, Stage::Done);

  // A new batch replaces the last one (once that one's command has ended:
  // Windows replaces no file another handle holds open for writing).
  recorder.reset();
  ASSERT_TRUE(files::JournalRecorder::Start(journal, files::TransferCommand::Kind::Move, *system));
  const files::JournalRead fresh = files::ParseJournal(*platform::ReadWholeFile(journal));
  ASSERT_TRUE(fresh.batch);
  EXPECT_EQ(fresh.batch->kind, files::TransferCommand::Kind::Move);
  EXPECT_TRUE(fresh.batch->items.empty());
}

TEST(TransferJournal, ReadsOnlyWhatItCanTrust) {
  const std::string header = files::HeaderLine(files::TransferCommand::Kind::Move);
  const std::string before0 = files::BeforeLine(0, "/s/a", platform::PathKind::File, "/d/a", false);
  const std::string done0 = files::DoneLine(0, files::PlacedState{platform::PathKind::File, 3, 99, std::nullopt});
  const std::string before1 = files::BeforeLine(1, "/s/b", platform::PathKind::File, "/d/b", false);
  std::string bad_sum = files::FailedLine(1);
  bad_sum[bad_sum.size() - 2] = bad_sum[bad_sum.size() - 2] == '0' ? '1' : '0';
  const std::string undone0 = files::UndoneLine(0);
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t items;   // read
    Stage first;         // the first item's stage
    bool first_undone;
    std::size_t trusted; // bytes
  };
  const std::string sound = header + before0 + done0;
  const Case cases[] = {
      {"whole", sound + before1 + undone0, 2, Stage::Done, true, sound.size() + before1.size() + undone0.size()},
      {"torn last line", sound + undone0.substr(0, 5), 1, Stage::Done, false, sound.size()},
      {"a bad checksum last", sound + before1 + bad_sum, 2, Stage::Done, false, sound.size() + before1.size()},
      {"a bad line before the end", header + before0 + bad_sum + done0 + undone0, 1, Stage::Begun, false,
       header.size() + before0.size()},
      {"a done line for no item", header + done0 + before0, 0, Stage::Begun, false, header.size()},
      {"undone twice", sound + undone0 + undone0, 1, Stage::Done, true, sound.size() + undone0.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const files::JournalRead read = files::ParseJournal(c.bytes);
    ASSERT_TRUE(read.batch);
    ASSERT_EQ(read.batch->items.size(), c.items);
    if (c.items > 0) {
      EXPECT_EQ(read.batch->items[0].stage, c.first);
      EXPECT_EQ(read.batch->items[0].undone, c.first_undone);
    }
    EXPECT_EQ(read.trusted_bytes, c.trusted);
  }
  EXPECT_FALSE(files::ParseJournal(header.substr(0, header.size() - 1)).batch) << "a torn header is no batch";
  EXPECT_FALSE(files::ParseJournal(before0 + header).batch) << "the header comes first";
}

TEST(TransferJournal, KeepsEveryByteOfAPath) {
  const std::string source = std::string("/s/tab\there\\new\nline\r\\t") + "\xff\xfe\x80 gbk \xc4\xe3.txt";
  const std::string target = "\\\\?\\D:\\\xb0\xa1\t\\n";
  const files::JournalRead read = files::ParseJournal(files::HeaderLine(files::TransferCommand::Kind::Copy) +
                                                      files::BeforeLine(0, source, platform::PathKind::Link, target, true));
  ASSERT_TRUE(read.batch);
  ASSERT_EQ(read.batch->items.size(), 1u);
  EXPECT_EQ(read.batch->items[0].source, source);
  EXPECT_EQ(read.batch->items[0].target, target);
  EXPECT_EQ(read.batch->items[0].kind, platform::PathKind::Link);
  EXPECT_TRUE(read.batch->items[0].target_taken);
}

}  // namespace
}  // namespace quellor::testing
