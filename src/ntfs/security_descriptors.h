// The volume's security descriptors, kept once each in $Secure's $SDS
// stream and named by the security id a record's standard information
// carries: what the window needs to test which folders its own user may list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ntfs/little_endian.h"
#include "ntfs/table_map.h"

namespace quellor::ntfs {

// Descriptors by id, ascending, each id once.
using SecurityDescriptors = std::vector<std::pair<std::uint32_t, std::string>>;

// The most of the stream read, and the most entries taken from it: far more
// than any volume's distinct descriptors.
inline constexpr std::uint64_t kMaxSecurityStreamBytes = std::uint64_t{64} << 20;
inline constexpr std::size_t kMaxSecurityEntries = std::size_t{1} << 20;
// A self-relative descriptor's fixed header; its sizes are 16-bit, so no
// descriptor is longer than this bound.
inline constexpr std::size_t kSecurityDescriptorHeaderBytes = 20;
inline constexpr std::size_t kMaxSecurityDescriptorBytes = 0x40000;

// True when `bytes` can be a self-relative security descriptor: long enough
// for its header, revision 1, the self-relative flag set, and the owner,
// group and access lists it points to, each entry of the lists with its SID,
// lying inside it, of kinds the system knows. Only such a descriptor is kept
// and handed to the system's access check.
bool IsSelfRelativeDescriptor(std::string_view bytes);

// The descriptors of `wanted` (ascending ids) found in `stream`, the bytes
// of an $SDS stream: entries whose header or descriptor is damaged are
// skipped, a zero or broken header ends its block.
SecurityDescriptors ParseSecurityStream(ByteView stream, const std::vector<std::uint32_t>& wanted);

// The descriptors of `wanted` (ascending ids) on `map`'s volume; none when
// its $Secure cannot be read.
SecurityDescriptors ReadSecurityDescriptors(const TableMap& map, const std::vector<std::uint32_t>& wanted);

}  // namespace quellor::ntfs
