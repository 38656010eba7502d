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

  // Answers given in order; Ok once they run out. Folders likewise; "" (cancel) once they run out.
  std::deque<ui::MessageAnswer> answers;
  std::deque<std::string> folders;
  std::vector<Message> messages;
  std::vector<FolderRequest> folder_requests;
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
