#!/usr/bin/env bash
# Runs Quendal on the stand-in library's demonstration (or the scenario in
# $CORVANE_SCENARIO). With a $DISPLAY the window appears there; without one
# it runs in a private Xvfb, prints what the main window shows whenever it
# changes and saves screenshots in run-screens/ every few seconds. Ctrl+C,
# or closing the program, ends the run.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
"$top/scripts/setup.sh" || exit 1
. "$top/scripts/wine-env.sh"
# The shipped i686 program; the x86_64 build only where 32-bit Wine cannot
# start (scripts/setup.sh makes it start through qemu-user where it can).
arch=x86_64
quendal_can_run_32 && arch=i686
"$top/scripts/build.sh" "$arch" || exit 1
bin="$top/build/$arch/bin"
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-run}
export WINEPREFIX=$QUENDAL_WINEPREFIX
quendal_wine_prefix || exit 1
loader=$(quendal_loader_for "$bin/Quendal.exe") || exit 1
[ "$arch" = i686 ] || echo "run: 32-bit Wine does not start here; running the x86_64 build"
if [ -n "${DISPLAY:-}" ]; then
  cd "$bin" && exec "$loader" Quendal.exe
fi
quendal_private_display || exit 1
shots="$top/run-screens"
mkdir -p "$shots"
cd "$bin"
"$loader" Quendal.exe &
pid=$!
stop() {
  kill "$pid" 2>/dev/null
  /usr/lib/wine/wineserver -k 2>/dev/null
  kill "$QUENDAL_XVFB_PID" 2>/dev/null
  exit 0
}
trap stop INT TERM
"$loader" Inspector.exe wait MainForm 20000 || stop
"$loader" Inspector.exe watch MainForm 250 &
n=0
while kill -0 "$pid" 2>/dev/null; do
  sleep 3
  n=$((n + 1))
  "$loader" Inspector.exe screenshot "$(winepath_of "$shots/screen-$(printf %03d $n).png")" 2>/dev/null &&
    echo "run: screenshot $shots/screen-$(printf %03d $n).png"
done
stop
