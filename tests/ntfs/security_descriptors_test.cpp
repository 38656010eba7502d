// The descriptors read from a volume's $SDS stream: each entry is checked on
// its own, a damaged descriptor costs its entry, a damaged header the rest of
// its block, and mirror blocks are never read.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ntfs/security_descriptors.h"
#include "support/ntfs_image.h"

namespace quellor::testing {
namespace {

namespace img = ntfs_image;

constexpr std::size_t kBlock = 256 * 1024;

void Put(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::vector<std::uint32_t> FoundIds(const std::string& stream, const std::vector<std::uint32_t>& wanted) {
  const ntfs::SecurityDescriptors found = ntfs::ParseSecurityStream(
      ntfs::ByteView(reinterpret_cast<const unsigned char*>(stream.data()), stream.size()), wanted);
  std::vector<std::uint32_t> ids;
  for (const auto& [id, descriptor] : found) {
    EXPECT_EQ(descriptor, img::OwnerOnlyDescriptor(id)) << id;
    ids.push_back(id);
  }
  return ids;
}

// Three entries, 80 bytes apart (a 48-byte descriptor after each 20-byte header).
std::string ThreeEntries() {
  return img::SecurityStream({{256, img::OwnerOnlyDescriptor(256)},
                              {257, img::OwnerOnlyDescriptor(257)},
                              {258, img::OwnerOnlyDescriptor(258)}});
}

TEST(SecurityStream, ADamagedEntryIsSkippedAndADamagedHeaderEndsItsBlock) {
  const std::vector<std::uint32_t> all = {256, 257, 258};
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    std::vector<std::uint32_t> wanted, found;
  };
  const Case cases[] = {
      {"whole", [](std::string&) {}, all, all},
      {"only the ids asked for", [](std::string&) {}, {256, 258, 300}, {256, 258}},
      {"a descriptor of revision 2", [](std::string& s) { s[80 + 20] = 2; }, all, {256, 258}},
      {"a descriptor not self-relative", [](std::string& s) { s[80 + 20 + 3] = 0; }, all, {256, 258}},
      {"an entry whose offset is not its own", [](std::string& s) { Put(s, 80 + 8, 96, 8); }, all, {256}},
      {"an entry too short for a descriptor", [](std::string& s) { Put(s, 80 + 16, 39, 4); }, all, {256}},
      {"an entry past its block", [](std::string& s) { Put(s, 80 + 16, kBlock, 4); }, all, {256}},
      {"an id of 0", [](std::string& s) { Put(s, 80 + 4, 0, 4); }, all, {256}},
      {"a zero header", [](std::string& s) { s.replace(80, 20, 20, '\0'); }, all, {256}},
      {"a stream cut inside an entry", [](std::string& s) { s.resize(200); }, all, {256, 257}},
      {"no stream", [](std::string& s) { s.clear(); }, all, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string stream = ThreeEntries();
    c.damage(stream);
    EXPECT_EQ(FoundIds(stream, c.wanted), c.found);
  }
}

TEST(SecurityStream, EachPrimaryBlockIsReadAndNoMirror) {
  // Two entries too large to share a block: the second starts the block at 512 KiB.
  const auto large = [](std::uint32_t id) { return img::OwnerOnlyDescriptor(id) + std::string(150000, '\0'); };
  std::string stream = img::SecurityStream({{256, large(256)}, {257, large(257)}});
  ASSERT_GE(stream.size(), 3 * kBlock);
  // The first block's mirror, made to hold an entry of its own.
  const std::string other = img::SecurityStream({{300, img::OwnerOnlyDescriptor(300)}});
  stream.replace(kBlock, other.size() / 2, other.substr(0, other.size() / 2));
  Put(stream, kBlock + 8, kBlock, 8);

  const ntfs::SecurityDescriptors found = ntfs::ParseSecurityStream(
      ntfs::ByteView(reinterpret_cast<const unsigned char*>(stream.data()), stream.size()), {256, 257, 300});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].first, 256u);
  EXPECT_EQ(found[1], std::make_pair(std::uint32_t{257}, large(257)));

  // A first block that ends at once costs the second nothing.
  stream.replace(0, 20, 20, '\0');
  const ntfs::SecurityDescriptors second = ntfs::ParseSecurityStream(
      ntfs::ByteView(reinterpret_cast<const unsigned char*>(stream.data()), stream.size()), {256, 257});
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].first, 257u);
}

}  // namespace
}  // namespace quellor::testing
