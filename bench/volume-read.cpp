// Times the reader of an NTFS volume's table on an image: records a second,
// names, and what the index holds a file.
//
//   volume-read IMAGE [RUNS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "ntfs/byte_source.h"
#include "ntfs/volume_index.h"
#include "platform/read_only_file.h"

int main(int argc, char** argv) {
  using namespace quellor;
  if (argc < 2) {
    std::fprintf(stderr, "usage: volume-read IMAGE [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  double best = 1e9;
  std::unique_ptr<ntfs::VolumeIndex> index;
  for (int run = 0; run < runs; ++run) {
    index.reset();
    int error = 0;
    auto file = platform::ReadOnlyFile::Open(argv[1], error);
    if (!file) {
      std::fprintf(stderr, "cannot open %s (%d)\n", argv[1], error);
      return 1;
    }
    ntfs::FileByteSource source(std::move(file));
    ntfs::VolumeError why = ntfs::VolumeError::None;
    const auto start = std::chrono::steady_clock::now();
    index = ntfs::ReadVolumeIndex(source, why);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!index) {
      std::fprintf(stderr, "not read: error %d\n", static_cast<int>(why));
      return 1;
    }
    if (seconds < best) best = seconds;
  }
  const ntfs::IndexCounts& c = index->Counts();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("records %llu (in use %llu), names %llu\n", static_cast<unsigned long long>(c.scan.records),
              static_cast<unsigned long long>(c.scan.in_use), static_cast<unsigned long long>(index->NameCount()));
  std::printf("read and indexed in %.3f s (best of %d): %.0f records/s\n", best, runs, c.scan.records / best);
  std::printf("index holds %.1f bytes a name; peak resident %ld MiB\n",
              static_cast<double>(index->MemoryBytes()) / static_cast<double>(index->NameCount()),
              usage.ru_maxrss / 1024);
  return 0;
}
