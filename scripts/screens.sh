#!/usr/bin/env bash
# Screenshots of the main window showing a K80-50 under an English and a
# Russian system locale at 96, 120 and 144 pixels per inch, saved as
# docs/screens/locale-<en|ru>-<ppi>ppi.png (or in the folder given).
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
out=${1:-$top/docs/screens}
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" x86_64 || exit 1
. "$top/scripts/wine-env.sh"
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-screens}
export WINEPREFIX=$QUENDAL_WINEPREFIX
/usr/lib/wine/wineserver -k 2>/dev/null
quendal_wine_prefix || exit 1
unset DISPLAY
quendal_private_display || exit 1
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null
  [ -n "${QUENDAL_XVFB_PID:-}" ] && kill "$QUENDAL_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

bin="$top/build/x86_64/bin"
mkdir -p "$out"
scenario=$(mktemp --suffix=.txt)
printf 'version 3.3\nslot 4 model=k8050 name=K80-50 serial=EN2026RU\n' >"$scenario"
export CORVANE_SCENARIO=$(winepath_of "$scenario")
wine=/usr/lib/wine/wine64
status=0
for lang in en_US.UTF-8 ru_RU.UTF-8; do
  for dpi in 96 120 144; do
    /usr/lib/wine/wineserver -k 2>/dev/null
    quendal_set_dpi "$dpi"
    export LANG=$lang LC_ALL=$lang
    /usr/lib/wine/wineserver -p
    file="$out/locale-${lang%%_*}-${dpi}ppi.png"
    (cd "$bin" && exec "$wine" Quendal.exe) &
    pid=$!
    if "$wine" "$bin/Inspector.exe" wait MainForm 20000 >/dev/null; then
      sleep 3  # the first scans and the K80-50's load
      if "$wine" "$bin/Inspector.exe" screenshot "$(winepath_of "$file")" MainForm; then
        # The inspector writes its PNGs unpacked.
        convert "$file" -define png:compression-level=9 "$file" 2>/dev/null
        echo "screens: $file"
      else
        status=1
      fi
    else
      echo "screens: no main window under $lang at $dpi ppi"
      status=1
    fi
    "$wine" "$bin/Inspector.exe" key MainForm Q ctrl >/dev/null 2>&1
    wait "$pid"
  done
done
rm -f "$scenario"
/usr/lib/wine/wineserver -k 2>/dev/null
quendal_set_dpi 96
exit $status
