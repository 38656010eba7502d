#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>

#include "platform/shell.h"
#include "platform/win32/bound_function_win32.h"

namespace quellor::platform {

namespace {

class Win32Shell final : public Shell {
 public:
  bool Open(const std::string& path, ShellVerb verb) override {
    const char* operation = verb == ShellVerb::Open ? "open" : nullptr;
    const HINSTANCE result = QUELLOR_BOUND(shell32, ShellExecuteA)(nullptr, operation, path.c_str(), nullptr, nullptr,
                                                                   SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<std::intptr_t>(result) > 32;
  }

  bool ShowInFolder(const std::string& path) override {
    PIDLIST_ABSOLUTE item = QUELLOR_BOUND(shell32, ILCreateFromPathA)(path.c_str());
    if (item == nullptr) return false;
    const HRESULT result = QUELLOR_BOUND(shell32, SHOpenFolderAndSelectItems)(item, 0, nullptr, 0);
    QUELLOR_BOUND(shell32, ILFree)(item);
    return SUCCEEDED(result);
  }
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace quellor::platform
