// The system clipboard, as far as the result actions use it.
#pragma once

#include <memory>
#include <string_view>

namespace quellor::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content with `block`, a file drop list (header
  // and path list) offered as the file-list format and nothing else. True
  // when the clipboard took it.
  virtual bool PutDropList(std::string_view block) = 0;
  // Replaces the clipboard's content with `text` as plain text, for editors
  // and spreadsheets: in UTF-16 and in the ANSI code page, for programs that
  // read only that. True when the clipboard took it.
  virtual bool PutText(std::u16string_view text) = 0;
};

std::unique_ptr<Clipboard> MakeSystemClipboard();

}  // namespace quellor::platform
