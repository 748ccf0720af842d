#!/usr/bin/env bash
# Installs what building and testing Quendal needs on Debian 12 (as root, or
# through sudo): MinGW-w64 for i686 and x86_64, 32- and 64-bit Wine, Xvfb,
# fonts, CMake, GoogleTest sources, the two locales the tests run under, and
# clang with its sanitizer and libFuzzer runtimes (libclang-rt-14-dev, only
# recommended by clang) and llvm-symbolizer for the native fuzz targets, and
# Python, which packs the release (scripts/release-pack.py).
set -eu
packages=(cmake make googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine32:i386 wine64 xvfb x11-apps imagemagick fonts-wine fonts-liberation locales
          clang libclang-rt-14-dev llvm python3)
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
suite=$(. /etc/os-release 2>/dev/null; echo "${VERSION_CODENAME:-bookworm}")

# A package mirror has bad days: an index served half-synced makes
# `apt-get update` fail for one source, and without that index the
# Multi-Arch libraries of amd64 and i386 come from different suites, so the
# i386 packages cannot be installed. Each apt-get is tried again three times,
# QUENDAL_APT_PAUSE seconds apart (20); an index that still fails is named
# and left out, and an install that then breaks on the two architectures'
# versions takes its candidates from the main suite for both. Nothing else
# on the machine (preferences, sources) is changed for it.
pause=${QUENDAL_APT_PAUSE:-20}
apt_out=$(mktemp)
trap 'rm -f "$apt_out"' EXIT
failed_sources=""

# Runs apt-get with the given arguments, up to four times; its output is in
# $apt_out. An install that fails on unmet dependencies is not tried again:
# the same indexes give the same answer.
apt_retry() {
  local try
  for try in 1 2 3 4; do
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get "$@" >"$apt_out" 2>&1 && return 0
    grep -qE 'held broken packages|is not going to be installed' "$apt_out" && return 1
    [ $try = 4 ] && return 1
    echo "setup: apt-get $1 failed (try $try of 4); trying again in $pause s" >&2
    sleep "$pause"
  done
}

# Refreshes the package indexes. Sources whose index still cannot be
# fetched are named, and set-up goes on without them.
apt_update() {
  apt_retry update -qq && return 0
  local sources
  sources=$(sed -nE 's#^E: Failed to fetch ([^ ]+)/dists/([^/]+)/([^/]+)/binary-([^/]+)/.*#\1 \2/\3 (\4)#p;
                     t; s#^E: Failed to fetch ([^ ]+).*#\1#p' "$apt_out" | sort -u)
  [ -n "$sources" ] || { cat "$apt_out" >&2; echo "setup: apt-get update failed" >&2; exit 1; }
  while read -r source; do
    echo "setup: warning: the package index of $source cannot be fetched (the mirror may be syncing); going on without it" >&2
  done <<<"$sources"
  failed_sources+="$sources"$'\n'
}

# Installs packages. If that breaks on architecture skew (a source's index
# missing for one architecture), installs with the main suite as the target
# release, which takes both architectures' candidates from the same suite.
apt_install() {
  apt_retry install -y -qq --no-install-recommends "$@" && return 0
  if grep -qE 'held broken packages|is not going to be installed' "$apt_out"; then
    echo "setup: the install failed on mismatched amd64 and i386 versions; installing with $suite as the target release" >&2
    apt_retry install -y -qq --no-install-recommends -t "$suite" "$@" && return 0
  fi
  cat "$apt_out" >&2
  echo "setup: cannot install $* from any suite${failed_sources:+; the package index that could not be fetched: $(echo $failed_sources)}" >&2
  exit 1
}

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO dpkg --add-architecture i386
  apt_update
  apt_install "${missing[@]}"
fi
# English and Russian UTF-8 locales.
need_gen=0
for l in en_US.UTF-8 ru_RU.UTF-8; do
  locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || need_gen=1
done
if [ $need_gen = 1 ]; then
  $SUDO sed -i -E 's/^# *(en_US.UTF-8 UTF-8|ru_RU.UTF-8 UTF-8)/\1/' /etc/locale.gen
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# 32-bit Wine. Where the kernel refuses 32-bit code (no IA-32 emulation),
# i386 programs run through qemu-user registered in binfmt_misc. Bookworm's
# qemu 7.2 takes about a minute to start each Wine process, so the newer one
# from the bookworm-backports suite is used, from the same mirror as the
# machine's own Debian sources.
runs_32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if ! runs_32; then
  qemu=/usr/bin/qemu-i386-static
  qemu_major=$( { $qemu --version 2>/dev/null || true; } | sed -n 's/.*version \([0-9]*\)\..*/\1/p')
  if [ -z "$qemu_major" ] || [ "$qemu_major" -lt 10 ]; then
    if ! apt-cache policy 2>/dev/null | grep -q 'bookworm-backports'; then
      mirror=$(grep -rhoE '^(URIs:|deb) +[^ ]+' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
                 /etc/apt/sources.list.d/*.list 2>/dev/null |
               awk '{print $2}' | grep -E '/debian/?$' | head -n 1)
      [ -n "$mirror" ] || { echo "setup: no Debian mirror found in the apt sources for bookworm-backports" >&2; exit 1; }
      printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$mirror" | $SUDO tee /etc/apt/sources.list.d/quendal-backports.sources >/dev/null
      apt_update
    fi
    echo "setup: installing qemu-user-static from bookworm-backports for 32-bit Wine"
    apt_retry install -y -qq --no-install-recommends -t bookworm-backports qemu-user-static ||
      { cat "$apt_out" >&2; echo "setup: cannot install qemu-user-static from bookworm-backports" >&2; exit 1; }
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e $binfmt/register ] || $SUDO mount -t binfmt_misc binfmt_misc $binfmt
  # The F flag keeps the interpreter that was registered: register again
  # whenever the entry names another file or is missing.
  for old in $binfmt/qemu-i386 $binfmt/quendal-i386; do
    [ -e "$old" ] && ! grep -qx "interpreter $qemu" "$old" && echo -1 | $SUDO tee "$old" >/dev/null
  done
  if [ ! -e $binfmt/qemu-i386 ] && [ ! -e $binfmt/quendal-i386 ]; then
    printf '%s' ':quendal-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $SUDO tee $binfmt/register >/dev/null
  fi
  runs_32 || { echo "setup: 32-bit Wine still does not start (qemu-user through binfmt_misc)" >&2; exit 1; }
  echo "setup: 32-bit Wine runs through $($qemu --version | head -n 1)"
fi
