#include "search/name_characters.h"

#include <map>
#include <memory>
#include <mutex>

#include "text/utf16.h"

namespace quellor::search {

namespace {

// The folded form of every character of the basic plane under `fold`, or
// null when no character beyond ASCII changes. Made once per folding: a
// matcher is made for every search and every not-found report.
const std::vector<char16_t>* PlaneTable(const text::Charset& cs, NameFolding fold) {
  static std::mutex guard;
  static std::map<NameFolding, std::unique_ptr<const std::vector<char16_t>>> made;
  const std::lock_guard<std::mutex> hold(guard);
  const auto found = made.find(fold);
  if (found != made.end()) return found->second.get();
  auto plane = std::make_unique<std::vector<char16_t>>(text::kBasicPlaneSize);
  bool changes = false;
  std::string one;
  for (char32_t c = 0; c < text::kBasicPlaneSize; ++c) {
    (*plane)[c] = static_cast<char16_t>(c);
    if (c < 0x80 || text::IsSurrogate(c)) continue;
    const char16_t unit = static_cast<char16_t>(c);
    one.clear();
    text::AppendUtf8(one, &unit, 1);
    const std::string folded = fold(cs, one);
    const text::Utf8Character back = text::DecodeUtf8At(folded, 0);
    if (back.length == one.size() && folded.size() == one.size() && back.code_point != c) {
      (*plane)[c] = static_cast<char16_t>(back.code_point);
      changes = true;
    }
  }
  if (!changes) plane.reset();
  return made.emplace(fold, std::move(plane)).first->second.get();
}

}  // namespace

void CharacterStepper::MarkStarts(std::string_view s, std::vector<std::uint8_t>& starts) const {
  starts.assign(s.size() + 1, 0);
  for (std::size_t pos = 0; pos < s.size(); pos += (*this)(s, pos)) starts[pos] = 1;
  starts[s.size()] = 1;
}

void CharacterStepper::Cut(std::string_view s, std::vector<std::string_view>& characters) const {
  characters.clear();
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t length = (*this)(s, pos);
    characters.push_back(s.substr(pos, length));
    pos += length;
  }
}

NameFolder::NameFolder(const text::Charset& cs, NameFolding fold) : cs_(&cs) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string folded = fold(cs, one);
    single_[b] = folded.size() == 1 ? folded[0] : one[0];
  }
  if (!cs.IsDoubleByte()) {
    plane_ = PlaneTable(cs, fold);
    return;
  }
  pairs_.resize(65536);
  for (int lead = 0; lead < 256; ++lead) {
    if (!cs.IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0; trail < 256; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string folded = fold(cs, pair);
      pairs_[lead * 256 + trail] = folded.size() == 2 ? std::array<char, 2>{folded[0], folded[1]}
                                                      : std::array<char, 2>{pair[0], pair[1]};
    }
  }
}

void NameFolder::Fold(std::string_view name, std::string& out) const {
  out.resize(name.size());
  if (plane_ != nullptr) {
    FoldUtf8(name, out);
    return;
  }
  if (pairs_.empty()) {
    for (std::size_t i = 0; i < name.size(); ++i) out[i] = single_[static_cast<unsigned char>(name[i])];
    return;
  }
  for (std::size_t pos = 0; pos < name.size();) {
    const unsigned char b = static_cast<unsigned char>(name[pos]);
    if (cs_->CharLength(name, pos) == 2) {
      const auto& pair = pairs_[b * 256 + static_cast<unsigned char>(name[pos + 1])];
      out[pos] = pair[0];
      out[pos + 1] = pair[1];
      pos += 2;
    } else {
      out[pos++] = single_[b];
    }
  }
}

void NameFolder::FoldUtf8(std::string_view name, std::string& out) const {
  const std::vector<char16_t>& plane = *plane_;
  for (std::size_t pos = 0; pos < name.size();) {
    const unsigned char b = static_cast<unsigned char>(name[pos]);
    if (b < 0x80) {
      out[pos++] = single_[b];
      continue;
    }
    const text::Utf8Character c = text::DecodeUtf8At(name, pos);
    if (c.length == 0) {
      out[pos] = name[pos];
      ++pos;
      continue;
    }
    const char16_t folded = text::InBasicPlane(c.code_point) ? plane[c.code_point] : 0;
    if (folded != 0 && folded != c.code_point) {
      // Same length by the table's making: written in place.
      text::WriteUtf8(folded, &out[pos]);
    } else {
      for (std::size_t k = 0; k < c.length; ++k) out[pos + k] = name[pos + k];
    }
    pos += c.length;
  }
}

}  // namespace quellor::search
