#!/usr/bin/env bash
# Times quellor-find on five tree shapes against a bare `find TREE -false`,
# warm cache, and on an emulated file share (a FUSE mirror whose every folder
# listing waits a set time, at most 64 listings served at once) against a
# serial walk, `fdfind -j 16` and `-j 64` on the same mount and the bound the
# tree allows. Prints medians, ratios and quellor-find's peak memory.
#
#   bench/shapes-bench.sh [--runs N] [--shapes "deep balanced ..."] [--wait-ms "2 10 30"]
#                         [--no-share | --share-only] [--strace]
#
# Trees and name lists live in bench/cache/shapes (built once by make-tree.py):
# exact runs take 10,000 names, fuzzy runs 1,000, half of them present; the
# share runs take 1,000 exact names. --strace adds `strace -f -c` system call
# counts for the deep tree.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cache="$here/cache/shapes"
runs=5
shapes="balanced deep flat-files flat-folders sparse"
waits="2 10 30"
window=64
share=1
with_strace=0

while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --shapes) shapes=$2; shift 2 ;;
    --wait-ms) waits=$2; shift 2 ;;
    --no-share) share=0; shift ;;
    --share-only) shapes=""; shift ;;
    --strace) with_strace=1; shift ;;
    *) echo "usage: $0 [--runs N] [--shapes \"deep ...\"] [--wait-ms \"2 10 30\"] [--no-share | --share-only] [--strace]" >&2; exit 2 ;;
  esac
done

# The share needs FUSE and libfuse 3; install-deps brings them.
if [ "$share" = 1 ] && ! { pkg-config --exists fuse3 2> /dev/null && command -v fusermount3 > /dev/null; }; then
  "$repo/scripts/install-deps"
fi
for tool in hyperfine fdfind /usr/bin/python3 /usr/bin/time; do
  command -v "$tool" > /dev/null || { echo "missing: $tool (scripts/install-deps installs it)" >&2; exit 1; }
done

echo "== building quellor-find and the share mirror (native preset)" >&2
targets=quellor-find
[ "$share" = 1 ] && targets="quellor-find slow-share"
(cd "$repo" && cmake --preset native > /dev/null && cmake --build build/native --target $targets -j2 > /dev/null)
qf="$repo/build/native/src/cli/quellor-find"
mirror="$repo/build/native/bench/slow-share"

mkdir -p "$cache"
build_shape() {
  local shape=$1
  if [ ! -f "$cache/$shape.done" ]; then
    echo "== building the $shape tree (once)" >&2
    rm -rf "${cache:?}/$shape"
    /usr/bin/python3 "$here/make-tree.py" "$shape" "$cache/$shape" "$cache/$shape-names"
    touch "$cache/$shape.done"
  fi
}

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
: > "$results/times.tsv"

# label, command: the median of $runs runs after one warm-up, in seconds.
timed() {
  local label=$1 cmd=$2
  echo "== $label" >&2
  hyperfine --style none --warmup 1 --runs "$runs" --shell bash --export-json "$results/one.json" "$cmd" > /dev/null
  /usr/bin/python3 - "$results/one.json" <<'PY'
import json, statistics, sys
print(f"{statistics.median(json.load(open(sys.argv[1]))['results'][0]['times']):.4f}")
PY
}

peak_mib() {
  /usr/bin/time -f "%M" "$@" 2> "$results/peak.txt" > /dev/null
  echo "scale=1; $(tail -1 "$results/peak.txt") / 1024" | bc
}

for shape in $shapes; do
  build_shape "$shape"
  tree="$cache/$shape"
  exact="$cache/$shape-names-exact.txt"
  fuzzy="$cache/$shape-names-fuzzy.txt"
  for _ in 1 2; do find "$tree" > /dev/null; done
  base=$(timed "$shape: find -false" "find '$tree' -false")
  e=$(timed "$shape: quellor-find exact 10000" "'$qf' -q --names '$exact' '$tree' > /dev/null")
  f=$(timed "$shape: quellor-find fuzzy 1000" "'$qf' -q --fuzzy --names '$fuzzy' '$tree' > /dev/null")
  me=$(peak_mib "$qf" -q --names "$exact" "$tree")
  mf=$(peak_mib "$qf" -q --fuzzy --names "$fuzzy" "$tree")
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$shape" "$base" "$e" "$f" "$me" "$mf" >> "$results/times.tsv"
done

if [ "$with_strace" = 1 ] && command -v strace > /dev/null; then
  build_shape deep
  strace -f -c -o "$results/strace.txt" "$qf" -q --names "$cache/deep-names-exact.txt" "$cache/deep" > /dev/null
fi

if [ "$share" = 1 ]; then
  build_shape share
  mount="$here/cache/share-mount"
  mkdir -p "$mount"
  unmount() { fusermount3 -u "$mount" 2> /dev/null || umount "$mount" 2> /dev/null || true; }
  share_pid=""
  trap 'unmount; [ -n "$share_pid" ] && wait "$share_pid" 2> /dev/null; rm -rf "$results"' EXIT
  head -1000 "$cache/share-names-exact.txt" > "$results/share-names.txt"
  # One alternation; the names hold letters, digits, '_', '-', spaces and Chinese.
  regex="^($(paste -sd'|' "$results/share-names.txt"))(\\..*)?\$"
  printf '%s\n' "$regex" > "$results/share.re"
  folders=$(find "$cache/share" -type d | wc -l)
  # The longest chain of folders read one after another: the deepest folder and those above it.
  chain=$(( $(find "$cache/share" -type d -printf '%d\n' | sort -n | tail -1) + 1 ))
  : > "$results/share.tsv"
  for wait_ms in $waits; do
    unmount
    # Threads beyond the window: requests past it wait their turn in the mirror, as at a server.
    "$mirror" "$cache/share" "$mount" --wait-ms "$wait_ms" --window "$window" -f \
      -o "max_threads=$((window * 2)),max_idle_threads=$((window * 2))" 2> "$results/share.log" &
    share_pid=$!
    for _ in $(seq 100); do mountpoint -q "$mount" && break; sleep 0.1; done
    mountpoint -q "$mount" || { cat "$results/share.log" >&2; echo "the share mirror did not mount" >&2; exit 1; }
    # The serial walk takes folders x wait: timed once.
    echo "== share $wait_ms ms: serial walk (find -false), once" >&2
    serial=$( { /usr/bin/time -f "%e" find "$mount" -false > /dev/null; } 2>&1 | tail -1)
    fd16=$(timed "share $wait_ms ms: fdfind -j 16, 1000 names" "fdfind -uu -j 16 -t f -i --regex \"\$(cat '$results/share.re')\" '$mount' > /dev/null")
    fd64=$(timed "share $wait_ms ms: fdfind -j 64, 1000 names" "fdfind -uu -j 64 -t f -i --regex \"\$(cat '$results/share.re')\" '$mount' > /dev/null")
    q=$(timed "share $wait_ms ms: quellor-find exact 1000" "'$qf' -q --names '$results/share-names.txt' '$mount' > /dev/null")
    mq=$(peak_mib "$qf" -q --names "$results/share-names.txt" "$mount")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$folders" "$chain" "$window" "$wait_ms" "$serial" "$fd16" "$fd64" "$q" "$mq" >> "$results/share.tsv"
    unmount
    wait "$share_pid" 2> /dev/null || true
    share_pid=""
  done
fi

/usr/bin/python3 - "$results" "$runs" <<'PY'
import os, sys
results, runs = sys.argv[1], sys.argv[2]
print(f"warm cache, medians of {runs} runs; load average at the end: {open('/proc/loadavg').read().split()[0]}")
if os.path.getsize(os.path.join(results, "times.tsv")) > 0:
    print(f"{'shape':13} {'find -false':>11} {'exact 10000':>11} {'x find':>7} {'fuzzy 1000':>11} {'x find':>7} {'peak MiB e/f':>13}")
for line in open(os.path.join(results, "times.tsv")).read().splitlines():
    shape, base, e, f, me, mf = line.split("\t")
    base, e, f = float(base), float(e), float(f)
    print(f"{shape:13} {base:10.3f}s {e:10.3f}s {e / base:7.2f} {f:10.3f}s {f / base:7.2f} {me:>6}/{mf:<6}")
strace = os.path.join(results, "strace.txt")
if os.path.exists(strace):
    print("deep tree, exact 10000, strace -f -c (calls):")
    for line in open(strace).read().splitlines()[2:]:
        parts = line.split()
        if parts and parts[-1] in ("futex", "getdents64", "openat", "close", "newfstatat", "clone3", "total"):
            print(f"  {parts[-1]:12} {parts[3]:>8}")
share = os.path.join(results, "share.tsv")
if os.path.exists(share):
    rows = [line.split("\t") for line in open(share).read().splitlines()]
    if rows:
        folders, chain, window = int(rows[0][0]), int(rows[0][1]), int(rows[0][2])
        print(f"emulated share: {folders} folders, chains up to {chain} folders, at most {window} listings at once;")
        print("  bound = max(wait x chain, folders x wait / window); quellor-find: 1,000 exact names")
        print(f"{'wait':>6} {'serial':>8} {'fd -j16':>8} {'fd -j64':>8} {'quellor':>8} {'bound':>7} "
              f"{'q/bound':>7} {'q/fd16':>6} {'peak MiB':>8}")
    for _, _, _, wait, serial, fd16, fd64, q, mq in rows:
        w = float(wait) / 1000.0
        bound = max(w * chain, folders * w / window)
        serial, fd16, fd64, q = float(serial), float(fd16), float(fd64), float(q)
        print(f"{wait + ' ms':>6} {serial:7.2f}s {fd16:7.3f}s {fd64:7.3f}s {q:7.3f}s {bound:6.3f}s "
              f"{q / bound:6.2f}x {q / fd16:5.2f}x {mq:>8}")
PY
