#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with a
# display: the caller's $DISPLAY, or a private Xvfb started for this run.
# Used as CMake's cross-compiling emulator and by the run and test scripts.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-env.sh"
quendal_wine_prefix || exit 1
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
