// Drives a running Quellor window from another process, as a person or an
// automation tool would, and times how it answers. "--window HANDLE" (hex)
// before the verb names the window; else the first Quellor window found.
//
//   window-driver read-row ROW            prints the row's text (LVM_GETITEMTEXTA: the code page's) and whether it is ticked
//   window-driver read-row-wide ROW       the same through LVM_GETITEMTEXTW, the text printed as UTF-8
//   window-driver set-check ROW 0|1       ticks or unticks a row (-1: every row) by LVM_SETITEMSTATE
//   window-driver search                  clicks 立即搜索 and waits for the status line's end; prints the rows
//   window-driver export PATH csv|txt     the result list's menu item 导出结果列表…: answers the save
//       dialog (under Wine: its name box and type list) with PATH and the
//       type, and waits for the status line's end of the export; prints the
//       time from the dialog's OK to that end, the longest answer meanwhile
//       and the status line
//   window-driver bench KEYWORD FIND_EXE NAMES_FILE ROOT [EXPORT_PATH]
//       types KEYWORD, starts the search, samples how long the window takes to
//       answer WM_GETTEXT every 20 ms while rows stream in, times the search
//       against FIND_EXE --fuzzy --names NAMES_FILE ROOT, then tick all, tick
//       none, the not-found report and three clicks on the column header (by
//       path, the other way, the order found: each until its arrow shows,
//       with the longest answer meanwhile), the export to EXPORT_PATH (as
//       the verb export does, as CSV) where given, and closes the window.
//   window-driver open-close QUELLOR_EXE
//       starts QUELLOR_EXE, times it until its window answers and until its
//       names box is full, closes it and times it until the process has ended.
//   window-driver names-bench FIND_EXE NAMES_FILE ROOT
//       once the names of NAMES_FILE are all in the names box: times typing and
//       pasting into the box, the search button's click until the window
//       answers, the longest answer while the search runs, the search against
//       FIND_EXE --names NAMES_FILE ROOT and the not-found report, and closes
//       the window. Prints one "key=value" line per figure.
//   window-driver names-at-once FIND_EXE NAMES_FILE ROOT
//       a quarter of a second after the names box shows its first lines (the
//       rest still going in): the same click, answers and search against
//       FIND_EXE, then how many lines the box holds once it is full, and
//       closes the window.
//
// The controls are found by class and caption, never by id; a menu item,
// which has no window, by its id.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/control_ids.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

HWND WaitForMainWindow() {
  for (int i = 0; i < 1200; ++i) {
    HWND window = FindWindowA("QuellorMainWindow", nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
    Sleep(50);
  }
  return nullptr;
}

HWND Child(HWND parent, const char* class_name, const char* caption) {
  return FindWindowExA(parent, nullptr, class_name, caption);
}

struct LabelSearch {
  HWND main;
  HWND found;
};

BOOL CALLBACK FindStatusLabel(HWND child, LPARAM context) {
  auto& search = *reinterpret_cast<LabelSearch*>(context);
  char name[32];
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Static") != 0) return TRUE;
  RECT rect;
  GetWindowRect(child, &rect);
  POINT corner{rect.left, rect.top};
  ScreenToClient(search.main, &corner);
  if (corner.x != 8 || corner.y != 456) return TRUE;
  search.found = child;
  return FALSE;
}

// The status line: the label at the bottom left of the client area.
HWND StatusLabel(HWND main) {
  LabelSearch search{main, nullptr};
  EnumChildWindows(main, &FindStatusLabel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// WM_GETTEXT through SendMessageTimeout; false when the window did not answer within 10 s.
bool ReadText(HWND window, std::string& text) {
  char buffer[1024];
  DWORD_PTR got = 0;
  if (SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 10000,
                          &got) == 0) {
    return false;
  }
  text.assign(buffer, std::min<std::size_t>(got, sizeof buffer - 1));
  return true;
}

// Memory in the window's process, for the LVITEM that the list view reads and writes.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, std::size_t size) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, process_id);
    if (process_ != nullptr) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  bool ok() const { return address_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr) != 0;
  }
  bool Read(std::size_t offset, void* data, std::size_t size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr) != 0;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

HWND ResultList(HWND main) { return Child(main, WC_LISTVIEWA, nullptr); }

bool IsTicked(HWND list, int row) {
  const LRESULT state = SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
  return ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

int ReadRow(HWND main, int row) {
  HWND list = ResultList(main);
  constexpr std::size_t kTextSize = 4096;
  RemoteBlock block(list, sizeof(LVITEMA) + kTextSize);
  if (list == nullptr || !block.ok()) {
    std::fprintf(stderr, "window-driver: no result list to read\n");
    return 1;
  }
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = block.at(sizeof(LVITEMA));
  item.cchTextMax = static_cast<int>(kTextSize);
  block.Write(0, &item, sizeof item);
  const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)));
  std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)), '\0');
  block.Read(sizeof(LVITEMA), text.data(), text.size());
  std::printf("%s\t%d\n", text.c_str(), IsTicked(list, row) ? 1 : 0);
  return 0;
}

int ReadRowWide(HWND main, int row) {
  HWND list = ResultList(main);
  constexpr std::size_t kTextUnits = 4096;
  RemoteBlock block(list, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
  if (list == nullptr || !block.ok()) {
    std::fprintf(stderr, "window-driver: no result list to read\n");
    return 1;
  }
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = reinterpret_cast<wchar_t*>(block.at(sizeof(LVITEMW)));
  item.cchTextMax = static_cast<int>(kTextUnits);
  block.Write(0, &item, sizeof item);
  const LRESULT length =
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)));
  std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)), L'\0');
  block.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
  std::string utf8(text.size() * 3 + 1, '\0');
  const int size = text.empty() ? 0
                                : WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                                      static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(std::max(size, 0)));
  std::printf("%s\t%d\n", utf8.c_str(), IsTicked(list, row) ? 1 : 0);
  return 0;
}

int SetCheck(HWND main, int row, bool checked) {
  HWND list = ResultList(main);
  RemoteBlock block(list, sizeof(LVITEMA));
  if (list == nullptr || !block.ok()) {
    std::fprintf(stderr, "window-driver: no result list to change\n");
    return 1;
  }
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  block.Write(0, &item, sizeof item);
  const LRESULT done =
      SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)));
  return done ? 0 : 1;
}

// Clicks a push button as its parent sees a click, and returns once the window has handled it.
double ClickAndTime(HWND main, HWND button) {
  const auto start = Clock::now();
  SendMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
  // The repaint that the command asked for comes before the next answer.
  RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  std::string ignored;
  ReadText(main, ignored);
  return MillisecondsSince(start);
}

double RunAndTime(const std::string& command_line) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null_out = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = null_out;
  startup.hStdError = null_out;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::string line = command_line;
  const auto start = Clock::now();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "window-driver: cannot start %s\n", command_line.c_str());
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double elapsed = MillisecondsSince(start);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (null_out != INVALID_HANDLE_VALUE) CloseHandle(null_out);
  return elapsed;
}

void CloseReportViewer() {
  for (int i = 0; i < 40; ++i) {
    HWND viewer = FindWindowA("Notepad", nullptr);
    if (viewer != nullptr) {
      PostMessageA(viewer, WM_CLOSE, 0, 0);
      return;
    }
    Sleep(50);
  }
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Waits for the status line's finished text, at most half an hour after
// `start`; `text` holds the last status read.
bool WaitUntilFinished(HWND status, Clock::time_point start, std::string& text) {
  while (MillisecondsSince(start) < 30 * 60 * 1000.0) {
    if (ReadText(status, text) && StartsWith(text, "搜索完毕")) return true;
    Sleep(5);
  }
  return false;
}

// Samples how long the window takes to answer WM_GETTEXT, every 20 ms, from
// its start until Stop: (when, since `origin`; how long) of every answer.
class AnswerSampler {
 public:
  AnswerSampler(HWND main, Clock::time_point origin) : main_(main), origin_(origin) {
    thread_ = std::thread([this] {
      while (sampling_) {
        const auto start = Clock::now();
        std::string text;
        if (!ReadText(main_, text)) ++unanswered_;
        answers_.emplace_back(std::chrono::duration<double, std::milli>(start - origin_).count(),
                              MillisecondsSince(start));
        Sleep(20);
      }
    });
  }
  ~AnswerSampler() { Stop(); }
  // The answers, slowest first.
  const std::vector<std::pair<double, double>>& Stop() {
    if (thread_.joinable()) {
      sampling_ = false;
      thread_.join();
      std::sort(answers_.begin(), answers_.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    }
    return answers_;
  }
  int unanswered() const { return unanswered_; }

 private:
  HWND main_;
  Clock::time_point origin_;
  std::atomic<bool> sampling_{true};
  int unanswered_ = 0;
  std::vector<std::pair<double, double>> answers_;
  std::thread thread_;
};

// The result list header's sort arrow: HDF_SORTUP, HDF_SORTDOWN or 0; -1
// when it cannot be read.
int HeaderArrow(HWND header) {
  RemoteBlock block(header, sizeof(HDITEMA));
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  if (!block.ok() || !block.Write(0, &item, sizeof item) ||
      !SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0))) ||
      !block.Read(0, &item, sizeof item)) {
    return -1;
  }
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

struct SortTiming {
  double ms = -1;          // the click until the header shows `arrow`; -1: it never did
  double longest_ms = 0;   // the longest the window took to answer meanwhile
};

// A click on the result list's column header, timed until its arrow shows
// `arrow`, the window's answers sampled meanwhile.
SortTiming ClickHeaderAndTime(HWND main, HWND list, int arrow) {
  SortTiming timing;
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  if (header == nullptr) return timing;
  RECT area{};
  GetClientRect(header, &area);
  const LPARAM at = MAKELPARAM(40, (area.top + area.bottom) / 2);
  const auto start = Clock::now();
  AnswerSampler sampler(main, start);
  PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(header, WM_LBUTTONUP, 0, at);
  while (MillisecondsSince(start) < 60000) {
    if (HeaderArrow(header) == arrow) {
      timing.ms = MillisecondsSince(start);
      break;
    }
    Sleep(5);
  }
  const auto& answers = sampler.Stop();
  timing.longest_ms = answers.empty() ? 0.0 : answers.front().second;
  return timing;
}

struct DialogSearch {
  DWORD process;
  int button;  // a button the dialog must have; 0 for any dialog
  HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[32];
  GetClassNameA(window, name, sizeof name);
  if (process != search.process || lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (search.button != 0 && GetDlgItem(window, search.button) == nullptr) return TRUE;
  search.found = window;
  return FALSE;
}

// A dialog box the window's process shows (with the button `button`, where
// not 0); null when none shows within `timeout_ms`.
HWND WaitForDialogOf(HWND main, double timeout_ms, int button = 0) {
  DialogSearch search{0, button, nullptr};
  GetWindowThreadProcessId(main, &search.process);
  const auto start = Clock::now();
  for (;;) {
    search.found = nullptr;
    EnumWindows(&FindProcessDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (MillisecondsSince(start) >= timeout_ms) return nullptr;
    Sleep(20);
  }
}

// Under Wine the save dialog itself takes about 2 s to go after its OK (its
// Cancel as long), the window's thread held meanwhile: the writing is timed
// from the status line's "正在导出" on, which the window shows once the dialog
// has gone.
struct ExportTiming {
  double ms = -1;                // the save dialog's OK until the status line tells the end; -1: it never did
  double writing_ms = -1;        // of that, from the status line's "正在导出" on; -1: too short to be seen
  double longest_ms = 0;         // the longest the window took to answer from the OK on
  double longest_writing_ms = 0; // of those asked from "正在导出" on
  std::string status;            // the status line at the end
};

// The result list's menu item 导出结果列表…, the save dialog answered with
// `path` (in the code page) and the type at `type_index`, timed from its OK
// until the status line tells the end of the export.
ExportTiming ExportAndTime(HWND main, const std::string& path, int type_index) {
  ExportTiming timing;
  HWND status = StatusLabel(main);
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(quellor::app::ids::结果菜单_导出结果列表, 0), 0);
  HWND dialog = WaitForDialogOf(main, 30000);
  if (dialog == nullptr || status == nullptr) {
    std::fprintf(stderr, "window-driver: no save dialog\n");
    return timing;
  }
  // Wine's dialog names its file in an edit box (edt1) or in a combo box
  // (cmb13); it may show before its controls are all there.
  HWND name = nullptr;
  for (const auto shown = Clock::now(); name == nullptr && MillisecondsSince(shown) < 10000; Sleep(20)) {
    name = GetDlgItem(dialog, edt1);
    if (name == nullptr) name = GetDlgItem(dialog, cmb13);
  }
  if (name == nullptr) {
    char title[256] = {};
    GetWindowTextA(dialog, title, sizeof title);
    std::fprintf(stderr, "window-driver: the dialog \"%s\" has no name box\n", title);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      char name_of[64] = {};
      GetClassNameA(child, name_of, sizeof name_of);
      std::fprintf(stderr, "  child %s id %d\n", name_of, GetDlgCtrlID(child));
    }
    return timing;
  }
  // The type first: choosing one may change the name box's extension.
  HWND types = GetDlgItem(dialog, cmb1);
  if (types != nullptr) {
    // As a choice in the list ends: Wine's dialog takes the type at CBN_SELENDOK.
    SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(type_index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
  }
  std::wstring wide(path.size() + 1, L'\0');
  const int units = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                                        static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(std::max(units, 0)));
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  // An empty status line, so that an earlier export's end is not taken for this one's.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(status, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_NORMAL, 10000, &ignored);
  const auto start = Clock::now();
  Clock::time_point writing{};
  AnswerSampler sampler(main, start);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  bool replacing_asked = false;
  while (MillisecondsSince(start) < 10 * 60 * 1000.0) {
    // A file of that name is there: the dialog asks whether to replace it, and the answer is yes.
    if (!replacing_asked && writing == Clock::time_point{}) {
      if (HWND question = WaitForDialogOf(main, 0, IDYES)) {
        PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        replacing_asked = true;
      }
    }
    if (!ReadText(status, timing.status)) continue;
    if (writing == Clock::time_point{} && StartsWith(timing.status, "正在导出")) writing = Clock::now();
    if (StartsWith(timing.status, "已导出") || StartsWith(timing.status, "无法导出") ||
        StartsWith(timing.status, "内存不足")) {
      timing.ms = MillisecondsSince(start);
      if (writing != Clock::time_point{}) timing.writing_ms = MillisecondsSince(writing);
      break;
    }
    Sleep(2);
  }
  const auto& answers = sampler.Stop();
  timing.longest_ms = answers.empty() ? 0.0 : answers.front().second;
  if (writing != Clock::time_point{}) {
    const double writing_from = std::chrono::duration<double, std::milli>(writing - start).count();
    for (const auto& [when, took] : answers) {
      if (when >= writing_from) timing.longest_writing_ms = std::max(timing.longest_writing_ms, took);
    }
  }
  return timing;
}

int Search(HWND main) {
  HWND search = Child(main, "Button", "立即搜索");
  HWND status = StatusLabel(main);
  if (search == nullptr || status == nullptr) {
    std::fprintf(stderr, "window-driver: a control is missing\n");
    return 1;
  }
  std::string text;
  const auto start = Clock::now();
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search), BN_CLICKED), reinterpret_cast<LPARAM>(search));
  if (!WaitUntilFinished(status, start, text)) return 1;
  std::printf("rows=%d\n", static_cast<int>(SendMessageA(ResultList(main), LVM_GETITEMCOUNT, 0, 0)));
  return 0;
}

int Export(HWND main, const std::string& path, const std::string& type) {
  const ExportTiming timing = ExportAndTime(main, path, type == "txt" ? 1 : 0);
  std::printf("export_ms=%.1f\nwriting_ms=%.1f\nlongest_answer_ms=%.1f\nlongest_answer_writing_ms=%.1f\nstatus=%s\n",
              timing.ms, timing.writing_ms, timing.longest_ms, timing.longest_writing_ms, timing.status.c_str());
  return timing.ms >= 0 && StartsWith(timing.status, "已导出") ? 0 : 1;
}

int Bench(HWND main, const std::string& keyword, const std::string& find_exe, const std::string& names,
          const std::string& root, const std::string& export_path) {
  HWND keywords = Child(main, "Edit", nullptr);
  HWND search = Child(main, "Button", "立即搜索");
  HWND tick_all = Child(main, "Button", "全部勾选");
  HWND tick_none = Child(main, "Button", "取消全部勾选");
  HWND report = Child(main, "Button", "未搜到的文件列表");
  HWND status = StatusLabel(main);
  HWND list = ResultList(main);
  if (!keywords || !search || !tick_all || !tick_none || !report || !status || !list) {
    std::fprintf(stderr, "window-driver: a control is missing\n");
    return 1;
  }
  const std::string find_line = "\"" + find_exe + "\" --fuzzy --names \"" + names + "\" \"" + root + "\"";
  RunAndTime(find_line);  // the tree into the cache, for both

  SendMessageA(keywords, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(keyword.c_str()));
  const auto search_start = Clock::now();
  AnswerSampler sampler(main, search_start);
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search), BN_CLICKED), reinterpret_cast<LPARAM>(search));
  std::string text;
  const bool finished = WaitUntilFinished(status, search_start, text);
  const double window_ms = MillisecondsSince(search_start);
  const auto& answers = sampler.Stop();
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  if (!finished) {
    std::fprintf(stderr, "window-driver: the search did not finish; status: %s\n", text.c_str());
    return 1;
  }
  const double find_ms = RunAndTime(find_line);
  if (find_ms < 0) return 1;

  const double tick_all_ms = ClickAndTime(main, tick_all);
  const bool all_ticked = rows > 0 && IsTicked(list, 0) && IsTicked(list, rows - 1);
  const double tick_none_ms = ClickAndTime(main, tick_none);
  const bool none_ticked = rows > 0 && !IsTicked(list, 0) && !IsTicked(list, rows - 1);
  const double report_ms = ClickAndTime(main, report);
  CloseReportViewer();
  const SortTiming sorted_up = ClickHeaderAndTime(main, list, HDF_SORTUP);
  const SortTiming sorted_down = ClickHeaderAndTime(main, list, HDF_SORTDOWN);
  const SortTiming sorted_back = ClickHeaderAndTime(main, list, 0);
  ExportTiming exported;
  long long exported_bytes = -1;
  if (!export_path.empty()) {
    DeleteFileA(export_path.c_str());  // no question about replacing it
    exported = ExportAndTime(main, export_path, 0);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(export_path.c_str(), GetFileExInfoStandard, &data)) {
      exported_bytes = static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    }
  }

  PROCESS_MEMORY_COUNTERS memory{};
  DWORD process_id = 0;
  GetWindowThreadProcessId(main, &process_id);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id);
  const bool have_memory = process != nullptr && GetProcessMemoryInfo(process, &memory, sizeof memory);
  if (process != nullptr) CloseHandle(process);

  std::printf("rows listed                                   %d\n", rows);
  std::printf("status at the end                             %s\n", text.c_str());
  std::printf("longest answer while rows streamed in         %.1f ms over %d samples, %d unanswered (target <= 100 ms)\n",
              answers.empty() ? 0.0 : answers.front().second, static_cast<int>(answers.size()), sampler.unanswered());
  std::string slowest;
  for (std::size_t i = 0; i < std::min<std::size_t>(answers.size(), 5); ++i) {
    char one[64];
    std::snprintf(one, sizeof one, "%s%.0f ms at %.2f s", i == 0 ? "" : ", ", answers[i].second,
                  answers[i].first / 1000);
    slowest += one;
  }
  const auto over = [&](double limit) {
    return std::count_if(answers.begin(), answers.end(), [&](const auto& a) { return a.second > limit; });
  };
  std::printf("slowest answers                               %s\n", slowest.c_str());
  std::printf("answers over 50 / 100 ms                      %d / %d\n", static_cast<int>(over(50)),
              static_cast<int>(over(100)));
  std::printf("search in the window                          %.2f s\n", window_ms / 1000);
  std::printf("quellor-find.exe, same search                 %.2f s\n", find_ms / 1000);
  std::printf("window / quellor-find.exe                     %.2f (target <= 1.3)\n", window_ms / find_ms);
  std::printf("tick all (全部勾选)                           %.1f ms%s (target <= 300 ms)\n", tick_all_ms,
              all_ticked ? "" : " ROWS NOT TICKED");
  std::printf("tick none (取消全部勾选)                      %.1f ms%s (target <= 300 ms)\n", tick_none_ms,
              none_ticked ? "" : " ROWS STILL TICKED");
  std::printf("not-found report                              %.1f ms (target <= 1000 ms)\n", report_ms);
  for (const auto& [what, timing] : {std::pair{"sort by path (header click)  ", sorted_up},
                                     std::pair{"the other way (second click) ", sorted_down},
                                     std::pair{"the order found (third click)", sorted_back}}) {
    std::printf("%s                 %.1f ms (target <= 1000 ms), longest answer meanwhile %.1f ms (target <= 100 ms)\n",
                what, timing.ms, timing.longest_ms);
  }
  if (!export_path.empty()) {
    std::printf("export as CSV (导出结果列表…)                 %.1f ms writing (target <= 3000 ms), longest answer "
                "meanwhile %.1f ms (target <= 100 ms), %.1f MiB\n",
                exported.writing_ms, exported.longest_writing_ms, static_cast<double>(exported_bytes) / 1048576.0);
    std::printf("  from the save dialog's OK (Wine's dialog    %.1f ms, longest answer %.1f ms\n"
                "  takes about 2 s to go, its Cancel as long)\n",
                exported.ms, exported.longest_ms);
    std::printf("status after the export                       %s\n", exported.status.c_str());
  }
  if (have_memory) {
    std::printf("window process peak working set               %.1f MiB\n", memory.PeakWorkingSetSize / 1048576.0);
    std::printf("window process private bytes                  %.1f MiB (target <= 250 MiB)\n",
                memory.PagefileUsage / 1048576.0);
  }
  PostMessageA(main, WM_CLOSE, 0, 0);
  return 0;
}

struct BoxFill {
  double full_ms = 0;     // when the box last grew, after the window first answered
  double longest_ms = 0;  // the longest the window took to answer meanwhile
};

// Waits until the names box has stopped growing for a second: a long saved
// list goes into it in slices after the window opens.
BoxFill WaitForFullBox(HWND box) {
  BoxFill fill;
  const auto start = Clock::now();
  DWORD_PTR lines = 0;
  auto last_change = start;
  while (MillisecondsSince(last_change) < 1000 && MillisecondsSince(start) < 600000) {
    const auto asked = Clock::now();
    DWORD_PTR now_lines = 0;
    SendMessageTimeoutA(box, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL, 60000, &now_lines);
    fill.longest_ms = std::max(fill.longest_ms, MillisecondsSince(asked));
    if (now_lines != lines) {
      lines = now_lines;
      last_change = Clock::now();
      fill.full_ms = MillisecondsSince(start);
    }
    Sleep(20);
  }
  return fill;
}

// Starts the program, times it until its window answers and until its names
// box is full, closes it and times it until its process has ended.
int OpenClose(const std::string& program) {
  if (FindWindowA("QuellorMainWindow", nullptr) != nullptr) {
    std::fprintf(stderr, "window-driver: a Quellor window is already open\n");
    return 1;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = "\"" + program + "\"";
  const auto start = Clock::now();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "window-driver: cannot start %s\n", program.c_str());
    return 1;
  }
  CloseHandle(process.hThread);
  HWND main = nullptr;
  std::string ignored;
  while (MillisecondsSince(start) < 120000) {
    main = FindWindowA("QuellorMainWindow", nullptr);
    if (main != nullptr && IsWindowVisible(main) && ReadText(main, ignored)) break;
    main = nullptr;
    Sleep(2);
  }
  const double open_ms = MillisecondsSince(start);
  if (main == nullptr) {
    std::fprintf(stderr, "window-driver: the window did not open\n");
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return 1;
  }
  const BoxFill fill = WaitForFullBox(Child(main, "Edit", nullptr));
  const auto closing = Clock::now();
  PostMessageA(main, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
  const double close_ms = MillisecondsSince(closing);
  CloseHandle(process.hProcess);
  if (!ended) {
    std::fprintf(stderr, "window-driver: the window did not close\n");
    return 1;
  }
  std::printf("open_ms=%.1f\nbox_full_ms=%.1f\nlongest_answer_filling_ms=%.1f\nclose_ms=%.1f\n", open_ms,
              open_ms + fill.full_ms, fill.longest_ms, close_ms);
  return 0;
}

bool PutTextOnClipboard(const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  bool done = false;
  if (memory != nullptr) {
    char* bytes = static_cast<char*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), bytes);
    bytes[text.size()] = '\0';
    GlobalUnlock(memory);
    done = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!done) GlobalFree(memory);
  }
  CloseClipboard();
  return done;
}

// Sends `message` to the box as a keystroke or a paste would come, and returns
// once the box has handled it, repainted and the window answers again.
double TimeEdit(HWND main, HWND box, UINT message, WPARAM wparam) {
  const auto start = Clock::now();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(box, message, wparam, 0, SMTO_NORMAL, 60000, &ignored);
  RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW);
  std::string text;
  ReadText(main, text);
  return MillisecondsSince(start);
}

LRESULT BoxLength(HWND box) {
  DWORD_PTR length = 0;
  SendMessageTimeoutA(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length);
  return static_cast<LRESULT>(length);
}

void SelectInBox(HWND box, LRESULT from, LRESULT to) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(box, EM_SETSEL, static_cast<WPARAM>(from), to, SMTO_NORMAL, 60000, &ignored);
}

// Typing ten characters and taking them back, at the end of the box and at
// its start; then pasting 100 lines at its start and deleting them. The box
// ends as it was. Prints the slowest keystroke and the paste.
bool TimeTypingAndPasting(HWND main, HWND box) {
  const LRESULT length = BoxLength(box);
  double slowest_end = 0;
  double slowest_start = 0;
  for (const bool at_end : {true, false}) {
    const LRESULT caret = at_end ? length : 0;
    SelectInBox(box, caret, caret);
    double& slowest = at_end ? slowest_end : slowest_start;
    for (int i = 0; i < 10; ++i) slowest = std::max(slowest, TimeEdit(main, box, WM_CHAR, 'x'));
    for (int i = 0; i < 10; ++i) slowest = std::max(slowest, TimeEdit(main, box, WM_CHAR, VK_BACK));
  }
  std::string pasted;
  for (int i = 0; i < 100; ++i) pasted += "PASTED_" + std::to_string(i) + "\r\n";
  if (!PutTextOnClipboard(pasted)) {
    std::fprintf(stderr, "window-driver: cannot put text on the clipboard\n");
    return false;
  }
  SelectInBox(box, 0, 0);
  const double paste_ms = TimeEdit(main, box, WM_PASTE, 0);
  const bool pasted_whole = BoxLength(box) == length + static_cast<LRESULT>(pasted.size());
  SelectInBox(box, 0, static_cast<LRESULT>(pasted.size()));
  const double delete_ms = TimeEdit(main, box, WM_CLEAR, 0);
  if (!pasted_whole || BoxLength(box) != length) {
    std::fprintf(stderr, "window-driver: the box did not take the paste as expected\n");
    return false;
  }
  std::printf("keystroke_end_ms=%.1f\nkeystroke_start_ms=%.1f\npaste_100_lines_ms=%.1f\ndelete_100_lines_ms=%.1f\n",
              slowest_end, slowest_start, paste_ms, delete_ms);
  return true;
}

// The search button clicked and timed to the search's end: the click's
// answer and the longest answer meanwhile. The search's time in `window_ms`.
bool TimeNamesSearch(HWND main, HWND search, HWND status, HWND list, double& window_ms) {
  std::string text;
  const auto search_start = Clock::now();
  const double click_ms = ClickAndTime(main, search);
  AnswerSampler sampler(main, search_start);
  const bool finished = WaitUntilFinished(status, search_start, text);
  window_ms = MillisecondsSince(search_start);
  const auto& answers = sampler.Stop();
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  if (!finished) {
    std::fprintf(stderr, "window-driver: the search did not finish; status: %s\n", text.c_str());
    return false;
  }
  std::printf("rows=%d\nclick_ms=%.1f\nlongest_answer_ms=%.1f\nunanswered=%d\n", rows, click_ms,
              answers.empty() ? 0.0 : answers.front().second, sampler.unanswered());
  return true;
}

// The same names searched by quellor-find.exe, against the window's `window_ms`.
bool TimeFindAgainst(const std::string& find_line, double window_ms) {
  const double find_ms = RunAndTime(find_line);
  if (find_ms < 0) return false;
  std::printf("window_s=%.2f\nfind_s=%.2f\nwindow_over_find=%.2f\n", window_ms / 1000, find_ms / 1000,
              window_ms / find_ms);
  return true;
}

// `at_once`: the search is clicked as soon as the box shows its first lines,
// while the rest still goes in; then the box must end up holding every name.
int NamesBench(HWND main, const std::string& find_exe, const std::string& names, const std::string& root,
               bool at_once) {
  HWND box = Child(main, "Edit", nullptr);
  HWND search = Child(main, "Button", "立即搜索");
  HWND report = Child(main, "Button", "未搜到的文件列表");
  HWND status = StatusLabel(main);
  HWND list = ResultList(main);
  if (!box || !search || !report || !status || !list) {
    std::fprintf(stderr, "window-driver: a control is missing\n");
    return 1;
  }
  const std::string find_line = "\"" + find_exe + "\" --names \"" + names + "\" \"" + root + "\"";
  if (at_once) {
    DWORD_PTR lines = 0;
    for (const auto start = Clock::now(); lines < 2 && MillisecondsSince(start) < 60000; Sleep(1)) {
      SendMessageTimeoutA(box, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL, 60000, &lines);
    }
    // As soon as a person could click: the window has shown itself (its first
    // paint, which costs Wine tens of milliseconds, is no answer to a click);
    // a few thousand of the names are in by then.
    Sleep(250);
    double window_ms = 0;
    if (!TimeNamesSearch(main, search, status, list, window_ms)) return 1;
    // quellor-find.exe runs once the box is full, so that nothing of the window competes with it.
    DWORD_PTR all = 0;
    WaitForFullBox(box);
    SendMessageTimeoutA(box, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL, 60000, &all);
    std::printf("box_lines=%lu\n", static_cast<unsigned long>(all));
    if (!TimeFindAgainst(find_line, window_ms)) return 1;
  } else {
    RunAndTime(find_line);  // the tree into the cache, for both
    WaitForFullBox(box);
    if (!TimeTypingAndPasting(main, box)) return 1;
    double window_ms = 0;
    if (!TimeNamesSearch(main, search, status, list, window_ms) || !TimeFindAgainst(find_line, window_ms)) return 1;
    const double report_ms = ClickAndTime(main, report);
    CloseReportViewer();
    std::printf("report_ms=%.1f\n", report_ms);
  }
  PostMessageA(main, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // "--window HANDLE" first: that window, where other test programs may show
  // windows of the same class meanwhile.
  HWND given = nullptr;
  if (argc > 2 && std::string(argv[1]) == "--window") {
    given = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(argv[2], nullptr, 16)));
    argv += 2;
    argc -= 2;
  }
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "open-close" && argc == 3) return OpenClose(argv[2]);
  HWND main = given != nullptr ? (IsWindow(given) ? given : nullptr) : WaitForMainWindow();
  if (main == nullptr) {
    std::fprintf(stderr, "window-driver: no Quellor window\n");
    return 1;
  }
  if (verb == "read-row" && argc == 3) return ReadRow(main, std::atoi(argv[2]));
  if (verb == "read-row-wide" && argc == 3) return ReadRowWide(main, std::atoi(argv[2]));
  if (verb == "set-check" && argc == 4) return SetCheck(main, std::atoi(argv[2]), std::atoi(argv[3]) != 0);
  if (verb == "search" && argc == 2) return Search(main);
  if (verb == "export" && argc == 4) return Export(main, argv[2], argv[3]);
  if (verb == "bench" && (argc == 6 || argc == 7)) {
    return Bench(main, argv[2], argv[3], argv[4], argv[5], argc == 7 ? argv[6] : "");
  }
  if (verb == "names-bench" && argc == 5) return NamesBench(main, argv[2], argv[3], argv[4], false);
  if (verb == "names-at-once" && argc == 5) return NamesBench(main, argv[2], argv[3], argv[4], true);
  std::fprintf(stderr,
               "usage: window-driver read-row ROW | read-row-wide ROW | set-check ROW 0|1 | search | export PATH csv|txt\n"
               "       | bench KEYWORD FIND_EXE NAMES_FILE ROOT [EXPORT_PATH]\n"
               "       | open-close QUELLOR_EXE | names-bench FIND_EXE NAMES_FILE ROOT\n"
               "       | names-at-once FIND_EXE NAMES_FILE ROOT\n");
  return 2;
}
