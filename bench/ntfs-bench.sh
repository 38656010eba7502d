#!/usr/bin/env bash
# The reader of an NTFS volume's table on a synthetic image of 1,000,000 files
# in 10,000 folders, from the page cache: the image's plain sequential read
# speed, the reader's records a second (one thread), the same read through
# the helper (names sent over its pipe and decoded), quellor-find --volume
# end to end (medians) and its memory a file above its baseline.
#
#   bench/ntfs-bench.sh [--runs N] [--files N]
#
# The image lives in bench/cache (built once per size). Everything is built
# from the native preset (RelWithDebInfo, -O2).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cache="$here/cache"
runs=7
files=1000000

while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--files N]" >&2; exit 2 ;;
  esac
done
for tool in hyperfine python3 /usr/bin/time dd; do
  command -v "$tool" > /dev/null || { echo "missing: $tool (apt-get install hyperfine python3 time)" >&2; exit 1; }
done

echo "== building (native preset)" >&2
(cd "$repo" && cmake --preset native > /dev/null &&
   cmake --build build/native --target quellor-find make-ntfs-image volume-read volume-helper-host -j2 > /dev/null)
qf="$repo/build/native/src/cli/quellor-find"
image="$cache/ntfs-$files.img"
mkdir -p "$cache"
if [ ! -f "$image.done" ]; then
  echo "== writing the image $image (once)" >&2
  start=$(date +%s.%N)
  "$repo/build/native/bench/make-ntfs-image" "$image" "$files" $((files / 100))
  echo "written in $(python3 -c "print(f'{$(date +%s.%N) - $start:.1f}')") s" >&2
  touch "$image.done"
fi

# The names: 1,000 of the image's own file names and 1,000 that are nowhere.
names="$cache/ntfs-$files.names"
if [ ! -f "$names" ]; then
  "$qf" -q --utf8 -f --volume "$image" <<< "." | awk -F/ 'NR % 997 == 0 { print $NF }' | head -1000 > "$names"
  seq 1 1000 | sed 's/^/nowhere-/' >> "$names"
fi

echo "== the table's bytes, read sequentially from the page cache" >&2
cat "$image" > /dev/null
dd if="$image" of=/dev/null bs=4M 2>&1 | tail -1

echo "== the reader alone, then through the helper's pipe (best of $runs)" >&2
"$repo/build/native/bench/volume-read" "$image" "$runs" "$repo/build/native/tests/support/volume-helper-host"

echo "== quellor-find --volume, end to end, 2,000 names" >&2
hyperfine --warmup 1 --runs "$runs" -N --style basic \
  "$qf -q --utf8 --names $names --volume $image" 2>&1 | grep -E "Time|Range"
hits=$("$qf" -q --utf8 --names "$names" --volume "$image" | wc -l)
echo "rows: $hits"

echo "== memory: peak resident above the same search over an empty folder" >&2
empty=$(mktemp -d)
base=$( { /usr/bin/time -f %M "$qf" -q --utf8 --names "$names" "$empty" > /dev/null; } 2>&1 | tail -1)
peak=$( { /usr/bin/time -f %M "$qf" -q --utf8 --names "$names" --volume "$image" > /dev/null; } 2>&1 | tail -1)
rmdir "$empty"
python3 -c "print(f'baseline {$base} KiB, with the volume {$peak} KiB: {($peak - $base) * 1024 / $files:.1f} bytes a file')"
