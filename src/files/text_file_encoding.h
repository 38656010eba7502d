// Which encoding a text file that a person saved is in, as Notepad and Linux
// editors save them: a byte-order mark decides (UTF-8, UTF-16 LE or BE); what
// a file without one is, its reader says. The one reader of both the window's
// stored lists and quellor-find's names files.
#pragma once

#include <string_view>

#include "platform/text_encoding.h"

namespace quellor::files {

struct TextFileEncoding {
  platform::TextEncoding encoding = platform::TextEncoding::Ansi;
  bool byte_order_mark = false;
};

// What a file without a byte-order mark is taken to be.
enum class Unmarked {
  // `otherwise` alone: files every older version wrote.
  AsGiven,
  // UTF-8 when the bytes are valid UTF-8 holding a byte above 0x7F, else
  // `otherwise`: names files from any editor.
  Utf8WhenValid,
};

// The file's encoding; `bytes` loses its byte-order mark.
TextFileEncoding DetectTextFileEncoding(std::string_view& bytes, Unmarked unmarked,
                                        platform::TextEncoding otherwise);

// The byte-order mark of `encoding`; empty for the ANSI code page.
std::string_view ByteOrderMark(platform::TextEncoding encoding);

}  // namespace quellor::files
