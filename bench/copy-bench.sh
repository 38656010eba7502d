#!/usr/bin/env bash
# Times quellor-find's copy and move of many hits, warm cache: 20,000 files
# of 4 KiB in 200 folders, every one found by its exact name, copied into an
# empty folder, copied again over the copies (each file replaced), and moved
# into another folder on the same volume (one rename each) and back; prints
# the medians and quellor-find's peak memory.
#
#   bench/copy-bench.sh [--runs N] [--files N]
#
# The tree lives in bench/cache (built once per size). quellor-find is built
# from the native preset (RelWithDebInfo, -O2).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cache="$here/cache"
runs=5
files=20000

while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--files N]" >&2; exit 2 ;;
  esac
done

for tool in hyperfine python3 /usr/bin/time; do
  command -v "$tool" > /dev/null || { echo "missing: $tool (apt-get install hyperfine python3 time)" >&2; exit 1; }
done

echo "== building quellor-find (native preset)" >&2
(cd "$repo" && cmake --preset native > /dev/null && cmake --build build/native --target quellor-find -j2 > /dev/null)
qf="$repo/build/native/src/cli/quellor-find"

tree="$cache/copy-$files"
if [ ! -f "$tree.done" ]; then
  echo "== building $files files in $tree (once)" >&2
  rm -rf "$tree"
  python3 - "$tree" "$files" <<'EOF'
import os, sys
tree, count = sys.argv[1], int(sys.argv[2])
names = []
for i in range(count):
    folder = os.path.join(tree, "src", "folder%03d" % (i % 200))
    os.makedirs(folder, exist_ok=True)
    name = "photo%06d.jpg" % i
    with open(os.path.join(folder, name), "wb") as f:
        f.write(os.urandom(4096))
    names.append(name)
with open(os.path.join(tree, "names.txt"), "w") as f:
    f.write("\n".join(names) + "\n")
EOF
  touch "$tree.done"
fi
src="$tree/src"
names="$tree/names.txt"
work="$tree/work"

median() { python3 -c 'import json,sys; print("%.3f" % json.load(open(sys.argv[1]))["results"][0]["median"])' "$1"; }

time_it() {  # label, prepare, command
  local json
  json=$(mktemp)
  hyperfine --runs "$runs" --warmup 1 --prepare "$2" --export-json "$json" "$3" > /dev/null
  printf '%-44s %8s s\n' "$1" "$(median "$json")"
  rm -f "$json"
}

echo "quellor-find, $files hits of 4 KiB ($runs runs, medians)"
time_it "copy into an empty folder" "rm -rf $work && mkdir -p $work/copy" \
  "$qf -q --names $names --copy-to $work/copy $src > /dev/null"
time_it "copy over the earlier copies" "mkdir -p $work/copy" \
  "$qf -q --names $names --copy-to $work/copy $src > /dev/null"
time_it "move into a folder and back (two runs)" "rm -rf $work && mkdir -p $work/moved" \
  "$qf -q --names $names --move-to $work/moved $src > /dev/null && $qf -q --names $names --move-to $src/folder000 $work/moved > /dev/null"
# The move back gathers every file in one folder: put them back where they were.
python3 - "$src" <<'EOF'
import os, sys
src = sys.argv[1]
gathered = os.path.join(src, "folder000")
for name in os.listdir(gathered):
    number = int(name[5:11])
    os.rename(os.path.join(gathered, name), os.path.join(src, "folder%03d" % (number % 200), name))
EOF
rm -rf "$work" && mkdir -p "$work/copy"
peak=$( { /usr/bin/time -f '%M' "$qf" -q --names "$names" --copy-to "$work/copy" "$src" > /dev/null; } 2>&1 | tail -1)
echo "peak memory of the copy into an empty folder: $((peak / 1024)) MiB"
rm -rf "$work"
