#!/usr/bin/env bash
# Runs benchmark programs one after another, shows their output as it comes,
# and ends with a summary of every RATIO and GOAL line they printed.
#
#   scripts/run-benchmarks.sh [--] program... [-- benchmark arguments...]
#
# Colour codes are taken out before the RATIO lines are picked, so none is
# lost behind an escape sequence, and the summary is checked against the raw
# output: a RATIO or GOAL line that the summary would miss is an error. A program that
# fails (a crash, an abort, an error exit) fails the command, after the other
# programs have run.
set -euo pipefail

programs=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    programs+=("$1")
    shift
done
[ $# -gt 0 ] && shift # the "--" before the benchmark arguments

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
summary="$work/summary"
: > "$summary"
failed=()
missing=0

strip_colour() { sed 's/\x1b\[[0-9;]*[A-Za-z]//g'; }

for exe in "${programs[@]}"; do
    name=$(basename "$exe")
    raw="$work/$name.out"
    echo "== $name"
    status=0
    "$exe" "$@" 2>&1 | tee "$raw" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "== $name FAILED (exit status $status)"
        failed+=("$name")
    fi
    clean="$work/$name.clean"
    strip_colour < "$raw" > "$clean"
    kept=$(awk -v name="$name" '/^(RATIO|GOAL) /{ sub(/^RATIO /, name ": "); sub(/^GOAL /, name ": goal: "); print }' "$clean" |
        tee -a "$summary" | wc -l)
    # Every RATIO and GOAL the program printed, wherever on its line, must have made it.
    printed=$(grep -o -E '(RATIO|GOAL) ' "$clean" | wc -l)
    if [ "$printed" -ne "$kept" ]; then
        echo "== $name: $printed ratio lines printed, $kept in the summary"
        missing=1
    fi
done

echo
echo "== Summary (time per iteration, ours against reference; goals)"
cat "$summary"

if [ ${#failed[@]} -gt 0 ]; then
    echo "Benchmark programs that failed: ${failed[*]}" >&2
    exit 1
fi
if [ "$missing" -ne 0 ]; then
    echo "The summary lost ratio lines (see above)" >&2
    exit 1
fi
