// Times the reader of an NTFS volume's table on an image: records a second,
// names, and what the index holds a file; given the helper's program, also
// the same read through the helper, what its scan hears sent over the pipe
// as it reads and the index built here (the helper started once, as the
// window keeps it for the session). Then the read from a disk that gives
// 500 MB/s (the image's bytes held back to that rate), against the time its
// reading alone would take at that rate and the read from the page cache:
// what is left for the system's own read-ahead to gain.
//
//   volume-read IMAGE [RUNS [HELPER_PROGRAM]]
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ntfs/byte_source.h"
#include "ntfs/helper_client.h"
#include "ntfs/volume_index.h"
#include "platform/helper_process.h"
#include "platform/read_only_file.h"

namespace {

// An image's bytes given no faster than a disk of `bytes_per_second` would.
class DiskPacedSource : public quellor::ntfs::ByteSource {
 public:
  DiskPacedSource(quellor::ntfs::ByteSource& source, double bytes_per_second)
      : source_(source), rate_(bytes_per_second) {}
  // Each read ends when the disk, busy with the reads before it, would have
  // given its bytes: a late wake-up is made up by the next read, not summed.
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    const auto start = std::chrono::steady_clock::now();
    if (due_ < start) due_ = start;
    due_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(static_cast<double>(size) / rate_));
    const bool read = source_.ReadAt(offset, buffer, size);
    std::this_thread::sleep_until(due_);
    bytes_ += size;
    return read;
  }
  std::uint64_t Size() const override { return source_.Size(); }
  std::uint64_t BytesRead() const { return bytes_; }

 private:
  quellor::ntfs::ByteSource& source_;
  double rate_;
  std::uint64_t bytes_ = 0;
  std::chrono::steady_clock::time_point due_{};
};

}  // namespace

int main(int argc, char** argv) {
  using namespace quellor;
  if (argc < 2) {
    std::fprintf(stderr, "usage: volume-read IMAGE [RUNS [HELPER_PROGRAM]]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string image = argv[1];
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
  {
    constexpr double kDiskRate = 500e6;
    int error = 0;
    ntfs::FileByteSource file(platform::ReadOnlyFile::Open(image, error));
    DiskPacedSource paced(file, kDiskRate);
    ntfs::VolumeError why = ntfs::VolumeError::None;
    const auto start = std::chrono::steady_clock::now();
    const bool read = ntfs::ReadVolumeIndex(paced, why) != nullptr;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!read) {
      std::fprintf(stderr, "not read at a disk's pace: error %d\n", static_cast<int>(why));
      return 1;
    }
    const double reading = static_cast<double>(paced.BytesRead()) / kDiskRate;
    std::printf("at a disk's 500 MB/s: %.3f s; its %.0f MiB read alone %.3f s, parsed alone about %.3f s "
                "(one after the other: %.3f s)\n",
                seconds, static_cast<double>(paced.BytesRead()) / (1 << 20), reading, best, reading + best);
  }
  if (argc < 4) return 0;

  const std::string helper = argv[3];
  ntfs::HelperClient client([&](std::vector<std::string> arguments, int& error, bool&) {
    arguments.insert(arguments.end(), {"--image", image});
    return platform::StartProgram(helper, arguments, error);
  });
  const std::atomic<bool> never{false};
  double best_helper = 1e9;
  double first = 0;
  std::unique_ptr<ntfs::VolumeIndex> through_helper;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    ntfs::HelperClient::Result read = client.Read(image, [](int) {}, never);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (read.outcome != ntfs::HelperClient::Outcome::Read || read.index->NameCount() != index->NameCount()) {
      std::fprintf(stderr, "not read through the helper: outcome %d\n", static_cast<int>(read.outcome));
      return 1;
    }
    if (run == 0) first = seconds;
    if (seconds < best_helper) best_helper = seconds;
    through_helper = std::move(read.index);
  }
  std::printf("through the helper in %.3f s (best of %d; the first, with its start, %.3f s): %.2f x the read here\n",
              best_helper, runs, first, best_helper / best);
  std::printf("the index built from the helper's stream holds %.1f bytes a name\n",
              static_cast<double>(through_helper->MemoryBytes()) / static_cast<double>(through_helper->NameCount()));
  return 0;
}
