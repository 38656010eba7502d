#include "ntfs/run_list.h"

namespace quellor::ntfs {

bool DecodeRunList(ByteView runs, std::uint64_t first_vcn, std::uint64_t volume_clusters, std::vector<Extent>& out) {
  std::uint64_t vcn = first_vcn;
  std::int64_t lcn = 0;
  for (std::size_t at = 0; at < runs.size();) {
    const std::uint8_t header = runs.U8(at);
    if (header == 0) return true;
    const std::size_t length_size = header & 0x0F;
    const std::size_t offset_size = header >> 4;
    if (length_size == 0 || length_size > 8 || offset_size > 8 || !runs.Has(at + 1, length_size + offset_size)) {
      return false;
    }
    const std::uint64_t length = runs.Unsigned(at + 1, length_size);
    if (length == 0 || length > volume_clusters || vcn + length < vcn) return false;
    Extent extent{vcn, 0, length, offset_size == 0};
    if (!extent.sparse) {
      std::uint64_t delta = runs.Unsigned(at + 1 + length_size, offset_size);
      if (offset_size < 8 && (delta >> (8 * offset_size - 1)) != 0) delta |= ~std::uint64_t{0} << (8 * offset_size);
      const auto step = static_cast<std::int64_t>(delta);
      if ((step > 0 && lcn > INT64_MAX - step) || (step < 0 && lcn < INT64_MIN - step)) return false;
      lcn += step;
      if (lcn < 0 || static_cast<std::uint64_t>(lcn) > volume_clusters - length) return false;
      extent.lcn = static_cast<std::uint64_t>(lcn);
    }
    out.push_back(extent);
    vcn += length;
    at += 1 + length_size + offset_size;
  }
  return true;
}

}  // namespace quellor::ntfs
