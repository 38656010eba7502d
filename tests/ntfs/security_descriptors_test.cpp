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

// A descriptor put together field by field, to damage one field at a time.
std::string Bytes(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  std::string out;
  for (const auto& [value, width] : fields) {
    for (int i = 0; i < width; ++i) out += static_cast<char>(value >> (8 * i));
  }
  return out;
}
std::string Sid(std::uint8_t subs) {
  std::string sid = Bytes({{1, 1}, {subs, 1}, {0, 5}, {5, 1}});
  for (std::uint8_t i = 0; i < subs; ++i) sid += Bytes({{21u + i, 4}});
  return sid;
}
std::string Ace(std::uint8_t kind, const std::string& after_mask) {
  return Bytes({{kind, 1}, {0, 1}, {8 + after_mask.size(), 2}, {0x1F01FF, 4}}) + after_mask;
}
std::string Acl(const std::vector<std::string>& aces, std::uint8_t revision = 2) {
  std::string body;
  for (const std::string& ace : aces) body += ace;
  return Bytes({{revision, 1}, {0, 1}, {8 + body.size(), 2}, {aces.size(), 2}, {0, 2}}) + body;
}
// Owner, group and access list one after another after the header.
std::string Descriptor(const std::string& owner, const std::string& group, const std::string& dacl) {
  const std::uint64_t owner_at = 20, group_at = owner_at + owner.size(), dacl_at = group_at + group.size();
  return Bytes({{1, 1}, {0, 1}, {0x8004, 2}, {owner_at, 4}, {group_at, 4}, {0, 4}, {dacl.empty() ? 0 : dacl_at, 4}}) +
         owner + group + dacl;
}

TEST(SecurityDescriptor, OnlyADescriptorWhosePartsLieInsideItIsTaken) {
  const std::string sid = Sid(5);
  const std::string allow = Ace(0x00, sid);
  const std::string guid(16, '\x7');
  struct Case {
    const char* what;
    std::string bytes;
    bool taken;
  };
  const Case cases[] = {
      {"owner, group and a list", Descriptor(sid, sid, Acl({allow, Ace(0x01, sid)})), true},
      {"an owner only", img::OwnerOnlyDescriptor(256), true},
      {"no access list: everyone may", Descriptor(sid, sid, ""), true},
      {"bytes after the parts", Descriptor(sid, sid, Acl({allow})) + std::string(7, '\0'), true},
      {"an object entry with both GUIDs", Descriptor(sid, sid, Acl({Ace(0x05, Bytes({{3, 4}}) + guid + guid + sid)})),
       true},
      {"a group cut short", Descriptor(sid, sid, "").substr(0, 20 + sid.size() + 4), false},
      {"a SID of 16 parts", Descriptor(Sid(16), sid, ""), false},
      {"a SID of revision 2", Descriptor("\x2" + sid.substr(1), sid, ""), false},
      {"a list of revision 3", Descriptor(sid, sid, Acl({allow}, 3)), false},
      {"a list longer than the descriptor", Descriptor(sid, sid, Acl({allow})).substr(0, 20 + 2 * sid.size() + 20),
       false},
      {"more entries than the list holds", [&] {
         std::string acl = Acl({allow});
         acl[4] = 2;
         return Descriptor(sid, sid, acl);
       }(), false},
      {"an entry's size not a multiple of 4", [&] {
         std::string ace = allow;
         ace[2] = static_cast<char>(ace.size() - 2);
         return Descriptor(sid, sid, Acl({ace}));
       }(), false},
      {"an entry's SID past the entry", Descriptor(sid, sid, Acl({Ace(0x00, Sid(5).substr(0, 20))})), false},
      {"an entry of a kind the system does not know", Descriptor(sid, sid, Acl({Ace(0x30, sid)})), false},
      {"an object entry whose GUIDs leave no room for its SID",
       Descriptor(sid, sid, Acl({Ace(0x05, Bytes({{3, 4}}) + guid + sid)})), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ntfs::IsSelfRelativeDescriptor(c.bytes), c.taken);
  }
}

}  // namespace
}  // namespace quellor::testing
