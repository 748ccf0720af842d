# Shared Wine settings for the project's scripts; source it.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEPREFIX=${QUENDAL_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/quendal/wineprefix}}
QUENDAL_DESKTOP_SIZE=${QUENDAL_DESKTOP_SIZE:-1024x768}

# Whether 32-bit Wine starts: natively, or through qemu-user (scripts/setup.sh).
quendal_can_run_32() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The Wine loader for a PE file: wine for i686, wine64 for x86_64.
quendal_loader_for() {
  local f=$1 machine
  if [ -f "$f" ]; then
    machine=$(od -An -tx2 -j $(( $(od -An -tu4 -j 60 -N 4 "$f" | tr -d ' ') + 4 )) -N 2 "$f" | tr -d ' ')
  else
    machine=8664
  fi
  if [ "$machine" = "014c" ]; then
    if ! quendal_can_run_32; then
      echo "wine-run: $f is a 32-bit program and this machine's kernel cannot run 32-bit Wine" >&2
      return 1
    fi
    echo /usr/lib/wine/wine
  else
    echo /usr/lib/wine/wine64
  fi
}

# A private prefix, made once: virtual desktop for every program, no crash
# dialog, and the screen resolution from QUENDAL_DPI (default 96).
quendal_wine_prefix() {
  local dpi=${QUENDAL_DPI:-96} stamp="$WINEPREFIX/.quendal-ready"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # A prefix made while 32-bit Wine could not run lacks the 32-bit system
  # DLLs ("could not load kernel32.dll"): make it again.
  if [ -f "$stamp" ] && quendal_can_run_32 && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "wine-env: $WINEPREFIX has no 32-bit system files; making it again" >&2
    /usr/lib/wine/wineserver -k 2>/dev/null
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$stamp" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    local reg; reg=$(mktemp --suffix=.reg)
    cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$QUENDAL_DESKTOP_SIZE"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Decorated"="Y"
"Managed"="N"
REG
    /usr/lib/wine/wine64 regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1
    rm -f "$reg"
    /usr/lib/wine/wineserver -w
    touch "$stamp"
  fi
  # Wine draws the title-bar buttons with its Marlett font; this Wine does
  # not look in its own font folder, so without a copy in the prefix the
  # buttons show as the letters 0, 1 and r.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  quendal_set_dpi "$dpi"
}

winepath_of() { echo "Z:${1//\//\\}"; }

# The resolution Wine reports as the screen's (LogPixels).
quendal_set_dpi() {
  local dpi=$1 cur="$WINEPREFIX/.quendal-dpi"
  [ -f "$cur" ] && [ "$(cat "$cur")" = "$dpi" ] && return 0
  /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  /usr/lib/wine/wine64 reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  echo "$dpi" >"$cur"
}

# A private Xvfb on a free display number; exported as DISPLAY.
quendal_private_display() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      QUENDAL_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
      done
      echo "wine-env: Xvfb on :$n did not start" >&2
      return 1
    fi
  done
  echo "wine-env: no free display number" >&2
  return 1
}

# A wineserver that stays up for a run of many programs, with Wine's own
# services already started: they outlive every program, and started by a
# program under a test runner they would inherit its output pipe and keep
# it waiting. Takes the caller's LANG and LC_ALL.
quendal_start_wineserver() {
  /usr/lib/wine/wineserver -k 2>/dev/null
  /usr/lib/wine/wineserver -p
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1
}

# The prefix, a private Xvfb and a standing wineserver for a script that
# runs programs itself; all ended when the script exits.
quendal_wine_session() {
  quendal_wine_prefix || return 1
  unset DISPLAY
  quendal_private_display || return 1
  trap quendal_end_session EXIT
  quendal_start_wineserver
}

quendal_end_session() {
  /usr/lib/wine/wineserver -k 2>/dev/null
  [ -n "${QUENDAL_XVFB_PID:-}" ] && kill "$QUENDAL_XVFB_PID" 2>/dev/null
}
