// A names file as people save it: UTF-8 with or without a byte-order mark,
// UTF-16 in either byte order, or the ANSI code page; its names converted to
// what this platform's file names are in, and texts written back in the
// file's own encoding.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace quellor::files {

struct NameLine {
  std::size_t line = 0;                 // from 1; blank lines count too
  std::string original;                 // the line's bytes in the file, without its line break
  std::optional<std::u16string> text;   // empty when the bytes are not valid in the file's encoding
  std::optional<std::string> searched;  // in the platform's name encoding; empty when it cannot be
  std::string problem;                  // why the name is not searched for; empty when it is
};

struct NamesFile {
  platform::TextEncoding encoding = platform::TextEncoding::Ansi;
  bool byte_order_mark = false;
  std::vector<NameLine> names;  // the non-blank lines, in order
};

// A byte-order mark decides the encoding; without one, text that is valid
// UTF-8 and holds a byte above 0x7F is UTF-8, anything else the ANSI code
// page. Lines end in LF or CR LF; lines of spaces only (half-width or
// ideographic) are no names.
NamesFile ReadNamesFile(std::string_view bytes);

// `name` for a message or the console: in the platform's name encoding, any
// character it cannot hold written as <U+XXXX>.
std::string PrintableName(const NameLine& name);

// The lines, each followed by CR LF, in the file's encoding and with its
// byte-order mark; no bytes at all for no lines.
std::string TextLikeNamesFile(const NamesFile& file, const std::vector<std::string>& original_lines);

}  // namespace quellor::files
