#!/usr/bin/env bash
# Tries the release zip as a Windows user would. Unpacks it the way Explorer
# on a Chinese Windows reads it into a folder whose path holds Chinese
# characters and spaces, and checks the entries, the usage note, the
# checksums, the sizes, the version resources and that each program imports
# only Windows' own DLLs. Then, under Wine, starts Quellor.exe from there (its
# window appears; an option click writes config.ini beside it; closing it
# writes path.txt) and runs quellor-find.exe --version and a small search there.
#   tests/release/release_test.sh [ZIP]     (default: what scripts/release made)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

version=$(sed -n 's/^project(Quellor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=${1:-dist/Quellor-$version-win32.zip}
[ -f "$zip" ] || { echo "release test: $zip not found (scripts/release makes it)" >&2; exit 1; }

fail() { echo "release test: $*" >&2; exit 1; }
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }

# Chinese names here come in runs of two characters: while Wine reads names
# on disk as GBK, the UTF-8 bytes of such a run are valid GBK pairs, so the
# name still leads back to the same folder.
work="$root/build/release-test"
dir="$work/发布 测试/Quellor $version"
rm -rf "$work/发布 测试"

echo "=== release test: $zip"
python3 tests/release/check_release.py "$zip" "$version" "$dir" || fail "the zip is not as it should be"
cmake -DOBJDUMP=i686-w64-mingw32-objdump -DEXE="$dir/Quellor.exe" -P cmake/check-imports.cmake >/dev/null
cmake -DOBJDUMP=i686-w64-mingw32-objdump -DEXE="$dir/quellor-find.exe" -DCONSOLE=ON -P cmake/check-imports.cmake \
  >/dev/null
echo "  both programs import only Windows' own DLLs"

# The zip's programs are 32-bit: where the kernel cannot run 32-bit programs,
# Wine cannot start them, and the rest of this test says so and stops.
if ! scripts/wine-run --can-run-32bit; then
  echo "release test: NOT RUN under Wine: this machine cannot run 32-bit programs (the zip's file checks passed)"
  exit 0
fi

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target window_probe >/dev/null
probe="$root/build/win32/tests/release/window_probe.exe"

prefix="$work/wineprefix"
display=""
for n in $(seq 40 59); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done
[ -n "$display" ] || fail "no free display number"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
quellor_pid=""
cleanup() {
  [ -z "$quellor_pid" ] || kill "$quellor_pid" 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
run_wine() { "$root/scripts/wine-run" --prefix "$prefix" "$@"; }
# No window manager on the virtual display.
run_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null

echo "=== release test: Quellor.exe under Wine"
(cd "$dir" && run_wine "$dir/Quellor.exe") &
quellor_pid=$!
for _ in $(seq 1 120); do
  xwininfo -root -tree 2>/dev/null | grep -q "QuellorV$version" && break
  sleep 0.5
done
xwininfo -root -tree 2>/dev/null | grep -q "QuellorV$version" || fail "the window did not appear"
import -window root "$work/window.png" 2>/dev/null || echo "  (no screenshot: import failed)"
run_wine "$probe" >"$work/caption.txt" || fail "the window probe failed"
gbk "QuellorV$version Quellor工作室出品 批量找文件" >"$work/caption-expected.txt"
tr -d '\r\n' <"$work/caption.txt" | cmp -s - "$work/caption-expected.txt" || fail "caption: $(cat "$work/caption.txt")"
for _ in $(seq 1 60); do kill -0 "$quellor_pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$quellor_pid" 2>/dev/null && fail "Quellor.exe did not end after its window closed"
wait "$quellor_pid" || fail "Quellor.exe ended with status $?"
quellor_pid=""
[ -f "$dir/config.ini" ] || fail "no config.ini beside Quellor.exe after an option click"
LC_ALL=C grep -qF "$(gbk '保存关键字=真')" "$dir/config.ini" || fail "config.ini does not hold the click"
[ -f "$dir/path.txt" ] && [ -f "$dir/filemame.txt" ] || fail "closing did not write path.txt and filemame.txt beside Quellor.exe"
echo "  window appeared with its caption; config.ini, path.txt and filemame.txt written beside it"

echo "=== release test: quellor-find.exe under Wine"
[ "$(cd "$dir" && run_wine "$dir/quellor-find.exe" --version | tr -d '\r')" = "quellor-find $version" ] ||
  fail "quellor-find.exe --version does not say $version"
mkdir -p "$dir/样例 文件/照片 备份"
touch "$dir/样例 文件/照片 备份/IMG_0001.jpg" "$dir/样例 文件/IMG_0002.png" "$dir/样例 文件/IMG_00021.png"
printf 'IMG_0001\r\nIMG_0002\r\nIMG_0003\r\n' >"$dir/names.txt"
counts=$(cd "$dir" && run_wine "$dir/quellor-find.exe" -q -c --names names.txt --not-found missing.txt . | tr -d '\r') ||
  fail "quellor-find.exe -c failed"
[ "$counts" = "$(printf '1\tIMG_0001\n1\tIMG_0002\n0\tIMG_0003')" ] || fail "counts: $counts"
[ "$(cat "$dir/missing.txt")" = "$(printf 'IMG_0003\r\n')" ] || fail "missing.txt: $(cat "$dir/missing.txt")"
rows=$(cd "$dir" && run_wine "$dir/quellor-find.exe" -q --names names.txt . | tr -d '\r') || fail "quellor-find.exe failed"
[ "$(printf '%s\n' "$rows" | wc -l)" = 2 ] && [[ "$rows" == *'\IMG_0002.png'* ]] && [[ "$rows" == *'\IMG_0001.jpg' ]] ||
  fail "rows: $rows"
echo "  --version says $version; a search from the unpacked folder finds its two files and reports the third missing"
echo "release test: passed ($dir)"
