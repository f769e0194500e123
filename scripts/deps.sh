#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Runs as root or through sudo, without standard input.
set -euo pipefail

packages=(g++ cmake ninja-build ccache lld pkg-config googletest libgtest-dev libbenchmark-dev
          libboost-dev libfftw3-dev libtinyxml-dev locales lsp-plugins-vst clang-format
          rubberband-cli soundstretch
          libx11-dev libpng-dev zlib1g-dev xvfb x11-utils libxtst-dev libcairo2-dev
          libfontconfig-dev libfreetype-dev fonts-dejavu-core
          jackd2 libjack-jackd2-dev libasound2-dev libsndfile1-dev libsamplerate0-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo -n"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
