#!/usr/bin/env bash
# `cmake --install` into a staging folder, as packaging does: the program lands in the service's
# folder and nothing else does; the desktop files land under the prefix, and they validate together.
# Usage: install_layout_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
app_id=org.quorvel.connect.menu
install_dir=$(sed -n 's/^QUORVEL_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
program=${install_dir#/}/quorvel-connect

rm -rf "$work"
mkdir -p "$work"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log"

expected=(
    "$program"
    usr/share/applications/$app_id.desktop
    usr/share/metainfo/$app_id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$app_id.svg
    usr/share/icons/hicolor/scalable/apps/$app_id-symbolic.svg
)
for size in 16 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done

diff -u <(printf '%s\n' "${expected[@]}" | sort) \
    <(cd "$work/root" && find . -type f -printf '%P\n' | sort) ||
    { echo "the installed files differ from the expected layout (- expected, + installed)"; exit 1; }

[[ -x $work/root/$program ]] || { echo "the program is not executable"; exit 1; }

# Each launcher PNG has the size its folder names.
for size in 16 24 32 48 64 128 256; do
    png=$work/root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    actual=$(identify -format '%wx%h' "$png")
    [[ $actual == "${size}x${size}" ]] || { echo "$png is $actual"; exit 1; }
done

desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
if [[ $install_dir =~ ^[A-Za-z0-9/._+-]+$ ]]; then
    grep -qxF "Exec=/$program" "$work/root/usr/share/applications/$app_id.desktop" ||
        { echo "the desktop entry does not start the installed program"; exit 1; }
fi
# Checks the metadata and that its launchable desktop entry and icon are in the tree beside it.
appstreamcli validate-tree --no-net "$work/root"
echo "install layout: ok"
