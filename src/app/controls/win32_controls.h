// The control interfaces of platform/controls.h over Win32 controls: thin
// SendMessage wrappers, one source file per kind of control. Every call runs
// on the window's thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/controls.h"

namespace quellor::app {

// The whole caption of any window; empty when it cannot be read.
std::string WindowText(HWND window);
void SetWindowTextBytes(HWND window, std::string_view text);

class Win32Button : public platform::Button {
 public:
  explicit Win32Button(HWND window) : window_(window) {}
  std::string Caption() const override;
  void SetCaption(std::string_view caption) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;

 private:
  HWND window_;
};

class Win32Label : public platform::Label {
 public:
  explicit Win32Label(HWND window) : window_(window) {}
  std::string Caption() const override;
  void SetCaption(std::string_view caption) override;

 private:
  HWND window_;
};

class Win32HintLabel : public platform::HintLabel {
 public:
  explicit Win32HintLabel(HWND window) : window_(window) {}
  bool Visible() const override;
  void SetVisible(bool visible) override;

 private:
  HWND window_;
};

// Check boxes and radio buttons.
class Win32CheckBox : public platform::CheckBox {
 public:
  explicit Win32CheckBox(HWND window) : window_(window) {}
  bool Checked() const override;
  void SetChecked(bool checked) override;

 private:
  HWND window_;
};

class Win32EditBox : public platform::EditBox {
 public:
  explicit Win32EditBox(HWND window) : window_(window) {}
  std::string Text() const override;
  void SetText(std::string_view text) override;
  void Append(std::string_view text) override;

 private:
  HWND window_;
};

class Win32ProgressBar : public platform::ProgressBar {
 public:
  explicit Win32ProgressBar(HWND window) : window_(window) {}
  int Position() const override;
  void SetPosition(int position) override;
  int Maximum() const override;
  void SetMaximum(int maximum) override;

 private:
  HWND window_;
};

class Win32ListBox : public platform::ListBox {
 public:
  explicit Win32ListBox(HWND window) : window_(window) {}
  int Count() const override;
  std::string Text(int index) const override;
  int SelectedIndex() const override;
  int Append(std::string_view text) override;
  bool Delete(int index) override;
  void DeleteAll() override;

 private:
  HWND window_;
};

class Win32ListView : public platform::ListView {
 public:
  explicit Win32ListView(HWND window) : window_(window) {}
  int RowCount() const override;
  std::string RowText(int row) const override;
  bool RowChecked(int row) const override;
  void SetRowChecked(int row, bool checked) override;
  bool RowSelected(int row) const override;
  int CurrentRow() const override;
  void AppendRows(const std::vector<std::string>& texts) override;
  bool DeleteRow(int row) override;
  void DeleteAllRows() override;

 private:
  HWND window_;
};

}  // namespace quellor::app
