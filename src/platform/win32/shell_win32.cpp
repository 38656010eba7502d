#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>

#include "platform/shell.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

class Win32Shell final : public Shell {
 public:
  bool Open(const std::string& path, ShellVerb verb) override {
    const std::optional<std::wstring> wide = win32::WideName(path);
    if (!wide) return false;
    const wchar_t* operation = verb == ShellVerb::Open ? L"open" : nullptr;
    const HINSTANCE result = QUELLOR_BOUND(shell32, ShellExecuteW)(nullptr, operation, wide->c_str(), nullptr,
                                                                   nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<std::intptr_t>(result) > 32;
  }

  bool ShowInFolder(const std::string& path) override {
    const std::optional<std::wstring> wide = win32::WideName(path);
    if (!wide) return false;
    PIDLIST_ABSOLUTE item = QUELLOR_BOUND(shell32, ILCreateFromPathW)(wide->c_str());
    if (item == nullptr) return false;
    const HRESULT result = QUELLOR_BOUND(shell32, SHOpenFolderAndSelectItems)(item, 0, nullptr, 0);
    QUELLOR_BOUND(shell32, ILFree)(item);
    return SUCCEEDED(result);
  }
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace quellor::platform
