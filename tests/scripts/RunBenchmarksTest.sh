#!/usr/bin/env bash
# scripts/run-benchmarks.sh over stand-in benchmark programs: every RATIO and
# GOAL line reaches the summary, colour codes or not, and a program that aborts fails
# the command while the others still run and are summarised.
set -uo pipefail
runner="$(cd "$(dirname "$0")/../.." && pwd)/scripts/run-benchmarks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A program as the colouring console reporter leaves its output: the escape
# that ends its last table line sticks to the first RATIO line.
cat > "$work/ColourBench" <<'PROGRAM'
#!/usr/bin/env bash
printf '\033[32mBM_Ours\033[m      \033[33m12 ns\033[m\n'
printf '\033[mRATIO first: ours 12.00 ns, reference 6.00 ns, ours/reference 2.000\n'
printf 'RATIO second: ours 3.00 ns, reference 6.00 ns, ours/reference 0.500\n'
PROGRAM
cat > "$work/PlainBench" <<'PROGRAM'
#!/usr/bin/env bash
echo "BM_Plain 5 ns"
echo "RATIO third: ours 5.00 ns, reference 5.00 ns, ours/reference 1.000"
echo "GOAL fourth: 40.0 ns per item (thread CPU), goal 45 ns, ratio 0.889 (met)"
PROGRAM
cat > "$work/AbortingBench" <<'PROGRAM'
#!/usr/bin/env bash
echo "RATIO before the crash: ours 1.00 ns, reference 1.00 ns, ours/reference 1.000"
kill -ABRT $$
PROGRAM
chmod +x "$work"/*Bench

# All programs succeed: every RATIO line is in the summary.
out=$("$runner" "$work/ColourBench" "$work/PlainBench" -- --benchmark_color=false 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "succeeding programs: exit status $status"
summary=$(printf '%s\n' "$out" | sed -n '/^== Summary/,$p' | tail -n +2)
raw=$(printf '%s\n' "$out" | sed -n '/^== Summary/q;p' | grep -o 'RATIO ' | wc -l)
kept=$(printf '%s\n' "$summary" | grep -c ': ours ')
[ "$raw" -eq 3 ] || fail "expected 3 RATIO lines in the raw output, found $raw"
[ "$kept" -eq "$raw" ] || fail "summary keeps $kept of $raw RATIO lines: $summary"
printf '%s\n' "$summary" | grep -qx 'ColourBench: first: ours 12.00 ns, reference 6.00 ns, ours/reference 2.000' ||
    fail "the first RATIO line behind a colour code is missing: $summary"
printf '%s\n' "$summary" | grep -qx 'PlainBench: goal: fourth: 40.0 ns per item (thread CPU), goal 45 ns, ratio 0.889 (met)' ||
    fail "the GOAL line is missing: $summary"

# One program aborts: the command fails, the others still run and count.
out=$("$runner" "$work/AbortingBench" "$work/PlainBench" 2>&1)
status=$?
[ "$status" -ne 0 ] || fail "an aborting program left the command successful"
printf '%s\n' "$out" | grep -q '^== AbortingBench FAILED' || fail "the aborting program is not named"
printf '%s\n' "$out" | grep -qx 'PlainBench: third: ours 5.00 ns, reference 5.00 ns, ours/reference 1.000' ||
    fail "the program after the crash was not summarised"

[ "$failures" -eq 0 ] && echo "run-benchmarks checks passed"
exit "$failures"
