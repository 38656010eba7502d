// What the action tests share: in-memory controls, scripted dialogs, a
// recording shell and clipboard, the system's file operations, and a fresh
// temporary folder with helpers to build a tree in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/result_actions.h"
#include "platform/clipboard.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/shell.h"
#include "platform/system_charset.h"
#include "support/forwarding_file_operations.h"
#include "support/memory_controls.h"
#include "support/recording_shell.h"
#include "support/row_setup.h"
#include "support/scripted_dialogs.h"
#include "support/temp_tree.h"

namespace quellor::testing {

using testing::RecordingShell;

class RecordingClipboard : public platform::Clipboard {
 public:
  bool PutDropList(std::string_view block) override {
    blocks.emplace_back(block);
    return accept;
  }
  bool PutText(std::u16string_view text) override {
    texts.emplace_back(text);
    return accept;
  }
  bool accept = true;
  std::vector<std::string> blocks;
  std::vector<std::u16string> texts;
};

// Passes every request to another implementation, except that items under
// `refused` are left alone and reported as failed, and those under
// `unknowable` cannot be looked up.
class RefusingFileOperations : public ForwardingFileOperations {
 public:
  using ForwardingFileOperations::ForwardingFileOperations;
  platform::OperationResult Copy(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash,
                                 const std::set<platform::FileIdentity>* found_items) override {
    if (Refused(source) || Refused(target)) return Refusal();
    return inner_.Copy(source, found_as, target, clash, found_items);
  }
  platform::OperationResult Move(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash,
                                 const std::set<platform::FileIdentity>* found_items) override {
    if (Refused(source) || Refused(target)) return Refusal();
    return inner_.Move(source, found_as, target, clash, found_items);
  }
  platform::OperationResult Remove(const std::string& path, platform::PathKind found_as) override {
    return Refused(path) ? Refusal() : inner_.Remove(path, found_as);
  }
  std::optional<platform::FileIdentity> IdentityOf(const std::string& path) const override {
    identities_asked.push_back(path);
    return inner_.IdentityOf(path);
  }
  platform::PathKind KindOf(const std::string& path) const override {
    for (const std::string& prefix : unknowable) {
      if (path.compare(0, prefix.size(), prefix) == 0) return platform::PathKind::Unknown;
    }
    return inner_.KindOf(path);
  }
  std::vector<std::string> refused;
  std::vector<std::string> unknowable;
  mutable std::vector<std::string> identities_asked;

 private:
  bool Refused(const std::string& path) const {
    for (const std::string& prefix : refused) {
      if (path.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
  }
  static platform::OperationResult Refusal() { return platform::OperationResult{platform::ItemOutcome::Failed, 5, 0, {}}; }
};

class ActionTest : public ::testing::Test {
 protected:

  // The path of `relative` (written with '/') in the temporary folder, with the platform's separator.
  std::string Path(const std::string& relative = "") const { return temp_.Path(relative); }
  void MakeFolder(const std::string& relative) const { temp_.Folder(relative); }
  void MakeFile(const std::string& relative, const std::string& bytes) const {
    // Only the folders are made through std::filesystem: names may be ANSI bytes it cannot convert.
    const std::size_t slash = relative.rfind('/');
    if (slash != std::string::npos) std::filesystem::create_directories(root_ / relative.substr(0, slash));
    ASSERT_TRUE(platform::WriteWholeFileReplacing(Path(relative), bytes)) << relative;
  }
  std::optional<std::string> Content(const std::string& relative) const {
    return platform::ReadWholeFile(Path(relative));
  }
  bool Exists(const std::string& relative) const {
    return files_->KindOf(Path(relative)) != platform::PathKind::Missing;
  }
  // Appends rows holding the full paths of `relatives`, ticking those in
  // `checked`, each with the kind a search would find there now.
  void AddRows(const std::vector<std::string>& relatives, const std::vector<int>& checked = {}) {
    std::vector<std::string> texts;
    std::vector<platform::PathKind> kinds;
    for (const std::string& relative : relatives) {
      texts.push_back(Path(relative));
      const platform::PathKind kind = files_->KindOf(texts.back());
      kinds.push_back(kind == platform::PathKind::Missing ? platform::PathKind::Unknown : kind);
    }
    const int first = memory_.超级列表框_结果.RowCount();
    testing::AppendRows(memory_.超级列表框_结果, texts, kinds);
    for (int row : checked) testing::SetRowChecked(memory_.超级列表框_结果, first + row, true);
  }
  std::vector<std::string> RowTexts() const { return memory_.超级列表框_结果.Texts(); }
  std::vector<bool> RowTicks() const {
    std::vector<bool> ticks;
    const search::ResultRows& rows = memory_.超级列表框_结果.Rows();
    for (int row = 0; row < rows.Count(); ++row) ticks.push_back(rows.Checked(row));
    return ticks;
  }

  ui::Controls& controls() { return memory_.controls(); }

  TempTree temp_;
  std::filesystem::path root_ = temp_.path();
  testing::MemoryControls memory_;
  testing::ScriptedDialogs dialogs_;
  testing::CountingEventPump events_;
  std::unique_ptr<platform::FileOperations> system_files_ = platform::MakeSystemFileOperations();
  RefusingFileOperations refusing_files_{*system_files_};
  platform::FileOperations* files_ = &refusing_files_;
  RecordingShell shell_;
  RecordingClipboard clipboard_;
  commands::ActionServices services_{dialogs_, events_, refusing_files_, shell_, clipboard_, platform::NameCharset(),
                                    root_.string(), &text::FoldAsciiCase};
};

}  // namespace quellor::testing
