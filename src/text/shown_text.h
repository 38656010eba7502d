// A text shown to a person that holds both the program's own words and names
// of files. The two are in different encodings on Windows (the words in code
// page 936, names in UTF-8), so they are never glued into one byte string:
// each piece keeps its kind, and whoever shows the text converts piece by
// piece to what the screen takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellor::text {

class ShownText {
 public:
  enum class Kind { Words, Name };
  struct Piece {
    Kind kind;
    std::string bytes;
    friend bool operator==(const Piece&, const Piece&) = default;
  };

  ShownText() = default;
  // Words alone: every text of the program that names no file.
  ShownText(std::string_view words) { AddWords(words); }
  ShownText(const std::string& words) { AddWords(words); }
  ShownText(const char* words) { AddWords(words); }

  // In the system's character set (SystemCharset).
  ShownText& AddWords(std::string_view words);
  // In the names' character set (NameCharset).
  ShownText& AddName(std::string_view name);
  // Another text's pieces after these, each keeping its kind.
  ShownText& Append(const ShownText& more);

  const std::vector<Piece>& Pieces() const { return pieces_; }
  // The pieces one after another: the text itself where words and names share
  // one encoding (POSIX), and what tests of the words compare.
  std::string Bytes() const;

  friend bool operator==(const ShownText&, const ShownText&) = default;

 private:
  void Add(Kind kind, std::string_view bytes);
  std::vector<Piece> pieces_;
};

}  // namespace quellor::text
