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
