#!/usr/bin/env bash
# Installs the built rig for Linux VST 2 hosts:
#
#   scripts/install.sh [VST_FOLDER]
#
# copies Carapace.so (the VST 2.4 bridge) and Zq_BorvanRAZ.raz (the plug-in
# module) into VST_FOLDER (default ~/.vst, which hosts scan along with
# $LXVST_PATH), creates the resource and preset folders beside them, puts the
# editor's skin (the images, fonts and layouts the build drew) into the
# resource folder, and writes the settings the bridge and the module read:
#   Carapace:  "DUZ2Path" (the installed module), "VstID" ("Bv01");
#   BorvanQom: "ResPath", "PresetPath" (the two folders).
# The settings go through the store's own command (zq-settings), under
# $ZQ_SETTINGS_ROOT, else $XDG_CONFIG_HOME, else ~/.config. Running it again
# gives the same files; nothing else is touched.
#
# It installs from the build in ./build, or from $RIG_BUILD_DIR when set.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${RIG_BUILD_DIR:-$here/build}
target=${1:-$HOME/.vst}

bridge=$build/vstbridge/Carapace.so
module=$build/plugin/Zq_BorvanRAZ.raz
settings=$build/platform/zq-settings
skin=$build/skin
for built in "$bridge" "$module" "$settings" "$skin/Controls.xml"; do
    if [ ! -f "$built" ]; then
        echo "install: $built is missing; build first:" >&2
        echo "  cmake -S . -B build -G Ninja && cmake --build build" >&2
        exit 1
    fi
done

mkdir -p "$target"
target=$(cd "$target" && pwd)
resources=$target/BorvanQom/Resources
presets=$target/BorvanQom/Presets
mkdir -p "$resources" "$presets"

# Each library is copied under a temporary name and renamed over the old
# one: a host that has the old copy loaded keeps its mapping intact.
copy() {
    local from=$1 to=$2
    local partial
    partial=$(mktemp "$to.XXXXXX")
    if ! cp "$from" "$partial" || ! chmod 0755 "$partial" || ! mv -f "$partial" "$to"; then
        rm -f "$partial"
        echo "install: cannot copy $from to $to" >&2
        exit 1
    fi
}
copy "$bridge" "$target/Carapace.so"
copy "$module" "$target/Zq_BorvanRAZ.raz"
# The skin's files replace their namesakes only; anything else a user keeps
# in the resource folder stays.
for file in "$skin"/*; do
    copy "$file" "$resources/$(basename "$file")"
    chmod 0644 "$resources/$(basename "$file")"
done

"$settings" set Carapace DUZ2Path "$target/Zq_BorvanRAZ.raz"
"$settings" set Carapace VstID Bv01
"$settings" set BorvanQom ResPath "$resources"
"$settings" set BorvanQom PresetPath "$presets"

echo "Installed Carapace.so and Zq_BorvanRAZ.raz in $target"
echo "Settings written under $("$settings" where)"
