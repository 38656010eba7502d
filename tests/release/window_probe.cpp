// Plays the user in the release check: waits for Quellor's main window,
// prints its caption, clicks the "保存关键字" check box, then closes the window.
// Exit status: 0 done; 1 no main window within a minute; 2 no such check box,
// or the click changed nothing; 3 the window did not close.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kMainWindowClass[] = "QuellorMainWindow";
constexpr char kCheckBoxCaption[] = "保存关键字";

struct ButtonSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchButton(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ButtonSearch*>(param);
  char class_name[64];
  char text[256];
  if (GetClassNameA(child, class_name, sizeof class_name) > 0 && lstrcmpiA(class_name, "Button") == 0 &&
      GetWindowTextA(child, text, sizeof text) > 0 && std::strcmp(text, search->caption) == 0) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForMainWindow() {
  for (int tries = 0; tries < 600; ++tries) {
    HWND window = FindWindowA(kMainWindowClass, nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int main() {
  HWND window = WaitForMainWindow();
  if (window == nullptr) {
    std::fprintf(stderr, "window_probe: no main window appeared\n");
    return 1;
  }
  char caption[512];
  GetWindowTextA(window, caption, sizeof caption);
  std::printf("%s\n", caption);
  std::fflush(stdout);

  ButtonSearch search{kCheckBoxCaption, nullptr};
  EnumChildWindows(window, MatchButton, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    std::fprintf(stderr, "window_probe: no check box of that caption\n");
    return 2;
  }
  const LRESULT before = SendMessageA(search.found, BM_GETCHECK, 0, 0);
  SendMessageA(search.found, BM_CLICK, 0, 0);
  if (SendMessageA(search.found, BM_GETCHECK, 0, 0) == before) {
    std::fprintf(stderr, "window_probe: the click did not change the check box\n");
    return 2;
  }

  PostMessageA(window, WM_CLOSE, 0, 0);
  for (int tries = 0; tries < 300; ++tries) {
    if (!IsWindow(window)) return 0;
    Sleep(100);
  }
  std::fprintf(stderr, "window_probe: the window did not close\n");
  return 3;
}
