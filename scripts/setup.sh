#!/usr/bin/env bash
# Installs what building and testing Quendal needs on Debian 12 (as root, or
# through sudo): MinGW-w64 for i686 and x86_64, 32- and 64-bit Wine, Xvfb,
# fonts, CMake, GoogleTest sources, the two locales the tests run under, and
# clang with its sanitizer and libFuzzer runtimes (libclang-rt-14-dev, only
# recommended by clang) and llvm-symbolizer for the native fuzz targets.
set -eu
packages=(cmake make googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine32:i386 wine64 xvfb x11-apps imagemagick fonts-wine fonts-liberation locales
          clang libclang-rt-14-dev llvm)
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
      $SUDO apt-get update -qq
    fi
    echo "setup: installing qemu-user-static from bookworm-backports for 32-bit Wine"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
      -t bookworm-backports qemu-user-static >/dev/null
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
