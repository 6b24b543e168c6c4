#!/usr/bin/env bash
# Builds Vemora.exe with the windows preset and starts it under Wine.
#
# With a display (DISPLAY set) the program opens on it and the script returns
# when the program ends. Without one it runs on a private Xvfb display inside
# a Wine virtual desktop, waits for the window to settle, saves a screenshot
# as build/windows/screenshot.png and stops the program again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup-debian.sh

# VEMORA_BUILD_DIR builds elsewhere than the preset's folder, with the same
# settings (for working on the program while build/windows is busy).
build=${VEMORA_BUILD_DIR:-build/windows}
if [ -n "${VEMORA_BUILD_DIR:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
else
  cmake --preset windows >/dev/null
fi
if ! ninja -C "$build" -t query Vemora >/dev/null 2>&1; then
  echo "run.sh: the build has no target Vemora (the program, from ui/) yet; nothing to start." >&2
  exit 1
fi
cmake --build "$build" --target Vemora -j "$(nproc)"

exe=$(find "$build" -name Vemora.exe -type f -print -quit)
if [ -z "$exe" ]; then
  echo "run.sh: the target Vemora built no Vemora.exe under $build" >&2
  exit 1
fi
exe="$(cd "$(dirname "$exe")" && pwd)/Vemora.exe"
# The program's own Wine prefix, apart from the tests' one: stopping it below
# then cannot disturb a test run.
state="$(cd "$build" && pwd)/run-wine"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting $exe on display $DISPLAY"
  VEMORA_WINE_DISPLAY=$DISPLAY exec scripts/wine-run.sh --state "$state" "$exe"
fi

shot="$(cd "$build" && pwd)/screenshot.png"
rm -f "$shot"
windows_exe="Z:${exe//\//\\}"
echo "No display: starting $exe on a private display"
scripts/wine-run.sh --state "$state" explorer /desktop=Vemora,800x600 "$windows_exe" \
  >"$build/run.log" 2>&1 &
runner=$!
export WINEPREFIX="$state/prefix"

stop() {
  wineserver -k 2>/dev/null || true
  wait "$runner" 2>/dev/null || true
}
trap stop EXIT

# The display appears once wine-run.sh has set up the prefix and Xvfb (the
# first run creates the prefix, about 15 s).
for _ in $(seq 600); do
  [ -s "$state/display" ] && grep -q '^[0-9]' "$state/display" && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
if ! [ -s "$state/display" ]; then
  echo "run.sh: no display came up; see $state/xvfb.log and $build/run.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$state/display")"

# Wait for the program's window inside Wine's desktop (an X window of class
# Vemora.exe larger than Wine's 1 x 1 helper windows), then until two
# screenshots half a second apart agree: the window has been drawn.
appeared=""
for _ in $(seq 300); do
  if xwininfo -root -tree 2>/dev/null | grep -i '("Vemora\.exe"' | grep -qv ' 1x1+'; then
    appeared=yes
    break
  fi
  if ! kill -0 "$runner" 2>/dev/null; then
    echo "run.sh: the program ended before its window appeared; see $build/run.log" >&2
    exit 1
  fi
  sleep 0.1
done
[ -n "$appeared" ] || echo "run.sh: no program window after 30 s; taking the screenshot anyway" >&2
previous=""
for _ in $(seq 60); do
  sleep 0.5
  import -window root -crop 800x600+0+0 +repage "$shot.new.png" 2>/dev/null || continue
  current=$(md5sum <"$shot.new.png")
  [ "$current" = "$previous" ] && break
  previous=$current
done
if [ -e "$shot.new.png" ]; then
  mv "$shot.new.png" "$shot"
  echo "Screenshot saved: $shot"
else
  echo "run.sh: no screenshot could be taken" >&2
  exit 1
fi
