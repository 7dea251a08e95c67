#!/usr/bin/env bash
# `cmake --install` into a staging folder, as packaging does: the program lands in the service's
# folder and nothing else does there; the desktop files land under the prefix and validate together.
# Usage: install_layout_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
app_id=org.quorvel.connect.menu
install_dir=$(sed -n 's/^QUORVEL_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
rm -rf "$work"
DESTDIR="$work" cmake --install "$build" --prefix /usr >/dev/null
expected=("${install_dir#/}/quorvel-connect" "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml" "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    "usr/share/icons/hicolor/scalable/apps/$app_id-symbolic.svg")
for size in 16 24 32 48 64 128 256; do
    png=usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    expected+=("$png")
    [[ $(identify -format '%wx%h' "$work/$png") == "${size}x${size}" ]] || exit 1
done
diff -u <(printf '%s\n' "${expected[@]}" | sort) <(cd "$work" && find . -type f -printf '%P\n' | sort)
desktop-file-validate "$work/usr/share/applications/$app_id.desktop"
# Also checks that the launchable desktop entry and the icon stand in the tree beside the metadata.
appstreamcli validate-tree --no-net "$work"
