// The texts the window keeps beside the program for the user (filemame.txt,
// path.txt, 未搜到文件列表.txt), read and written so that every file an older
// version wrote reads as it always did: the system's text encoding (code page
// 936 on Windows) whenever the text fits it; UTF-8 with a byte-order mark for
// a text holding a character it cannot write; on reading, a byte-order mark
// decides.
#pragma once

#include <string>
#include <string_view>

namespace quellor::commands {

// The file's text in the name encoding. Bytes that are not valid in the
// file's encoding each become U+FFFD (where names are UTF-8) rather than
// losing the file.
std::string ReadStoredText(std::string_view bytes);

// The bytes of a file holding `text` (in the name encoding), in the
// system's text encoding when it fits (files/stored_text_encoding.h).
std::string StoredTextBytes(std::string_view text);

}  // namespace quellor::commands
