#include "app/window_test_support.h"

#include <shlobj.h>

#include "app/message_loop.h"

#include <cstring>
#include <iterator>
#include <vector>
#include <fstream>

#include <gtest/gtest.h>

namespace quellor::testing {

namespace {
// Drag and drop and the shell need OLE on the test thread, as on the program's.
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);
}  // namespace

void PumpMessages(std::chrono::milliseconds duration, HWND dialog_window) {
  PumpUntil([] { return false; }, duration, dialog_window);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, HWND dialog_window) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      app::DispatchQueuedMessage(dialog_window != nullptr && IsWindow(dialog_window) ? dialog_window : nullptr, message);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class OneFormatData final : public IDataObject {
 public:
  OneFormatData(CLIPFORMAT format, std::string bytes) : format_(format), bytes_(std::move(bytes)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *object = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes_.size());
    if (memory == nullptr) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(memory), bytes_.data(), bytes_.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return (format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL)) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  ~OneFormatData() = default;
  ULONG references_ = 1;
  CLIPFORMAT format_;
  std::string bytes_;
};
#pragma GCC diagnostic pop

}  // namespace

IDataObject* NewFileDropData(const std::vector<std::string>& paths, bool wide) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.fWide = wide ? TRUE : FALSE;
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  for (const std::string& path : paths) {
    if (wide) {
      const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
      std::wstring w(static_cast<std::size_t>(length), L'\0');
      MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, w.data(), length);  // NUL included
      bytes.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    } else {
      bytes.append(path.c_str(), path.size() + 1);
    }
  }
  bytes.append(wide ? 2 : 1, '\0');
  return new OneFormatData(CF_HDROP, bytes);
}

IDataObject* NewTextData(const std::string& text) { return new OneFormatData(CF_TEXT, text + '\0'); }

void PutTextOnClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  EXPECT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
  CloseClipboard();
}

bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT area;
  GetWindowRect(window, &area);
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC window_dc = GetWindowDC(window);
  HDC memory_dc = CreateCompatibleDC(window_dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memory_dc, bitmap);
    ok = BitBlt(memory_dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory_dc, old);
  }
  if (ok) {
    const DWORD row = ((width * 3 + 3) / 4) * 4;
    info.bmiHeader.biSizeImage = row * height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(pixels), info.bmiHeader.biSizeImage);
    ok = static_cast<bool>(out);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory_dc);
  ReleaseDC(window, window_dc);
  return ok;
}

bool PressKeys(WORD key, std::initializer_list<WORD> held) {
  std::vector<INPUT> inputs;
  const auto add = [&](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The keys of the block beside the letters, not the number pad's twins.
    switch (vk) {
      case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
      case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_APPS:
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
      default:
        break;
    }
    inputs.push_back(input);
  };
  for (WORD modifier : held) add(modifier, false);
  add(key, false);
  add(key, true);
  for (auto modifier = std::rbegin(held); modifier != std::rend(held); ++modifier) add(*modifier, true);
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

std::string WinePath(const std::string& unix_path) {
  std::string path = "Z:" + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Text(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE CaptionExtent(HWND control, const char* caption) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption, static_cast<int>(std::strlen(caption)), &extent);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return extent;
}

namespace {

SeenMenu* g_seen_menu = nullptr;

// Runs inside the menu's own loop: reads the open pop-up menu, then closes it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (popup == nullptr || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    g_seen_menu->items.emplace_back(text);
  }
  GetWindowRect(popup, &g_seen_menu->place);
  EndMenu();
}

}  // namespace

SeenMenu MenuOpenedBy(const std::function<void()>& open) {
  SeenMenu seen;
  g_seen_menu = &seen;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &ReadOpenMenu);
  open();
  KillTimer(nullptr, timer);
  g_seen_menu = nullptr;
  return seen;
}

}  // namespace quellor::testing
