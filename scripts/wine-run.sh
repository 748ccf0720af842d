#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with a
# display: the caller's $DISPLAY, or a private Xvfb started for this run.
# Used as CMake's cross-compiling emulator and by the run and test scripts.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Under scripts/test.sh, ctest lends each test one of the desktops that the
# script set up (a prefix with its own wineserver and display): use that one.
desk=${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}
if [ -n "$desk" ] && [ -n "${QUENDAL_DESKTOPS:-}" ]; then
  desk=${desk#id:}
  . "$QUENDAL_DESKTOPS/${desk%%,*}.env" || exit 1
  . "$here/wine-env.sh"
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
