#!/usr/bin/env bash
# The benchmark run: a Release build of the benchmark suite (the whole rig
# through the built module included, and the bass line the benchmarks play,
# which the build generates), every benchmark run once, then a summary of
# every ratio against its reference and every goal line. Fails when a
# benchmark program fails. Shares its build folder with scripts/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIG_BUILD_TESTS=OFF
cmake --build build-release -j "$(nproc)"

programs=()
for exe in build-release/bench/*Bench; do
    [ -x "$exe" ] && programs+=("$exe")
done
exec scripts/run-benchmarks.sh "${programs[@]}" -- --benchmark_color=false "$@"
