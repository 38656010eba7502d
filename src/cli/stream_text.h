// quellor-find's texts as its standard streams take them. A Windows console
// gets UTF-16 and shows every character exactly. A file or pipe gets the
// system's text encoding (the ANSI code page on Windows, as scripts expect):
// the program's words as they are, a name in that encoding, and in a message
// a character it cannot write as <U+XXXX>, never as '?'. On POSIX words and
// names are bytes of one encoding and go out as they are.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "text/shown_text.h"

namespace quellor::cli {

enum class PathWritten {
  Written,
  NotInCodePage,  // the system's text encoding cannot write it: nothing was written
  Failed,         // the stream refused it
};

class StreamText {
 public:
  // Looks once whether `stream` is a console. With `names_as_utf8` (--utf8) a
  // file or pipe gets names as UTF-8.
  explicit StreamText(std::FILE* stream, bool names_as_utf8 = false);

  // A message or status text; false when the stream refused it.
  bool Write(const text::ShownText& text);
  // A found path and the byte that ends it: to a console exact; else as UTF-8
  // (names_as_utf8), else in the system's text encoding when it can write it.
  PathWritten WritePath(std::string_view path, char end);
  std::FILE* file() const { return stream_; }

 private:
  bool WriteBytes(std::string_view bytes);
  std::string NameBytes(std::string_view name) const;
  std::FILE* stream_;
  bool console_;
  bool names_as_utf8_;
};

// `name` in the system's text encoding, a character it cannot write as <U+XXXX>.
std::string NameForMessage(std::string_view name);

// One message on `stream` (standard error): words and names as above.
bool WriteText(std::FILE* stream, const text::ShownText& text);

}  // namespace quellor::cli
