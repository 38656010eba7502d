// The file operations' rules, on real temporary trees: each rule once, with
// the files that must survive read back byte for byte. Where the file system
// has to change under an operation, it is wrapped (support/changing_file_system.h).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/file_operations.h"
#include "support/changing_file_system.h"
#include "support/standard_trees.h"
#include "support/temp_tree.h"

namespace quellor::platform {
namespace {

using testing::TempTree;
using testing::trees::Clash;
using testing::trees::LookAlikes;
using testing::trees::Outside;

struct Case {
  const char* what;
  // Builds the tree; false when the platform cannot (no links here).
  std::function<bool(TempTree&)> build;
  std::function<OperationResult(FileOperations&, TempTree&)> act;
  ItemOutcome outcome;
  // Files that must hold these bytes afterwards, and paths that must be gone.
  std::vector<std::pair<const char*, const char*>> holds;
  std::vector<const char*> gone = {};
};

OperationResult Copy(FileOperations& files, TempTree& t, const char* from, const char* to,
                     OnClash clash = OnClash::Overwrite, PathKind found_as = PathKind::Unknown) {
  return files.Copy(t.Path(from), found_as, t.Path(to), clash, nullptr);
}
OperationResult Move(FileOperations& files, TempTree& t, const char* from, const char* to,
                     OnClash clash = OnClash::Overwrite, PathKind found_as = PathKind::Unknown) {
  return files.Move(t.Path(from), found_as, t.Path(to), clash, nullptr);
}

void RunCases(const std::vector<Case>& cases, const std::function<FileSystem&(FileSystem&)>& wrap = {}) {
  const std::unique_ptr<FileSystem> system = MakeSystemFileSystem();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempTree t;
    if (!c.build(t)) {
      std::printf("[ skipped  ] %s: no links can be made here\n", c.what);
      continue;
    }
    FileSystem& used = wrap ? wrap(*system) : *system;
    const std::unique_ptr<FileOperations> files = MakeFileOperations(used);
    EXPECT_EQ(c.act(*files, t).outcome, c.outcome);
    for (const auto& [path, bytes] : c.holds) EXPECT_EQ(t.Read(path), std::optional<std::string>(bytes)) << path;
    for (const char* path : c.gone) EXPECT_FALSE(t.Exists(path)) << path;
  }
}

TEST(FileOperations, PlainCopiesMovesAndRemovals) {
  RunCases({
      {"a file over an older one", Clash, [](auto& f, auto& t) { return Copy(f, t, "src/a.txt", "out/a.txt"); },
       ItemOutcome::Done, {{"out/a.txt", "new"}, {"src/a.txt", "new"}}},
      {"refused where the name is taken", Clash,
       [](auto& f, auto& t) { return Copy(f, t, "src/a.txt", "out/a.txt", OnClash::Refuse); },
       ItemOutcome::TargetTaken, {{"out/a.txt", "old"}}},
      {"a folder merged into one of its name", Clash,
       [](auto& f, auto& t) { return Copy(f, t, "src/tree", "out/tree"); }, ItemOutcome::Done,
       {{"out/tree/sub/deep.txt", "deep"}, {"out/tree/other.txt", "other"}}},
      {"a file moved over an older one", Clash, [](auto& f, auto& t) { return Move(f, t, "src/a.txt", "out/a.txt"); },
       ItemOutcome::Done, {{"out/a.txt", "new"}}, {"src/a.txt"}},
      {"a folder moved into one of its name", Clash,
       [](auto& f, auto& t) { return Move(f, t, "src/tree", "out/tree"); }, ItemOutcome::Done,
       {{"out/tree/sub/deep.txt", "deep"}, {"out/tree/other.txt", "other"}}, {"src/tree"}},
      {"a folder moved under a new name", Clash,
       [](auto& f, auto& t) { return Move(f, t, "src/tree", "out/tree (2)", OnClash::Refuse); }, ItemOutcome::Done,
       {{"out/tree (2)/sub/deep.txt", "deep"}}, {"src/tree", "out/tree (2)/other.txt"}},
      {"a tree removed", Clash, [](auto& f, auto& t) { return f.Remove(t.Path("src/tree"), PathKind::Folder); },
       ItemOutcome::Done, {{"src/a.txt", "new"}}, {"src/tree"}},
      {"a file onto itself", Clash, [](auto& f, auto& t) { return Copy(f, t, "out/a.txt", "out/a.txt"); },
       ItemOutcome::TargetIsItem, {{"out/a.txt", "old"}}},
      {"a folder into its own tree", Clash,
       [](auto& f, auto& t) { return Copy(f, t, "src/tree", "src/tree/sub/tree"); }, ItemOutcome::IntoItself,
       {{"src/tree/sub/deep.txt", "deep"}}, {"src/tree/sub/tree"}},
      {"a source gone since it was found", Clash,
       [](auto& f, auto& t) { return Copy(f, t, "src/none.txt", "out/none.txt"); }, ItemOutcome::SourceMissing, {}},
  });
}

TEST(FileOperations, TheExactNameReachesTheSystem) {
  RunCases({
      {"a name ending in a dot, copied", LookAlikes,
       [](auto& f, auto& t) { return Copy(f, t, "d/a.txt.", "out/a.txt.", OnClash::Refuse, PathKind::File); },
       ItemOutcome::Done, {{"out/a.txt.", "dotted a"}, {"d/a.txt", "plain a"}}, {"out/a.txt"}},
      {"a name ending in a space, moved", LookAlikes,
       [](auto& f, auto& t) { return Move(f, t, "d/b.txt ", "out/b.txt ", OnClash::Refuse, PathKind::File); },
       ItemOutcome::Done, {{"out/b.txt ", "spaced b"}, {"d/b.txt", "plain b"}}, {"d/b.txt ", "out/b.txt"}},
      {"a name ending in a dot, removed", LookAlikes,
       [](auto& f, auto& t) { return f.Remove(t.Path("d/a.txt."), PathKind::File); }, ItemOutcome::Done,
       {{"d/a.txt", "plain a"}}, {"d/a.txt."}},
  });
}

TEST(FileOperations, NoLinkIsGoneThrough) {
  const bool links_are_followed_by_the_system = MakeSystemFileSystem()->Separator() == '\\';
  RunCases({
      {"a link in the target where a folder would merge",
       [](TempTree& t) {
         t.Write("src/album/keep.txt", "new");
         return Outside(t) && t.FolderLink("out/album", t.Path("outside"));
       },
       [](auto& f, auto& t) { return Copy(f, t, "src/album", "out/album"); }, ItemOutcome::LinkAtTarget,
       {{"outside/keep.txt", "outside"}}},
      {"a link at the target of a move",
       [](TempTree& t) {
         t.Write("src/album/keep.txt", "new");
         return Outside(t) && t.FolderLink("out/album", t.Path("outside"));
       },
       [](auto& f, auto& t) { return Move(f, t, "src/album", "out/album"); }, ItemOutcome::LinkAtTarget,
       {{"outside/keep.txt", "outside"}, {"src/album/keep.txt", "new"}}},
      {"a link deep in a merge",
       [](TempTree& t) {
         t.Write("src/album/sub/keep.txt", "new");
         t.Folder("out/album");
         return Outside(t) && t.FolderLink("out/album/sub", t.Path("outside"));
       },
       [](auto& f, auto& t) { return Move(f, t, "src/album", "out/album"); }, ItemOutcome::LinkAtTarget,
       {{"outside/keep.txt", "outside"}, {"src/album/sub/keep.txt", "new"}}},
      {"a found link moved onto a folder of its name",
       [](TempTree& t) {
         t.Write("out/album/old.txt", "old");
         return Outside(t) && t.FolderLink("src/album", t.Path("outside"));
       },
       [](auto& f, auto& t) { return Move(f, t, "src/album", "out/album", OnClash::Overwrite, PathKind::Link); },
       ItemOutcome::TargetTaken, {{"outside/keep.txt", "outside"}, {"out/album/old.txt", "old"}}},
      {"a folder holding a link to another, removed",
       [](TempTree& t) {
         t.Write("found/mine.txt", "mine");
         return Outside(t) && t.FolderLink("found/link", t.Path("outside"));
       },
       [](auto& f, auto& t) { return f.Remove(t.Path("found"), PathKind::Folder); },
       links_are_followed_by_the_system ? ItemOutcome::NotTheItem : ItemOutcome::Done,
       {{"outside/keep.txt", "outside"}}, {"found/mine.txt"}},
      {"a found link, removed", [](TempTree& t) { return Outside(t) && t.FolderLink("link", t.Path("outside")); },
       [](auto& f, auto& t) { return f.Remove(t.Path("link"), PathKind::Link); },
       links_are_followed_by_the_system ? ItemOutcome::NotTheItem : ItemOutcome::Done,
       {{"outside/keep.txt", "outside"}}},
  });
}

TEST(FileOperations, AnItemThatChangedKindIsLeftAlone) {
  const auto file_now_folder = [](TempTree& t) {
    t.Write("row/inner.txt", "inner");
    t.Folder("out");
    return true;
  };
  RunCases({
      {"removed", file_now_folder, [](auto& f, auto& t) { return f.Remove(t.Path("row"), PathKind::File); },
       ItemOutcome::ChangedKind, {{"row/inner.txt", "inner"}}},
      {"moved", file_now_folder,
       [](auto& f, auto& t) { return Move(f, t, "row", "out/row", OnClash::Refuse, PathKind::File); },
       ItemOutcome::ChangedKind, {{"row/inner.txt", "inner"}}, {"out/row"}},
  });
}

TEST(FileOperations, NothingFoundIsWrittenOverOrInto) {
  TempTree t;
  t.Write("src/A/B/x.txt", "new");
  t.Write("src/A/y.txt", "y");
  t.Write("out/A/B/x.txt", "found");
  const std::unique_ptr<FileOperations> files = MakeSystemFileOperations();
  const std::set<FileIdentity> found = {*files->IdentityOf(t.Path("out/A/B"))};
  // The merge meets the found folder below its target: refused before anything is written.
  EXPECT_EQ(files->Copy(t.Path("src/A"), PathKind::Folder, t.Path("out/A"), OnClash::Overwrite, &found).outcome,
            ItemOutcome::TargetIsItem);
  EXPECT_EQ(t.Read("out/A/B/x.txt"), "found");
  EXPECT_FALSE(t.Exists("out/A/y.txt"));
}

TEST(FileOperations, NamesThatDifferOnlyByCaseAreTwoFiles) {
  TempTree t;
  t.Write("src/pics/A.txt", "upper");
  t.Write("src/pics/a.txt", "lower");
  if (t.Read("src/pics/A.txt") != std::optional<std::string>("upper")) GTEST_SKIP() << "no such twins here";
  const std::unique_ptr<FileSystem> system = MakeSystemFileSystem();
  testing::ChangingFileSystem case_blind(*system);
  case_blind.names_ignore_case = true;
  const std::unique_ptr<FileOperations> files = MakeFileOperations(case_blind);
  // A target that takes them for one: neither a copy nor a move (across volumes too) places one of them alone.
  EXPECT_EQ(files->Copy(t.Path("src/pics"), PathKind::Folder, t.Path("copy"), OnClash::Refuse, nullptr).outcome,
            ItemOutcome::NamesDifferOnlyByCase);
  t.Write("merged/pics/old.txt", "old");
  EXPECT_EQ(files->Move(t.Path("src/pics"), PathKind::Folder, t.Path("merged/pics"), OnClash::Overwrite, nullptr)
                .outcome,
            ItemOutcome::NamesDifferOnlyByCase);
  case_blind.other_volume = true;
  EXPECT_EQ(files->Move(t.Path("src/pics"), PathKind::Folder, t.Path("across"), OnClash::Refuse, nullptr).outcome,
            ItemOutcome::NamesDifferOnlyByCase);
  EXPECT_EQ(t.Read("src/pics/A.txt"), "upper");
  EXPECT_EQ(t.Read("src/pics/a.txt"), "lower");
  EXPECT_FALSE(t.Exists("merged/pics/A.txt"));
  EXPECT_FALSE(t.Exists("across"));
}

TEST(FileOperations, AMoveAcrossVolumesRemovesOnlyWhatItCopied) {
  struct Across {
    const char* what;
    std::function<void(testing::ChangingFileSystem&, TempTree&)> meddle;
    ItemOutcome outcome;
    std::size_t left;
    std::vector<std::pair<const char*, const char*>> holds;
    std::vector<const char*> gone;
  };
  const std::vector<Across> cases = {
      {"nothing changes", {}, ItemOutcome::Done, 0, {{"out/album/1.jpg", "one"}, {"out/album/sub/3.jpg", "three"}},
       {"src/album"}},
      {"a file appears meanwhile",
       [](auto& system, TempTree& t) {
         system.after_copy = [&t](const std::string&, int count) {
           if (count == 1) t.Write("src/album/new.jpg", "appeared");
         };
       },
       ItemOutcome::PartlyMoved, 1, {{"src/album/new.jpg", "appeared"}, {"out/album/2.jpg", "two"}},
       {"src/album/1.jpg", "src/album/sub"}},
      {"a copied file changes meanwhile",
       [](auto& system, TempTree& t) {
         system.after_copy = [&t](const std::string& source, int) {
           if (source == t.Path("src/album/1.jpg")) t.Write("src/album/1.jpg", "one, edited");
         };
       },
       ItemOutcome::PartlyMoved, 1, {{"src/album/1.jpg", "one, edited"}, {"out/album/2.jpg", "two"}},
       {"src/album/2.jpg", "out/album/1.jpg"}},
      {"the copy fails half way", [](auto& system, TempTree&) { system.fail_copy = 2; }, ItemOutcome::Failed, 0,
       {{"src/album/1.jpg", "one"}, {"src/album/2.jpg", "two"}, {"src/album/sub/3.jpg", "three"}}, {"out/album"}},
  };
  const std::unique_ptr<FileSystem> system = MakeSystemFileSystem();
  for (const Across& c : cases) {
    SCOPED_TRACE(c.what);
    TempTree t;
    t.Write("src/album/1.jpg", "one");
    t.Write("src/album/2.jpg", "two");
    t.Write("src/album/sub/3.jpg", "three");
    t.Folder("out");
    testing::ChangingFileSystem changing(*system);
    changing.other_volume = true;
    if (c.meddle) c.meddle(changing, t);
    const OperationResult result = MakeFileOperations(changing)->Move(t.Path("src/album"), PathKind::Folder,
                                                                      t.Path("out/album"), OnClash::Refuse, nullptr);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.left, c.left);
    for (const auto& [path, bytes] : c.holds) EXPECT_EQ(t.Read(path), std::optional<std::string>(bytes)) << path;
    for (const char* path : c.gone) EXPECT_FALSE(t.Exists(path)) << path;
  }
}

TEST(TreeContent, NamesAreComparedAsTheFoldersHoldThem) {
  const auto content = [](std::initializer_list<const char*> names, bool ignore_case) {
    TreeContent c;
    c.folder = true;
    c.names_ignore_case = ignore_case;
    for (const char* name : names) c.files[name] = 3;
    return c;
  };
  // A replaced file may keep the letter case of the one it replaced; one file never stands for two.
  EXPECT_TRUE(MatchContent(content({"A.txt"}, false), content({"a.txt"}, true)).Whole());
  EXPECT_FALSE(MatchContent(content({"A.txt"}, false), content({"a.txt"}, false)).Whole());
  EXPECT_FALSE(MatchContent(content({"A.txt", "a.txt"}, false), content({"a.txt"}, true)).Whole());
  EXPECT_EQ(MatchContent(content({"A.txt", "b.txt"}, false), content({"a.txt", "b.txt"}, true)).files, 2u);
}

}  // namespace
}  // namespace quellor::platform
