#!/usr/bin/env bash
# Builds everything (benchmarks included) and runs the whole test suite, then
# builds and runs the suite again under AddressSanitizer and UBSan, and the
# multi-threaded automation tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# The preset tests write and read numbers under a comma-decimal locale, as
# hosts often set one; without it they skip that check and say so.
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo -n"
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
        echo "Could not generate the de_DE.UTF-8 locale; the locale test will skip."
fi

jobs=$(nproc)
# No test may hang the run: each gets at most this many seconds.
timeout=900

# Every C++ file keeps the tree's format (generated tables excepted).
scripts/format.sh --check

# Line tables are all the plain run needs from debug information; full
# information costs compile and link time on every run.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout "$timeout"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRIG_SANITIZE=ON -DRIG_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --timeout "$timeout"

# The tests that run threads (their files carry "// ctest-label: tsan"):
# the automation manager's worker, a host's audio and UI threads over the VST
# bridge, amp switches under audio, the engine's audio thread beside document
# changes, processors under audio, automation and UI threads, the editor's bars under
# automation while its window opens and closes, the editor on Xvfb inside the VST test
# host under automation and audio while XTest drags its knobs, the standalone host's MIDI
# ring between two producers and the audio thread.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIG_SANITIZE_THREAD=ON -DRIG_BUILD_BENCH=OFF
cmake --build build-tsan -j "$jobs" --target tsan_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build-tsan --output-on-failure -j "$jobs" --timeout "$timeout" -L tsan

echo "All tests passed (plain, address/undefined-behaviour and thread sanitizer runs)."
