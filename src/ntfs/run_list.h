// A non-resident attribute's run list: which clusters of the volume hold
// which of its virtual clusters.
#pragma once

#include <cstdint>
#include <vector>

#include "ntfs/little_endian.h"

namespace quellor::ntfs {

struct Extent {
  std::uint64_t vcn;     // first virtual cluster of the attribute it holds
  std::uint64_t lcn;     // first cluster on the volume; meaningless when sparse
  std::uint64_t length;  // clusters
  bool sparse;           // no clusters on disk: reads as zeros
};

// Appends the extents of the run list `runs`, whose first run starts at
// virtual cluster `first_vcn`. False on a malformed list: a run of no length,
// sizes past eight bytes, clusters before the volume's start or past
// `volume_clusters`, or arithmetic that overflows. The list ends at a zero
// byte or at the end of `runs`.
bool DecodeRunList(ByteView runs, std::uint64_t first_vcn, std::uint64_t volume_clusters, std::vector<Extent>& out);

}  // namespace quellor::ntfs
