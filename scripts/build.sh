#!/usr/bin/env bash
# Configures and builds the given presets (default: all four), reusing
# their trees under build/.
set -eu
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(x86_64 x86_64-tests i686 i686-tests)
for p in "${presets[@]}"; do
  if [ ! -f "build/$p/CMakeCache.txt" ]; then
    mkdir -p build
    cmake --preset "$p" >"build/configure-$p.log" 2>&1 || { cat "build/configure-$p.log"; exit 1; }
  fi
  echo "build: $p"
  if ! cmake --build --preset "$p" >"build/$p/build.log" 2>&1; then
    grep -E 'error|Error|undefined' -A4 "build/$p/build.log" | head -80
    echo "build: $p failed (build/$p/build.log)"
    exit 1
  fi
done
