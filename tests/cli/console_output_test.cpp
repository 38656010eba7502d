// quellor-find's texts on a real Windows console: every character exactly,
// a name beside the program's own words, whatever the code page. And
// quellor-find.exe run with no console at all, as a scheduled task or a
// program without a window starts it.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/stream_text.h"
#include "platform/win32/wide_text_win32.h"
#include "support/foreign_names.h"
#include "support/temp_tree.h"

namespace quellor::cli {
namespace {

// The console's lines from `first` on, trailing blanks removed.
std::vector<std::wstring> ConsoleLines(HANDLE console, SHORT first, SHORT count) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(console, &info);
  std::vector<std::wstring> lines;
  for (SHORT row = first; row < first + count; ++row) {
    std::wstring line(static_cast<std::size_t>(info.dwSize.X), L' ');
    DWORD got = 0;
    ReadConsoleOutputCharacterW(console, line.data(), static_cast<DWORD>(line.size()), COORD{0, row}, &got);
    line.resize(got);
    while (!line.empty() && line.back() == L' ') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(ConsoleOutput, PathsAndMessagesReachAConsoleExactly) {
  FreeConsole();
  if (!AllocConsole()) GTEST_SKIP() << "no console can be had here";
  // Opened as a console program's standard output is: for reading and writing.
  const auto open_console = [] {
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
  };
  HANDLE console = open_console();
  ASSERT_NE(console, INVALID_HANDLE_VALUE);
  std::FILE* stream = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(open_console()), 0), "w");
  ASSERT_NE(stream, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO start{};
  ASSERT_TRUE(GetConsoleScreenBufferInfo(console, &start));

  StreamText out(stream);
  std::vector<std::wstring> expected;
  for (const auto& invoice : testing::SevenInvoices()) {
    const std::string path = "C:\\" + invoice.name;
    EXPECT_EQ(out.WritePath(path, '\n'), PathWritten::Written) << invoice.name;
    expected.push_back(platform::win32::WideName(path).value());
  }
  EXPECT_TRUE(out.Write(text::ShownText("搜索完毕：").AddName(testing::kJoerg).AddWords("\n")));
  expected.push_back(platform::win32::WideText("搜索完毕：") + L"J\u00F6rg-Rechnung.pdf");
  std::fflush(stream);
  EXPECT_EQ(ConsoleLines(console, start.dwCursorPosition.Y, static_cast<SHORT>(expected.size())), expected);
  std::fclose(stream);
  CloseHandle(console);
  FreeConsole();
}

// Runs quellor-find.exe detached from any console, its standard output (and
// error) going to `output` when given, else nowhere; its exit status.
DWORD RunDetached(const std::wstring& arguments, const std::wstring& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = output.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (file != INVALID_HANDLE_VALUE) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
  }
  // The program as Wine's Windows side sees it (drive Z:).
  std::wstring program = L"Z:" + platform::win32::WideName(QUELLOR_FIND).value();
  std::replace(program.begin(), program.end(), L'/', L'\\');
  std::wstring line = L"\"" + program + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  DWORD status = 99;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return status;
}

TEST(QuellorFindWithoutAConsole, WritesAFileAsAPipeAndDoesItsWorkWithNoOutputAtAll) {
  testing::TempTree t;
  for (const auto& invoice : testing::SevenInvoices()) t.Write("inv/" + invoice.name, invoice.name);
  t.Write("names.txt", "rechnung\r\n");
  t.Folder("copies");
  const auto wide = [](const std::string& utf8) { return platform::win32::WideName(utf8).value(); };
  const std::wstring common = L"-q --fuzzy --names \"" + wide(t.Path("names.txt")) + L"\" ";
  const std::wstring root = L" \"" + wide(t.Path("inv")) + L"\"";

  // Output to a file: the code page's paths, the others named on the same file; then --utf8.
  EXPECT_EQ(RunDetached(common + L"--utf8" + root, wide(t.Path("out.txt"))), 0u);
  for (const auto& invoice : testing::SevenInvoices()) {
    EXPECT_NE(t.Read("out.txt")->find(t.Path("inv/" + invoice.name) + "\n"), std::string::npos) << invoice.name;
  }
  EXPECT_EQ(RunDetached(common.substr(0, common.size() - 1) + root, wide(t.Path("out.txt"))), 1u);
  const std::string ansi = t.Read("out.txt").value_or("");
  EXPECT_EQ(ansi.find('?'), std::string::npos);
  EXPECT_NE(ansi.find(*platform::win32::AnsiText(wide(t.Path("inv/" + testing::SevenInvoices()[4].name)))),
            std::string::npos);
  EXPECT_NE(ansi.find("<U+00F6>"), std::string::npos) << ansi;

  // No output at all: the results cannot be written (status 1), and the copy and the ledger are made all the same.
  EXPECT_EQ(RunDetached(common + L"--ledger \"" + wide(t.Path("ledger.csv")) + L"\" --copy-to \"" +
                            wide(t.Path("copies")) + L"\" --journal \"" + wide(t.Path("journal")) + L"\"" + root,
                        L""),
            1u);
  for (const auto& invoice : testing::SevenInvoices()) EXPECT_EQ(t.Read("copies/" + invoice.name), invoice.name);
  EXPECT_NE(t.Read("ledger.csv").value_or("").find("rechnung,1,7,"), std::string::npos);
}

}  // namespace
}  // namespace quellor::cli
