#!/usr/bin/env bash
# Runs a Windows program under Wine with a Wine prefix and an X display of its
# own. The cross build uses it as CTest's emulator (see cmake/mingw-w64.cmake)
# and scripts/run.sh starts the program through it.
#
#   scripts/wine-run.sh --state DIR [--] PROGRAM.exe [ARGUMENTS...]
#
# DIR holds the Wine prefix (made with "wineboot -i" on first use), a private
# Xvfb display and a persistent Wine server. The first caller sets them up
# under a lock, so "ctest -j2" never builds the prefix twice; later callers
# reuse them and start in about a second, and any number of programs may run
# at once (the lock is held only while setting up). The program's exit code is passed
# through. The server and the display stop by themselves once no program has
# run for VEMORA_WINE_IDLE seconds.
#
# Environment:
#   VEMORA_WINE_LOCALE   Unix locale the program runs in. Default zh_CN.UTF-8:
#                        Chinese texts render and the ANSI code page is 936.
#                        C.UTF-8 gives an English system with code page 1252.
#   VEMORA_WINE_DISPLAY  an X display to use instead of the private Xvfb
#                        (scripts/run.sh passes the user's display).
#   VEMORA_WINE_IDLE     idle seconds before the server and display stop
#                        (default 120).
#   VEMORA_WINE_DPI      a display scale in dots per inch other than 96 (120,
#                        144, 192): the program runs in a Wine prefix of its
#                        own, DIR-dpi<N>, whose LogPixels is set to it, on a
#                        private display enlarged by the same scale.
set -euo pipefail

usage() { echo "usage: $0 --state DIR [--] PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }

state=""
while (($#)); do
  case "$1" in
    --state) (($# >= 2)) || usage; state=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ -n "$state" ] && (($#)) || usage

dpi=${VEMORA_WINE_DPI:-96}
[[ "$dpi" =~ ^[1-9][0-9]*$ ]] || { echo "wine-run.sh: VEMORA_WINE_DPI must be a number" >&2; exit 2; }
[ "$dpi" = 96 ] || state="${state%/}-dpi$dpi"
mkdir -p "$state/prefix"
state=$(cd "$state" && pwd)
idle=${VEMORA_WINE_IDLE:-120}

export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and their installers would ask.
# No winemenubuilder: a shortcut made in the Start menu (by the installer
# under test) would otherwise become a desktop entry in the Unix home folder.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

alive() { [ -s "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

# A display of our own: windows cannot be created without one, and a private
# one keeps test windows off the user's screen.
start_display() {
  rm -f "$state/display"
  setsid Xvfb -displayfd 3 -screen 0 "$((1280 * dpi / 96))x$((1024 * dpi / 96))x24" -nolisten tcp \
    3>"$state/display" 9>&- </dev/null >"$state/xvfb.log" 2>&1 &
  local pid=$!
  for _ in $(seq 200); do
    grep -q '^[0-9]' "$state/display" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  grep -q '^[0-9]' "$state/display" 2>/dev/null || {
    echo "wine-run.sh: Xvfb did not start, see $state/xvfb.log" >&2; exit 125; }
  echo "$pid" >"$state/xvfb.pid"
  # The display lives as long as the Wine server: once the server has been
  # idle long enough to exit, stop the display too (unless a new server has
  # come up meanwhile).
  setsid bash -c '
    while :; do
      wineserver -w || true
      sleep 1
      exec 9>"$1/lock"; flock 9
      wineserver -k0 2>/dev/null && { exec 9>&-; continue; }
      kill "$2" 2>/dev/null; rm -f "$1/xvfb.pid" "$1/display"; exit 0
    done' _ "$state" "$pid" 9>&- </dev/null >/dev/null 2>&1 &
}

# Runs with the lock held: the Wine server, the display and the prefix.
set_up() {
  # A server we start ourselves, detached from our output: a server that a
  # test process started would inherit CTest's pipes and keep CTest waiting.
  local fresh=""
  wineserver "-p$idle" 9>&- </dev/null >>"$state/server.log" 2>&1 && fresh=yes
  if [ -z "${VEMORA_WINE_DISPLAY:-}" ] && ! alive "$state/xvfb.pid"; then
    start_display
  fi
  if [ ! -e "$state/prefix-ready" ]; then
    echo "wine-run.sh: creating the Wine prefix in $WINEPREFIX" >&2
    # wineboot reports failure for the 32-bit parts that a 64-bit-only Wine
    # lacks; what matters is that it has made the Windows directory.
    DISPLAY=$(display) LC_ALL=C.UTF-8 wineboot -i 9>&- </dev/null >"$state/wineboot.log" 2>&1 || true
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] || {
      echo "wine-run.sh: wineboot failed, see $state/wineboot.log" >&2; exit 125; }
    # End this first session: its services.exe was started before the
    # service database was written and would fail to start RpcSs later,
    # holding every program that loads OLE up for ten seconds.
    wineserver -k 9>&- </dev/null >/dev/null 2>&1 || true
    wineserver -w 9>&- </dev/null >/dev/null 2>&1 || true
    wineserver "-p$idle" 9>&- </dev/null >>"$state/server.log" 2>&1 || true
    fresh=yes
    touch "$state/prefix-ready"
  fi
  # On the private display there is no window manager, and Wine waits up to
  # 2 s for every managed window it hides (each closed message box) to be
  # withdrawn. Unmanaged windows are hidden at once.
  if [ -z "${VEMORA_WINE_DISPLAY:-}" ] && [ ! -e "$state/unmanaged" ]; then
    DISPLAY=$(display) wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      9>&- </dev/null >>"$state/wineboot.log" 2>&1 && touch "$state/unmanaged"
  fi
  # Wine reads the display scale when its server starts: set it, then start
  # the server again.
  if [ "$dpi" != 96 ] && [ ! -e "$state/dpi-set" ]; then
    DISPLAY=$(display) wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$dpi" /f 9>&- </dev/null >>"$state/wineboot.log" 2>&1
    wineserver -k 9>&- </dev/null >/dev/null 2>&1 || true
    wineserver -w 9>&- </dev/null >/dev/null 2>&1 || true
    wineserver "-p$idle" 9>&- </dev/null >>"$state/server.log" 2>&1 || true
    fresh=yes
    touch "$state/dpi-set"
  fi
  # Wine draws the caption buttons with its own Marlett font (Debian
  # fonts-wine); without it they come out as the letters "0 1 r". Debian's
  # Wine 8 looks for its fonts in the wrong folder, but finds them in the
  # prefix's own Fonts folder. Only Marlett is linked: the other fonts that the
  # tests' pixels were drawn with stay as they are.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -e "$marlett" ] && [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ]; then
    ln -sf "$marlett" "$fonts/marlett.ttf"
  fi
  # The first program of a session starts Wine's own processes (services,
  # the desktop's explorer), and they inherit its output: were that a test,
  # CTest would wait for them until the server exits. So a program of ours
  # with no output starts them; it creates a window, hence the desktop too.
  if [ -n "$fresh" ]; then
    DISPLAY=$(display) wine rundll32.exe user32.dll,GetDesktopWindow 9>&- </dev/null >/dev/null 2>&1 || true
  fi
}

display() {
  if [ -n "${VEMORA_WINE_DISPLAY:-}" ]; then echo "$VEMORA_WINE_DISPLAY"
  else echo ":$(head -n1 "$state/display")"; fi
}

exec 9>"$state/lock"
flock 9
set_up
DISPLAY=$(display)
exec 9>&-

export DISPLAY
export LC_ALL=${VEMORA_WINE_LOCALE:-zh_CN.UTF-8}

# Wine's own processes that a program may start on demand (services, the
# desktop, RpcSs) inherit its output; were that CTest's pipe, CTest would wait
# for them until the Wine server exits. So the program writes into files of
# the state folder, copied out once it has ended.
out=$(mktemp "$state/stdout.XXXXXX")
err=$(mktemp "$state/stderr.XXXXXX")
# A GoogleTest program makes this file when it starts and removes it when it
# ends normally. A process that dies on the way (a stack overflow, say) can
# reach Wine's exit with status 0; the file left behind tells.
premature=$(mktemp -u "$state/premature.XXXXXX")
export TEST_PREMATURE_EXIT_FILE="Z:$(printf '%s' "$premature" | tr / '\\')"
set +e
wine "$@" >"$out" 2>"$err"
status=$?
set -e
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
if [ -e "$premature" ]; then
  rm -f "$premature"
  if [ "$status" -eq 0 ]; then
    echo "wine-run.sh: $1 ended before its tests did" >&2
    status=1
  fi
fi
exit "$status"
