// How the program writes the texts it keeps for the user (the window's
// stored lists, an exported list of paths), so that every file an older
// version wrote reads as it always did: in the system's text encoding (code
// page 936 on Windows) whenever the whole text fits it; as UTF-8 with a
// byte-order mark when it holds a character that encoding cannot write.
#pragma once

#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace quellor::files {

struct StoredEncoding {
  platform::TextEncoding encoding = platform::TextEncoding::Ansi;
  bool byte_order_mark = false;
};

// The encoding a file holding `text` (in the name encoding) is written in.
// A text that is not valid in the name encoding keeps `system`: its bytes
// are written as they are, never changed into other characters.
StoredEncoding StoredEncodingOf(std::string_view text, platform::TextEncoding system);

// `text` in `encoding` (without a byte-order mark): converted where it can
// be, else its bytes as they are. A file's pieces are written one by one with
// this once StoredEncodingOf has decided for each piece.
std::string StoredTextIn(std::string_view text, platform::TextEncoding encoding);

// The bytes of a file holding `text`.
std::string StoredTextBytes(std::string_view text, platform::TextEncoding system);

}  // namespace quellor::files
