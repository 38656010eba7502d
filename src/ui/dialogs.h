// Dialogs and the event pump: what commands need from the window besides its
// controls, behind an interface so tests answer them without a screen.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "text/shown_text.h"

namespace quellor::ui {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Error };
enum class MessageAnswer { Ok, Cancel };

enum class FolderChooserStyle {
  // Adding a search folder: the classic browser with an edit field
  // (BIF_EDITBOX alone), every top-level window of the program disabled meanwhile.
  SearchFolder,
  // The target of a copy or move: the new-style browser with an edit field.
  TargetFolder,
};

// A kind of file the save dialog offers: its words and its extension (no dot).
struct SaveFileType {
  std::string_view description;
  std::string_view extension;
};

struct SaveFileChoice {
  std::string path;       // in the name encoding; empty when cancelled
  std::size_t type = 0;   // the index of the type chosen
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A task-modal message box with no owner window; its text may name a file.
  virtual MessageAnswer ShowMessage(const text::ShownText& text, std::string_view caption, MessageButtons buttons,
                                    MessageIcon icon) = 0;
  // The chosen folder's file-system path, in the name encoding; empty when
  // cancelled or when the chosen item has no file-system path.
  virtual std::string ChooseFolder(std::string_view title, FolderChooserStyle style) = 0;
  // The save dialog, opened in the user's documents folder with
  // `default_name` (words, with the first type's extension) and `types` to
  // choose from; it asks before a file is replaced. A name typed without an
  // extension gets the chosen type's.
  virtual SaveFileChoice ChooseSaveFile(std::string_view title, std::string_view default_name,
                                        std::span<const SaveFileType> types) = 0;
};

// Lets the window handle its pending events in the middle of a long command.
class EventPump {
 public:
  virtual ~EventPump() = default;
  // Processes what is pending; false once the window has been asked to close,
  // so that the command ends after its current item.
  virtual bool ProcessPendingEvents() = 0;
};

}  // namespace quellor::ui
