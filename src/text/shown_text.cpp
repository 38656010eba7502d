#include "text/shown_text.h"

namespace quellor::text {

ShownText& ShownText::Append(const ShownText& more) {
  for (const Piece& piece : more.pieces_) Add(piece.kind, piece.bytes);
  return *this;
}

void ShownText::Add(Kind kind, std::string_view bytes) {
  if (bytes.empty()) return;
  if (!pieces_.empty() && pieces_.back().kind == kind) {
    pieces_.back().bytes += bytes;
  } else {
    pieces_.push_back(Piece{kind, std::string(bytes)});
  }
}

ShownText& ShownText::AddWords(std::string_view words) {
  Add(Kind::Words, words);
  return *this;
}

ShownText& ShownText::AddName(std::string_view name) {
  Add(Kind::Name, name);
  return *this;
}

std::string ShownText::Bytes() const {
  std::string bytes;
  for (const Piece& piece : pieces_) bytes += piece.bytes;
  return bytes;
}

}  // namespace quellor::text
