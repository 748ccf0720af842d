#!/usr/bin/env bash
# Configures and builds the given presets (default: all four), reusing
# their trees under build/. The trees build side by side under one make,
# which shares the machine's cores among them (QUENDAL_JOBS, default: the
# number of cores); each tree's output goes to build/PRESET/build.log.
set -eu
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(x86_64 x86_64-tests i686 i686-tests)
mkdir -p build
configured=()
for p in "${presets[@]}"; do
  if [ ! -f "build/$p/CMakeCache.txt" ]; then
    cmake --preset "$p" >"build/configure-$p.log" 2>&1 &
    configured+=("$p:$!")
  fi
done
for c in "${configured[@]}"; do
  if ! wait "${c#*:}"; then
    cat "build/configure-${c%%:*}.log"
    for other in "${configured[@]}"; do kill "${other#*:}" 2>/dev/null; done
    exit 1
  fi
done

echo "build: ${presets[*]}"
{
  echo "all: ${presets[*]}"
  echo ".PHONY: all ${presets[*]}"
  for p in "${presets[@]}"; do
    printf '%s:\n\t+@$(MAKE) --no-print-directory -C build/%s >build/%s/build.log 2>&1 || { touch build/%s.failed; exit 1; }\n' \
      "$p" "$p" "$p" "$p"
  done
} >build/trees.mk
rm -f build/*.failed
if ! make -k -j"${QUENDAL_JOBS:-$(nproc)}" -f build/trees.mk; then
  for p in "${presets[@]}"; do
    [ -f "build/$p.failed" ] || continue
    grep -E 'error|Error|undefined' -A4 "build/$p/build.log" | head -80
    echo "build: $p failed (build/$p/build.log)"
  done
  exit 1
fi
