#!/usr/bin/env bash
# The main job until the standalone host exists: a Release build of the
# benchmark suite (the whole rig through the built module included), every
# benchmark run once, then a summary of every ratio against its reference.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIG_BUILD_TESTS=OFF
cmake --build build-release -j "$(nproc)"

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
for exe in build-release/bench/*Bench; do
    [ -x "$exe" ] || continue
    echo "== $(basename "$exe")"
    "$exe" "$@" | tee -a /dev/stderr | grep '^RATIO' | sed "s|^RATIO |$(basename "$exe"): |" >> "$summary" || true
done 2>&1

echo
echo "== Summary (time per iteration, ours against reference)"
cat "$summary"
