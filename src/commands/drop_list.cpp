#include "commands/drop_list.h"

#include <cstdint>
#include <optional>

#include "platform/clipboard.h"
#include "platform/text_encoding.h"

namespace quellor::commands {

namespace {
constexpr std::uint32_t kHeaderSize = 20;

void AppendLittleEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::string Header(bool wide) {
  std::string header;
  AppendLittleEndian32(header, kHeaderSize);  // pFiles
  AppendLittleEndian32(header, 0);            // pt.x
  AppendLittleEndian32(header, 0);            // pt.y
  AppendLittleEndian32(header, 0);            // fNC
  AppendLittleEndian32(header, wide ? 1 : 0);  // fWide
  return header;
}
}  // namespace

std::string NarrowDropListBlock(const std::vector<std::string>& ansi_paths) {
  std::string block = Header(false);
  for (const std::string& path : ansi_paths) {
    block += path;
    block.push_back('\0');
  }
  block.push_back('\0');
  return block;
}

std::string WideDropListBlock(const std::vector<std::u16string>& paths) {
  std::string block = Header(true);
  const auto put = [&block](char16_t unit) {
    block.push_back(static_cast<char>(unit & 0xFF));
    block.push_back(static_cast<char>(unit >> 8));
  };
  for (const std::u16string& path : paths) {
    for (const char16_t unit : path) put(unit);
    put(u'\0');
  }
  put(u'\0');
  return block;
}

std::string BuildDropListBlock(const std::vector<std::string>& paths) {
  std::vector<std::u16string> wide;
  std::vector<std::string> narrow;
  wide.reserve(paths.size());
  narrow.reserve(paths.size());
  bool all_narrow = true;
  for (const std::string& path : paths) {
    std::optional<std::u16string> text = platform::DecodeName(path);
    if (!text) return {};
    if (all_narrow) {
      std::optional<std::string> ansi = platform::EncodeText(*text, platform::TextEncoding::Ansi);
      if (ansi) {
        narrow.push_back(std::move(*ansi));
      } else {
        all_narrow = false;
      }
    }
    wide.push_back(std::move(*text));
  }
  return all_narrow ? NarrowDropListBlock(narrow) : WideDropListBlock(wide);
}

bool PutDropListOnClipboard(platform::Clipboard& clipboard, const std::vector<std::string>& paths) {
  if (paths.empty()) return false;
  const std::string block = BuildDropListBlock(paths);
  return !block.empty() && clipboard.PutDropList(block);
}

}  // namespace quellor::commands
