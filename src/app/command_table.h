// The window's commands: one row per control or menu item that does something
// when clicked, saying what it does and whether it must wait for a result
// action. The window's dispatcher reads this table.
#pragma once

#include "app/search_delivery.h"
#include "commands/result_actions.h"
#include "commands/settings.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::app {

// What a command works with.
struct CommandTools {
  ui::Controls& controls;
  ui::Dialogs& dialogs;
  const commands::SettingsLocation& location;
  SearchDelivery& search;
  commands::ActionServices& services;
};

enum class CommandKind {
  Anytime,
  // Ignored while a result action runs.
  AfterResultActions,
  // Run by the window's action runner: ignored while another result action
  // runs, and a close asked for meanwhile waits until it ends.
  ResultAction,
};

struct WindowCommand {
  int id;
  CommandKind kind;
  void (*run)(CommandTools& tools);
};

// Null for an id that names no command. 超级列表框_结果 stands for a double
// click on a row.
const WindowCommand* FindWindowCommand(int id);

}  // namespace quellor::app
