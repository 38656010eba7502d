#include "app/main_window.h"

#include <commctrl.h>

#include "app/action_host.h"
#include "app/command_table.h"
#include "app/control_ids.h"
#include "app/file_drop_target.h"
#include "app/frame_window.h"
#include "app/message_loop.h"
#include "app/names_box_hint.h"
#include "app/popup_menus.h"
#include "app/search_delivery.h"
#include "app/win32_dialogs.h"
#include "app/window_controls.h"
#include "app/window_dpi.h"
#include "app/window_fonts.h"
#include "app/window_keys.h"
#include "app/window_layout.h"
#include "commands/search_paths.h"
#include "platform/system_charset.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

namespace {

// The controls that show names: Unicode windows, so that any character shows
// and can be typed or pasted there. (Subclassing them with SetWindowSubclass
// keeps them Unicode; SetWindowLongPtrA would make them ANSI again.)
bool ShowsNames(int id) { return id == ids::编辑框_文件名 || id == ids::列表框_路径 || id == ids::标签_状态; }

HWND CreateControl(const ControlLayout& layout, const RECT& place, DWORD style, HWND parent, HINSTANCE instance) {
  HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id));
  const int width = place.right - place.left, height = place.bottom - place.top;
  if (!ShowsNames(layout.id)) {
    return CreateWindowExA(layout.ex_style, layout.class_name, layout.caption, style, place.left, place.top, width,
                           height, parent, id, instance, nullptr);
  }
  const std::wstring class_name = platform::win32::WideText(layout.class_name);
  const std::wstring caption = platform::win32::WideText(layout.caption);
  return CreateWindowExW(layout.ex_style, class_name.c_str(), caption.c_str(), style, place.left, place.top, width,
                         height, parent, id, instance, nullptr);
}

bool RegisterMainWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  if (window_class.hIcon == nullptr) window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  return RegisterClassA(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Centred on the screen: half the room the screen leaves on each axis, rounded
// down, so an odd pixel left over goes to the right and the bottom.
POINT CentredCorner(SIZE size) {
  return POINT{(GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
}

bool IsPushButton(HWND control) {
  char class_name[16] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  return lstrcmpiA(class_name, "Button") == 0 && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON;
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, Options options) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  if (!RegisterMainWindowClass(instance, &MainWindow::WindowProc) || !RegisterFrameClass(instance)) return nullptr;

  std::unique_ptr<MainWindow> window(new MainWindow(instance, std::move(options)));
  // Sized for the system's DPI; a window that finds itself on a monitor of another is sized again below.
  const SIZE size = WindowSize(SystemDpi());
  const POINT corner = CentredCorner(size);
  const std::string caption(kWindowCaption);
  HWND created = CreateWindowExA(0, kWindowClass, caption.c_str(), kWindowStyle, corner.x, corner.y, size.cx, size.cy,
                                 nullptr, nullptr, instance, window.get());
  if (created == nullptr) return nullptr;
  const SIZE own = WindowSize(window->dpi_);
  if (own.cx != size.cx || own.cy != size.cy) {
    const POINT own_corner = CentredCorner(own);
    SetWindowPos(created, nullptr, own_corner.x, own_corner.y, own.cx, own.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return window;
}

MainWindow::MainWindow(HINSTANCE instance, Options options)
    : instance_(instance),
      options_(std::move(options)),
      location_{options_.program_folder, &platform::NameCharset(), platform::kPathSeparator} {}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void MainWindow::Show(int show_command) {
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
}

IDropTarget* MainWindow::drop_target() const { return drop_target_; }

ui::Controls* MainWindow::controls() { return controls_ ? &controls_->controls() : nullptr; }

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->controls_.reset();
    self->window_ = nullptr;
    return DefWindowProcA(window, message, wparam, lparam);
  }
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (search_ && search_->HandleMessage(message, wparam)) return 0;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_NOTIFYFORMAT:
      // The result list asks for its rows in UTF-16, so it shows the real paths.
      if (lparam == NF_QUERY && GetDlgCtrlID(reinterpret_cast<HWND>(wparam)) == ids::超级列表框_结果) return NFR_UNICODE;
      return DefWindowProcA(window_, message, wparam, lparam);
    case WM_CTLCOLORSTATIC: {
      LRESULT brush = 0;
      if (hint_ && hint_->AnswerColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), brush)) {
        return brush;
      }
      return DefWindowProcA(window_, message, wparam, lparam);
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) RememberFocus();
      // Activated, the system gives the focus to the window itself, and WM_SETFOCUS hands it on.
      return DefWindowProcA(window_, message, wparam, lparam);
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcA(window_, message, wparam, lparam);
  }
}

// The start-up sequence: every control exists in the start state its row of
// the control table gives (ui/control_table.h) before the drop target, the
// search and the stored settings are set up.
bool MainWindow::OnCreate() {
  if (!CreateControls()) return false;
  hint_ = std::make_unique<NamesBoxHint>(GetDlgItem(window_, ids::透明标签_提示),
                                         GetDlgItem(window_, ids::编辑框_文件名));
  controls_ = std::make_unique<WindowControls>(window_);
  if (!controls_->Subclassed()) return false;
  WireControls();
  if (options_.dialogs != nullptr) {
    dialogs_ = options_.dialogs;
  } else {
    own_dialogs_ = std::make_unique<Win32Dialogs>(window_);
    dialogs_ = own_dialogs_.get();
  }
  events_ = std::make_unique<PendingEvents>(window_, close_requested_);

  drop_target_ = new FileDropTarget([this](const std::vector<std::string>& paths) {
    if (controls_) commands::AddDroppedPaths(controls_->controls(), platform::NameCharset(), paths);
  });
  // Without it dropping simply does nothing; that is not reported.
  drop_registered_ = RegisterDragDrop(window_, drop_target_) == S_OK;

  search_ = std::make_unique<SearchDelivery>(window_, controls_->controls(), *dialogs_, location_,
                                             options_.whole_computer_roots);
  actions_ = std::make_unique<ActionHost>(*dialogs_, *events_, options_.program_folder, options_.shell);

  commands::LoadSettings(controls_->controls(), location_);
  search_->MatchModeChanged();
  HideFocusUntilKeyboardMoves(window_);
  started_ = true;
  return true;
}

bool MainWindow::CreateControls() {
  dpi_ = WindowDpi(window_);
  fonts_ = std::make_unique<WindowFonts>(dpi_);
  HWND previous = HWND_TOP;
  for (const ControlLayout& layout : MainWindowControls()) {
    // The keyword box paints under the hint that lies on it, so the hint shows the box through.
    const DWORD clip = layout.id == ids::编辑框_文件名 ? 0 : WS_CLIPSIBLINGS;
    const DWORD disabled = layout.start == ui::ControlStart::Disabled ? WS_DISABLED : 0;
    const DWORD visible = layout.start == ui::ControlStart::Hidden ? 0 : WS_VISIBLE;
    HWND control =
        CreateControl(layout, ControlRect(layout, dpi_), WS_CHILD | visible | clip | layout.style | disabled, window_,
                      instance_);
    if (control == nullptr) return false;
    // Stacked in table order, first on top, whatever order the system gives new children.
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->Get(layout.font)), FALSE);
    if (layout.start == ui::ControlStart::Checked) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
  }

  SendDlgItemMessageA(window_, ids::编辑框_文件名, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows

  HWND results = GetDlgItem(window_, ids::超级列表框_结果);
  const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB;
  SendMessageA(results, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = ScaleToDpi(kResultColumnWidth, dpi_);
  char title[] = "文件路径";
  column.pszText = title;
  return SendMessageA(results, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)) == 0;
}

// Each control's callbacks, wired once: the keys of the key table where the
// control has some, the lists' menus, the hint over the names box.
void MainWindow::WireControls() {
  controls_->names_box().SetCallbacks({.keys = KeysOf(ids::编辑框_文件名),
                                       .text_changed = [this] { hint_->BoxTextChanged(); },
                                       .painted = [this] { hint_->BoxPainted(); },
                                       .drew_at_once = [this] { hint_->BoxDrewAtOnce(); },
                                       .may_fill = [this] { return !search_ || search_->Idle(); }});
  controls_->path_list().SetCallbacks(
      {.keys = KeysOf(ids::列表框_路径),
       .context_menu = [this] { ShowPopupMenu(window_, PopupMenu::Paths, false, dpi_); }});
  controls_->result_list().SetCallbacks(
      {.keys = KeysOf(ids::超级列表框_结果),
       .context_menu = [this] { ShowPopupMenu(window_, PopupMenu::Results, false, dpi_); }});
}

WindowKeyCallbacks MainWindow::KeysOf(int control_id) {
  return {[control_id](LRESULT code, const MSG* key) { return DialogCode(control_id, code, key); },
          [this, control_id](const MSG& key) { return AnswerKey(control_id, key); }};
}

void MainWindow::OnCommand(int id, int code) {
  if (id == ids::编辑框_文件名) {
    if (controls_) controls_->names_box().AnswerCommand(code);
    return;
  }
  // Enter where no control takes it: the dialog manager asks for the default button.
  if (id == IDOK && code == 0) {
    PressFocusedButton();
    return;
  }
  if (code != BN_CLICKED) return;  // menu items come with code 0 too
  // A list view sends no WM_COMMAND: its id comes here only for its double click.
  if (id == ids::超级列表框_结果) return;
  RunCommand(id);
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(ids::超级列表框_结果) || !controls_) return 0;
  LRESULT result = 0;
  if (controls_->result_list().AnswerNotify(header, result)) return result;
  if (header.code == static_cast<UINT>(NM_DBLCLK)) RunCommand(ids::超级列表框_结果);
  if (header.code == static_cast<UINT>(LVN_COLUMNCLICK)) RunCommand(ids::结果列标题_排序);
  return 0;
}

// While a result action runs (a copy, move or delete handles events row by
// row), every other result action and the search wait their turn: they are
// ignored. A close asked for meanwhile ends that action after its current row,
// then the window goes.
void MainWindow::RunCommand(int id) {
  const WindowCommand* command = FindWindowCommand(id);
  if (command == nullptr || !controls_ || closing_) return;
  CommandTools tools{controls_->controls(), *dialogs_, location_, *search_, actions_->services()};
  commands::ActionRunner& runner = actions_->runner();
  switch (command->kind) {
    case CommandKind::Anytime:
      command->run(tools);
      break;
    case CommandKind::AfterResultActions:
      if (!runner.Busy()) command->run(tools);
      break;
    case CommandKind::ResultAction:
      runner.Run([&] { command->run(tools); });
      if (close_requested_ && !runner.Busy()) Close();
      break;
  }
}

// The window has no default button: Enter presses the push button that has
// the focus, as Space does, and nothing elsewhere.
void MainWindow::PressFocusedButton() {
  HWND focus = GetFocus();
  if (focus == nullptr || GetParent(focus) != window_ || !IsPushButton(focus) || !IsWindowEnabled(focus)) return;
  RunCommand(GetDlgCtrlID(focus));
}

// A key of the key table, run as its mouse twin runs; false for any other key.
bool MainWindow::AnswerKey(int control_id, const MSG& key) {
  const KeyAnswer answer = app::AnswerKey(control_id, key);
  switch (answer.action) {
    case KeyAction::None:
      return false;
    case KeyAction::Keep:
      break;
    case KeyAction::RunCommand:
      RunCommand(answer.command);
      break;
    case KeyAction::OpenMenu:
      ShowPopupMenu(window_, control_id == ids::列表框_路径 ? PopupMenu::Paths : PopupMenu::Results, true, dpi_);
      break;
    case KeyAction::SelectAllRows:
      controls_->result_list().SelectAllRows();
      break;
  }
  return true;
}

void MainWindow::RememberFocus() {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(window_, focus)) last_focus_ = focus;
}

// The focus goes back where it was, or to the names box: typing starts there.
void MainWindow::RestoreFocus() {
  HWND target = last_focus_;
  if (target == nullptr || !IsWindow(target) || !IsChild(window_, target) || !IsWindowEnabled(target) ||
      !IsWindowVisible(target)) {
    target = GetDlgItem(window_, ids::编辑框_文件名);
  }
  if (target != nullptr) SetFocus(target);
}

// Moved to a monitor of another DPI: the window takes the size and place the
// system suggests, and every control, font and the list's column are laid
// out again from the table.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  auto fonts = std::make_unique<WindowFonts>(dpi);
  const SIZE size = WindowSize(dpi);
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ControlLayout& layout : MainWindowControls()) {
    HWND control = GetDlgItem(window_, layout.id);
    const RECT place = ControlRect(layout, dpi);
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->Get(layout.font)), TRUE);
  }
  SendDlgItemMessageA(window_, ids::超级列表框_结果, LVM_SETCOLUMNWIDTH, 0, ScaleToDpi(kResultColumnWidth, dpi));
  fonts_ = std::move(fonts);  // no control uses the old ones now
  dpi_ = dpi;
}

void MainWindow::OnClose() {
  if (actions_ && actions_->runner().Busy()) {
    close_requested_ = true;
    return;
  }
  Close();
}

void MainWindow::Close() {
  if (closing_) return;
  closing_ = true;
  WaitForSearchToEnd();
  if (window_ != nullptr) DestroyWindow(window_);
}

// Every run is asked to stop, and the window goes on painting while its
// workers end: one held up by a slow folder never freezes it. Commands are
// ignored meanwhile.
void MainWindow::WaitForSearchToEnd() {
  if (!search_) return;
  search_->StopAll();
  while (!search_->Idle() && window_ != nullptr) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    if (!events_->HandlePendingMessages()) return;
  }
}

// The children still exist here: the run is stopped and its threads have ended
// before the lists are read and stored. A window that never finished its
// start-up stores nothing (its empty lists would replace the stored ones) and
// does not end the program, which still has its error to show.
void MainWindow::OnDestroy() {
  if (search_) search_->StopAndWait();
  if (started_ && controls_) commands::SaveLists(controls_->controls(), location_);
  if (drop_registered_) RevokeDragDrop(window_);
  drop_registered_ = false;
  if (drop_target_ != nullptr) {
    drop_target_->Release();
    drop_target_ = nullptr;
  }
  if (started_ && options_.quit_when_destroyed) PostQuitMessage(0);
}

}  // namespace quellor::app
