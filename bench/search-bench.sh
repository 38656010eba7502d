#!/usr/bin/env bash
# Times quellor-find against a bare traversal, GNU find and fdfind on a cached
# tree of about 200,000 files in 20,000 folders, warm cache, and prints medians,
# ratios to `find TREE -false` and quellor-find's peak memory.
#
#   bench/search-bench.sh [--runs N] [--sizes "10 100 1000 10000"]
#
# The tree and the name lists live in bench/cache (built once). quellor-find is
# built from the native preset (RelWithDebInfo, -O2).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cache="$here/cache"
tree="$cache/tree"
runs=7
sizes="10 100 1000 10000"
# GNU find tests every -iname of the OR for every entry: past this many names
# one run takes minutes, so larger sizes are not timed for it.
find_limit=100

while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--sizes \"10 100 ...\"]" >&2; exit 2 ;;
  esac
done

for tool in hyperfine fdfind python3 bc timeout /usr/bin/time; do
  command -v "$tool" > /dev/null || { echo "missing: $tool (apt-get install hyperfine fd-find python3 bc coreutils time)" >&2; exit 1; }
done

echo "== building quellor-find (native preset)" >&2
(cd "$repo" && cmake --preset native > /dev/null && cmake --build build/native --target quellor-find -j2 > /dev/null)
qf="$repo/build/native/src/cli/quellor-find"

mkdir -p "$cache"
if [ ! -f "$cache/tree.done" ]; then
  echo "== building the tree in $tree (once)" >&2
  rm -rf "$tree"
  python3 - "$tree" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(42)
kinds = [("IMG_", ".jpg"), ("invoice-", ".pdf"), ("part_", ".txt"), ("scan ", ".tif"), ("report_", ".docx")]
n = 0
for a in range(20):
    for b in range(20):
        for c in range(50):
            folder = os.path.join(root, f"dept{a:02d}", f"project{b:02d}", f"batch{c:02d}")
            os.makedirs(folder)
            for _ in range(10):
                prefix, ext = kinds[n % len(kinds)]
                name = f"{prefix}{n:06d}{ext}"
                if n % 97 == 0:
                    name = name.upper()
                os.close(os.open(os.path.join(folder, name), os.O_CREAT | os.O_WRONLY, 0o644))
                n += 1
PY
  touch "$cache/tree.done"
fi

# Name lists: half of the names exist in the tree, half do not.
for size in $sizes; do
  names="$cache/names-$size.txt"
  [ -f "$names" ] && continue
  python3 - "$size" "$names" <<'PY'
import random, sys
size, out = int(sys.argv[1]), sys.argv[2]
random.seed(size)
kinds = ["IMG_", "invoice-", "part_", "scan ", "report_"]
names = []
for i in range(size):
    n = random.randrange(200000) if i % 2 == 0 else 200000 + random.randrange(800000)
    names.append(f"{kinds[n % 5]}{n:06d}")
open(out, "w").write("\n".join(names) + "\n")
PY
done

files=$(find "$tree" -type f | wc -l)
folders=$(find "$tree" -type d | wc -l)
echo "== tree: $files files in $folders folders; warming the cache" >&2
for _ in 1 2; do find "$tree" > /dev/null; done

results="$cache/results"
rm -rf "$results"
mkdir -p "$results"
: > "$results/times.tsv"

# A fast command: hyperfine, one warm-up, the median of $runs runs.
timed() {
  local label=$1 cmd=$2
  echo "== $label" >&2
  hyperfine --style none --warmup 1 --runs "$runs" --shell bash --export-json "$results/one.json" "$cmd" > /dev/null
  python3 - "$label" "$results/one.json" "$runs" >> "$results/times.tsv" <<'PY'
import json, statistics, sys
times = json.load(open(sys.argv[2]))["results"][0]["times"]
print(f"{sys.argv[1]}\t{statistics.median(times):.4f}\t{sys.argv[3]}")
PY
}

# A command that takes many seconds: one run, cut off after $slow_limit s.
slow_limit=120
timed_once() {
  local label=$1 cmd=$2 start end status=0
  echo "== $label (one run, at most ${slow_limit} s)" >&2
  start=$(date +%s.%N)
  timeout "$slow_limit" bash -c "$cmd" || status=$?
  end=$(date +%s.%N)
  if [ "$status" = 124 ]; then
    printf '%s\t>%s\t1\n' "$label" "$slow_limit" >> "$results/times.tsv"
  else
    printf '%s\t%s\t1\n' "$label" "$(echo "$end - $start" | bc -l)" >> "$results/times.tsv"
  fi
}

timed "find -false (bare traversal)" "find '$tree' -false"
for size in $sizes; do
  names="$cache/names-$size.txt"
  timed "quellor-find exact $size" "'$qf' -q --names '$names' '$tree' > /dev/null"
  timed "quellor-find fuzzy $size" "'$qf' -q --fuzzy --names '$names' '$tree' > /dev/null"
done
for size in $sizes; do
  names="$cache/names-$size.txt"
  # One alternation; names hold only letters, digits, '_', '-' and spaces.
  alternation=$(paste -sd'|' "$names")
  echo "^(${alternation})(\\..*)?\$" > "$cache/fd-exact-$size.re"
  echo "(${alternation})" > "$cache/fd-fuzzy-$size.re"
  for mode in exact fuzzy; do
    cmd="fdfind -uu -t f -i --regex \"\$(cat '$cache/fd-$mode-$size.re')\" '$tree' > /dev/null"
    if [ "$size" -ge 10000 ]; then timed_once "fdfind $mode $size" "$cmd"; else timed "fdfind $mode $size" "$cmd"; fi
  done
done
for size in $sizes; do
  [ "$size" -le "$find_limit" ] || continue
  names="$cache/names-$size.txt"
  for mode in exact fuzzy; do
    expr=$(python3 - "$names" $mode <<'PY'
import sys, shlex
names = [l for l in open(sys.argv[1]).read().split("\n") if l]
if sys.argv[2] == "exact":
    print(" -o ".join(f"-iname {shlex.quote(n)} -o -iname {shlex.quote(n + '.*')}" for n in names))
else:
    print(" -o ".join(f"-iname {shlex.quote('*' + n + '*')}" for n in names))
PY
)
    cmd="find '$tree' -type f \\( $expr \\) > /dev/null"
    if [ "$size" -ge 100 ]; then timed_once "GNU find $mode $size" "$cmd"; else timed "GNU find $mode $size" "$cmd"; fi
  done
done

# Peak memory of quellor-find over the whole tree with the largest list.
largest=$(echo $sizes | tr ' ' '\n' | sort -n | tail -1)
for mode in exact fuzzy; do
  flag=""; [ $mode = fuzzy ] && flag="--fuzzy"
  /usr/bin/time -v "$qf" -q $flag --names "$cache/names-$largest.txt" "$tree" > /dev/null 2> "$results/time-$mode.txt"
done

python3 - "$results" "$largest" "$find_limit" "$sizes" <<'PY'
import os, re, sys
results, largest, limit, sizes = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4].split()
rows = [l.split("\t") for l in open(os.path.join(results, "times.tsv")).read().splitlines()]
base = float(rows[0][1])
print(f"{'command':32} {'median s':>9} {'runs':>5} {'x find -false':>14}")
for label, median, count in rows:
    if median.startswith(">"):
        print(f"{label:32} {median:>9} {count:>5} {'> ' + format(float(median[1:]) / base, '.0f'):>14}")
    else:
        print(f"{label:32} {float(median):9.3f} {count:>5} {float(median) / base:14.2f}")
skipped = [s for s in sizes if int(s) > limit]
if skipped:
    print(f"GNU find not timed at {', '.join(skipped)} names: one run would take many minutes (it tests every -iname of the OR for every entry).")
for mode in ("exact", "fuzzy"):
    text = open(os.path.join(results, f"time-{mode}.txt")).read()
    kib = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1))
    print(f"quellor-find peak memory, {mode}, {largest} names, whole tree: {kib / 1024:.1f} MiB")
PY
