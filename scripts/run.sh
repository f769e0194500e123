#!/usr/bin/env bash
# The main job: starts the standalone host BorvanQom with the rig's editor
# inside it.
#
#   scripts/run.sh                   install what is missing, build, set up, start
#   scripts/run.sh --settings-only   only the set-up step, from a finished build
#
# 1. Installs the Debian packages the build needs (scripts/deps.sh).
# 2. Builds everything in Release in build-release (the folder the benchmark
#    run, scripts/bench.sh, shares), or in $RIG_BUILD_DIR when set.
# 3. Set-up: writes "DUZ2Path" (the built module) and "ResPath" (the editor's
#    skin as the build drew it) under the key BorvanQom of the user's settings
#    store ($ZQ_SETTINGS_ROOT, else $XDG_CONFIG_HOME, else ~/.config), through
#    the store's own command zq-settings; and "PresetPath" (a folder for the
#    user's presets, which the editor's preset browser asks for at every
#    start) when none is set yet. It writes no audio ("Host.") value: the
#    host's own first run chooses the device.
# 4. Needs a display: without one it says so and fails.
# 5. Audio: a JACK server already running is used as it is. Without one, on a
#    machine with no sound card, it starts a server of its own on the dummy
#    driver (jackd -r -d dummy -r 48000) and stops it when the host ends; with
#    a sound card the host's first run finds the card through ALSA.
# 6. Runs BorvanQom until its window closes (Control+Q) and answers its exit
#    status.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${RIG_BUILD_DIR:-$here/build-release}

settings_only=0
case "${1:-}" in
"") ;;
--settings-only) settings_only=1 ;;
*)
    echo "usage: scripts/run.sh [--settings-only]" >&2
    exit 2
    ;;
esac

write_settings() {
    local store=$build/platform/zq-settings module=$build/plugin/Zq_BorvanRAZ.raz
    local skin=$build/skin
    for built in "$store" "$module" "$skin/Controls.xml"; do
        if [ ! -f "$built" ]; then
            echo "run: $built is missing: build first (scripts/run.sh builds)" >&2
            exit 1
        fi
    done
    "$store" set BorvanQom DUZ2Path "$module"
    "$store" set BorvanQom ResPath "$skin"
    # The user's presets outlive the build: kept where they are once set.
    if ! "$store" get BorvanQom PresetPath >/dev/null 2>&1; then
        local presets=${XDG_DATA_HOME:-$HOME/.local/share}/BorvanQom/Presets
        mkdir -p "$presets"
        "$store" set BorvanQom PresetPath "$presets"
    fi
    echo "Settings written under $("$store" where)"
}

if [ $settings_only -eq 1 ]; then
    write_settings
    exit 0
fi

cd "$here"
scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIG_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)"
write_settings

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "run: no display (DISPLAY=${DISPLAY:-unset}): BorvanQom needs an X display to show" \
        "its window. Run it from a desktop session, or over ssh -X." >&2
    exit 1
fi

# A JACK server is running when a client can reach it without starting one.
jack_running() { JACK_NO_START_SERVER=1 jack_lsp >/dev/null 2>&1; }
# /proc/asound/cards lists the ALSA cards, or says there are none.
has_sound_card() {
    [ -r /proc/asound/cards ] && grep -q '[^[:space:]]' /proc/asound/cards &&
        ! grep -qi 'no soundcards' /proc/asound/cards
}

jack_pid=""
stop_jack() {
    if [ -n "$jack_pid" ]; then
        kill "$jack_pid" 2>/dev/null || true
        wait "$jack_pid" 2>/dev/null || true
        jack_pid=""
    fi
}
trap stop_jack EXIT
# Interrupted, the script still stops the server it started.
trap 'exit 130' INT TERM

if jack_running; then
    echo "Audio: the JACK server that is running."
elif has_sound_card; then
    echo "Audio: no JACK server runs; the host's first run chooses the sound card (ALSA)."
else
    echo "Audio: no JACK server and no sound card: starting JACK on its dummy driver."
    jack_log=$(mktemp "${TMPDIR:-/tmp}/borvanqom-jackd.XXXXXX")
    jackd -r -d dummy -r 48000 >"$jack_log" 2>&1 &
    jack_pid=$!
    for _ in $(seq 100); do
        jack_running && break
        if ! kill -0 "$jack_pid" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    if ! jack_running; then
        echo "run: the dummy JACK server did not start:" >&2
        cat "$jack_log" >&2
        rm -f "$jack_log"
        exit 1
    fi
    rm -f "$jack_log"
fi

status=0
"$build/host/BorvanQom" || status=$?
stop_jack
exit $status
