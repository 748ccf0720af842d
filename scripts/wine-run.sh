#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with a
# display: the caller's $DISPLAY, or a private Xvfb started for this run.
# Used as CMake's cross-compiling emulator and by the run and test scripts.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Under scripts/test.sh, a program takes the first free one of the desktops
# that the script set up (a prefix with its own wineserver and display) and
# holds it by a lock until it ends: no two share an instance, a focus or a
# clipboard. Programs waiting for one queue on a lock of their own, so that a
# program just started cannot take a desktop from one that has waited long.
if [ -n "${QUENDAL_DESKTOPS:-}" ]; then
  exec 8>"$QUENDAL_DESKTOPS/queue.lock"
  flock 8
  until [ -n "${desk:-}" ]; do
    for env in "$QUENDAL_DESKTOPS"/*.env; do
      exec 9>"${env%.env}.lock"
      if flock -n 9; then desk=$env; break; fi
      exec 9>&-
    done
    [ -n "${desk:-}" ] || sleep 0.2
  done
  exec 8>&-
  . "$desk" || exit 1
  . "$here/wine-env.sh"
  loader=$(quendal_loader_for "$1") || exit 1
  "$loader" "$@" 9>&-
  exit
else
  . "$here/wine-env.sh"
  quendal_wine_prefix || exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
  quendal_private_display || exit 1
fi
loader=$(quendal_loader_for "$1") || exit 1
if [ -n "${QUENDAL_XVFB_PID:-}" ]; then
  "$loader" "$@"
  rc=$?
  /usr/lib/wine/wineserver -k 2>/dev/null
  kill "$QUENDAL_XVFB_PID" 2>/dev/null
  exit $rc
fi
exec "$loader" "$@"
