#!/usr/bin/env bash
# The amp heads side by side with a peer tube preamp (guitarix's studio preamp
# through lv2file, at its default controls), on one core's worth of CPU: a 60 s
# mono 44.1 kHz bass input, generated here, runs through each head in an
# offline runner and through the peer, in blocks of 256 frames. Each run's CPU
# (user + system of the child) is the best of three; the table gives, per head
# and level of detail, peer CPU / our CPU. Not a CI job.
#
# Goals: a tube head at "DSM" 0 at least 5 times cheaper than the peer, at
# "DSM" 1 at least twice as cheap; RE500 and RKM4Pro (no level of detail) held
# to the second.
#
#   bench/peer/compare-amps.sh [work dir, default build-amps-peer]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
work=${1:-build-amps-peer}
mkdir -p "$work"
work=$(cd "$work" && pwd)

# The rig's build tools, then the peer and the runner's WAV library.
scripts/deps.sh
packages=(lv2file guitarix-lv2 libsndfile1-dev pkg-config python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo -n"
    echo "Installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

peer=http://guitarix.sourceforge.net/plugins/gx_studiopre#studiopre

# The input: the whole minute, and its first second to weigh each side's start-up.
python3 bench/peer/make-bass.py "$work/bass.wav" 60
python3 bench/peer/make-bass.py "$work/bass-1s.wav" 1

cmake -S bench/peer -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$work/build" -j 3 > /dev/null
runner=$work/build/amps-runner

# Best of three: the least user + system CPU seconds of the child running "$@".
cpu() {
    python3 - "$@" <<'PY'
import resource, subprocess, sys
best = None
for _ in range(3):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    used = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = used if best is None else min(best, used)
print(f"{best:.3f}")
PY
}

# One core: the child runs pinned where taskset is there.
pin=()
command -v taskset > /dev/null && pin=(taskset -c 0)

peerCpu=$(cpu "${pin[@]}" lv2file -i "$work/bass.wav" -o "$work/peer.wav" -b 256 --ignore-clipping "$peer")
peerStart=$(cpu "${pin[@]}" lv2file -i "$work/bass-1s.wav" -o "$work/peer-1s.wav" -b 256 --ignore-clipping "$peer")

echo
echo "Peer (gx_studiopre, defaults): $peerCpu s CPU for 60 s of audio ($peerStart s for the first second)"
echo
printf '%-16s %-5s %9s %9s %7s %9s %6s  %s\n' head level "ours [s]" "1s [s]" ratio "net ratio" goal met
for head in RKMClassic_DSM0 RKMClassic_DSM1 V9E_50W_DSM0 V9E_50W_DSM1 V9E_100W_DSM0 V9E_100W_DSM1 RE500 RKM4Pro; do
    ours=$(cpu "${pin[@]}" "$runner" "$head" "$work/bass.wav" "$work/$head.wav")
    start=$(cpu "${pin[@]}" "$runner" "$head" "$work/bass-1s.wav" "$work/$head-1s.wav")
    case $head in
        *_DSM0) level=0 goal=5 ;;
        *_DSM1) level=1 goal=2 ;;
        *) level=- goal=2 ;;
    esac
    python3 - "$head" "$level" "$ours" "$start" "$peerCpu" "$peerStart" "$goal" <<'PY'
import sys
head, level = sys.argv[1:3]
ours, start, peer, peer_start, goal = map(float, sys.argv[3:])
ratio = peer / ours if ours > 0 else float("inf")
# net of start-up: the CPU of the 59 s after the first second, on each side
net = (peer - peer_start) / (ours - start) if ours > start else float("inf")
print(f"{head:<16} {level:<5} {ours:9.3f} {start:9.3f} {ratio:7.2f} {net:9.2f} {goal:>6.0f}  {'yes' if ratio >= goal else 'NO'}")
PY
done
echo
echo "ratio = peer CPU / our CPU over the whole run (start-up included); net ratio leaves out"
echo "each side's CPU for the first second's run (start-up and one second of audio)."
