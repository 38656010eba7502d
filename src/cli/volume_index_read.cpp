#include "cli/volume_index_read.h"

#include "cli/stream_text.h"
#include "ntfs/byte_source.h"
#include "platform/read_only_file.h"
#include "platform/system_error.h"

namespace quellor::cli {

namespace {

std::string VolumeErrorText(ntfs::VolumeError error) {
  switch (error) {
    case ntfs::VolumeError::None:
      break;
    case ntfs::VolumeError::CannotRead:
      return "its bytes could not be read where the volume needs them";
    case ntfs::VolumeError::NotNtfs:
      return "it holds no NTFS volume (no NTFS boot sector)";
    case ntfs::VolumeError::BadBootSector:
      return "its boot sector gives sizes or places no NTFS volume has";
    case ntfs::VolumeError::BadTableRecord:
      return "the first record of its table of files is damaged";
    case ntfs::VolumeError::BadTableMap:
      return "the map of its table of files is damaged";
    case ntfs::VolumeError::TooLarge:
      return "its table holds more records or names than can be indexed";
    case ntfs::VolumeError::Stopped:
      return "the reading was stopped";
  }
  return {};
}

}  // namespace

VolumeRead ReadVolume(const std::string& path, bool quiet, bool progress, std::FILE* errors) {
  const auto say = [&](const std::string& words) {
    WriteText(errors, text::ShownText("quellor-find: ").AddName(path).AddWords(": " + words + "\n"));
  };
  int open_error = 0;
  std::unique_ptr<platform::ReadOnlyFile> file = platform::ReadOnlyFile::Open(path, open_error);
  if (!file) {
    say("cannot be opened: " + platform::SystemErrorText(open_error));
    return {};
  }
  ntfs::FileByteSource source(std::move(file));
  ntfs::VolumeError error = ntfs::VolumeError::None;
  int shown = -1;
  const auto show = [&](std::uint64_t read, std::uint64_t records) {
    const int percent = static_cast<int>(100 * read / records);
    if (percent == shown) return;
    shown = percent;
    std::fprintf(errors, "\rquellor-find: reading the volume's table of files: %d%%", percent);
    std::fflush(errors);
  };
  std::shared_ptr<const ntfs::VolumeIndex> index =
      ntfs::ReadVolumeIndex(source, error, progress && !quiet ? ntfs::ScanProgress(show) : ntfs::ScanProgress());
  if (shown >= 0) std::fprintf(errors, "\r%60s\r", "");
  if (!index) {
    say("cannot be read as an NTFS volume: " + VolumeErrorText(error));
    return {};
  }
  const ntfs::IndexCounts& counts = index->Counts();
  const ntfs::ScanCounts& scan = counts.scan;
  const std::uint64_t skipped = scan.torn + scan.malformed + scan.unreadable;
  if (skipped > 0) {
    say(std::to_string(skipped) + " records of the table of files were skipped, so names may be missing (" +
        std::to_string(scan.torn) + " written halfway, " + std::to_string(scan.malformed) + " damaged, " +
        std::to_string(scan.unreadable) + " unreadable)");
  }
  if (!quiet && counts.stale_names + counts.unreachable_records > 0) {
    say("note: " + std::to_string(counts.stale_names) + " names whose folder no longer holds them and " +
        std::to_string(counts.unreachable_records) + " records no folder leads to are not searched");
  }
  return {std::move(index), skipped > 0};
}

}  // namespace quellor::cli
