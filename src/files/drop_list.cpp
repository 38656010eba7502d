#include "files/drop_list.h"

#include <cstdint>

#include "platform/clipboard.h"

namespace quellor::files {

namespace {
constexpr std::uint32_t kHeaderSize = 20;

void AppendLittleEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}
}  // namespace

std::string BuildDropListBlock(const std::vector<std::string>& paths) {
  std::size_t size = kHeaderSize + 1;
  for (const std::string& path : paths) size += path.size() + 1;
  std::string block;
  block.reserve(size);
  AppendLittleEndian32(block, kHeaderSize);  // pFiles
  AppendLittleEndian32(block, 0);            // pt.x
  AppendLittleEndian32(block, 0);            // pt.y
  AppendLittleEndian32(block, 0);            // fNC
  AppendLittleEndian32(block, 0);            // fWide
  for (const std::string& path : paths) {
    block += path;
    block.push_back('\0');
  }
  block.push_back('\0');
  return block;
}

bool PutDropListOnClipboard(platform::Clipboard& clipboard, const std::vector<std::string>& paths) {
  if (paths.empty()) return false;
  return clipboard.PutDropList(BuildDropListBlock(paths));
}

}  // namespace quellor::files
