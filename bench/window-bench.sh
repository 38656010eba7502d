#!/usr/bin/env bash
# Times the window under Wine with a large result, driven from another process
# by bench/window-driver: the longest time the window takes to answer while
# rows stream in (WM_GETTEXT through SendMessageTimeout every 20 ms), the
# search against quellor-find.exe on the same search, tick all, tick none and
# the not-found report; first over a tree of about 200,000 files with the
# fuzzy keyword "jpg" (about 66,000 hits), then over 1,000,000 hits.
#
#   bench/window-bench.sh [--only-200k]
#
# The trees live in bench/cache (built once). The programs are built from the
# win32 preset, or from win64 where this machine cannot run 32-bit programs.
# Besides the longest answer it prints the five slowest with when they came
# (seconds after the search began), which tells a one-off from a steady cost.
set -euo pipefail
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cache="$here/cache"
only_small=0
[ "${1:-}" = "--only-200k" ] && only_small=1

# The 32-bit programs where 32-bit Wine runs, else the same programs built for 64 bits.
preset=win32
wine_arch=()
if ! "$repo/scripts/wine-run" --can-run-32bit; then
  preset=win64
  wine_arch=(--win64)
fi
echo "== building Quellor.exe, quellor-find.exe and window-driver.exe ($preset preset)" >&2
(cd "$repo" && cmake --preset "$preset" > /dev/null &&
  cmake --build "build/$preset" --target Quellor quellor-find window-driver -j2 > /dev/null)
build="$repo/build/$preset"

# One display and one prefix for the window and the driver.
prefix="$cache/wineprefix-$preset"
wine_run() { "$repo/scripts/wine-run" --prefix "$prefix" "${wine_arch[@]}" "$@"; }

# make_tree DIR FOLDERS FILES_PER_FOLDER EVERY: names holding "jpg" on every EVERY-th file.
make_tree() {
  local dir=$1
  [ -f "$dir.done" ] && return 0
  echo "== building the tree $dir (once)" >&2
  rm -rf "$dir"
  python3 - "$@" << 'PY'
import os, sys
root, folders, per_folder, every = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
kinds = [".pdf", ".txt", ".docx", ".tif"]
n = 0
for f in range(folders):
    folder = os.path.join(root, f"dept{f // 100:02d}", f"batch{f % 100:02d}")
    os.makedirs(folder)
    for _ in range(per_folder):
        ext = ".jpg" if n % every == 0 else kinds[n % len(kinds)]
        os.close(os.open(os.path.join(folder, f"IMG_{n:07d}{ext}"), os.O_CREAT | os.O_WRONLY, 0o644))
        n += 1
PY
  touch "$dir.done"
}

# run_case NAME TREE: the window's program folder holds its options (fuzzy,
# chosen folders) and the tree as its one search folder.
run_case() {
  local name=$1 tree=$2
  local folder="$cache/window-run-$name"
  rm -rf "$folder"
  mkdir -p "$folder"
  cp "$build/src/app/Quellor.exe" "$folder/"
  local root
  root="Z:$(echo "$tree" | tr / '\\')"
  python3 - "$folder" "$root" << 'PY'
import sys
folder, root = sys.argv[1], sys.argv[2]
def write(name, text):
    open(f"{folder}/{name}", "wb").write(text.replace("\n", "\r\n").encode("gbk"))
write("config.ini", "[zhuce]\n全盘搜索=假\n精确=假\n同名文件自动更名=假\n是否只搜索目录名=假\n保存关键字=假\n")
write("path.txt", root + "\n")
write("names.txt", "jpg\n")
PY
  echo "== $name: $(find "$tree" -type f | wc -l) files, keyword jpg (fuzzy), $preset build"
  wine_run "$folder/Quellor.exe" &
  local window_pid=$!
  wine_run "$build/window-driver.exe" bench jpg "$(echo "Z:$build/src/cli/quellor-find.exe" | tr / '\\')" \
    "$(echo "Z:$folder/names.txt" | tr / '\\')" "$root" | iconv -f GBK -t UTF-8
  wait "$window_pid" || true
}

mkdir -p "$cache"
make_tree "$cache/window-tree-200k" 2000 100 3
run_case 200k "$cache/window-tree-200k"
if [ "$only_small" = 0 ]; then
  make_tree "$cache/window-tree-1m" 2000 500 1
  run_case 1m "$cache/window-tree-1m"
fi
