// Dialogs answered from a script, and an event pump that counts its turns:
// how tests drive commands that ask the user something.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace quellor::testing {

class ScriptedDialogs : public ui::Dialogs {
 public:
  struct Message {
    std::string text;  // the pieces' bytes one after another
    text::ShownText shown;
    std::string caption;
    ui::MessageButtons buttons;
    ui::MessageIcon icon;
  };
  struct FolderRequest {
    std::string title;
    ui::FolderChooserStyle style;
  };
  struct SaveRequest {
    std::string title;
    std::string default_name;
    std::vector<std::string> extensions;
  };

  ui::MessageAnswer ShowMessage(const text::ShownText& text, std::string_view caption, ui::MessageButtons buttons,
                                ui::MessageIcon icon) override {
    messages.push_back(Message{text.Bytes(), text, std::string(caption), buttons, icon});
    if (answers.empty()) return ui::MessageAnswer::Ok;
    const ui::MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::string ChooseFolder(std::string_view title, ui::FolderChooserStyle style) override {
    folder_requests.push_back(FolderRequest{std::string(title), style});
    if (folders.empty()) return {};
    std::string folder = folders.front();
    folders.pop_front();
    return folder;
  }

  ui::SaveFileChoice ChooseSaveFile(std::string_view title, std::string_view default_name,
                                    std::span<const ui::SaveFileType> types) override {
    SaveRequest request{std::string(title), std::string(default_name), {}};
    for (const ui::SaveFileType& type : types) request.extensions.emplace_back(type.extension);
    save_requests.push_back(std::move(request));
    if (saves.empty()) return {};
    ui::SaveFileChoice choice = saves.front();
    saves.pop_front();
    return choice;
  }

  // Answers given in order; Ok once they run out. Folders and saves likewise;
  // "" (cancel) once they run out.
  std::deque<ui::MessageAnswer> answers;
  std::deque<std::string> folders;
  std::deque<ui::SaveFileChoice> saves;
  std::vector<Message> messages;
  std::vector<FolderRequest> folder_requests;
  std::vector<SaveRequest> save_requests;
};

class CountingEventPump : public ui::EventPump {
 public:
  bool ProcessPendingEvents() override {
    ++turns;
    return turns <= close_after_turns;
  }
  int turns = 0;
  // The window "closes" after this many turns.
  int close_after_turns = 1 << 30;
};

}  // namespace quellor::testing
