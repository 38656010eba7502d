#include "platform/win32/bound_function_win32.h"

#include <atomic>

namespace quellor::platform::win32 {

namespace {

std::atomic<MissingExportReporter> reporter{nullptr};

[[noreturn]] void ReportAndExit(const std::string& text) {
  if (const MissingExportReporter report = reporter.load()) {
    report(text);
  } else {
    ShowRuntimeErrorBox(text);
  }
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

std::string RuntimeErrorText(std::string_view detail) {
  return std::string("运行时出错!\r\n\r\n错误信息：").append(detail);
}

void ShowRuntimeErrorBox(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), "错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

std::string MissingExportText(const char* library, const char* function) {
  return RuntimeErrorText(std::string("无法找到指定DLL库文件“") + library + "”中的输出命令“" + function + "”");
}

void SetMissingExportReporter(MissingExportReporter replacement) { reporter.store(replacement); }

FARPROC FindExport(const char* library, const char* function) {
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) module = LoadLibraryA(library);
  return module != nullptr ? GetProcAddress(module, function) : nullptr;
}

FARPROC BindExport(const char* library, const char* function) {
  const FARPROC address = FindExport(library, function);
  if (address == nullptr) ReportAndExit(MissingExportText(library, function));
  return address;
}

}  // namespace quellor::platform::win32
