#include "search/name_characters.h"

namespace quellor::search {

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
  if (!cs.IsDoubleByte()) return;
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

}  // namespace quellor::search
