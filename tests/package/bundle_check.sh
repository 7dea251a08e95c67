#!/usr/bin/env bash
# macOS: `cmake --install` into a staging folder, then the installed .app: its Info.plist lints and
# says what the system relies on (the identifier by which running copies are counted, no Dock icon,
# macOS 13), its icon is there, every architecture of its program asks for macOS 13.0, it links
# only the system's libraries and holds no Qt, and its ad-hoc signature verifies.
# Usage: bundle_check.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
install_dir=$(sed -n 's/^QUORVEL_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
rm -rf "$work"
DESTDIR="$work" cmake --install "$build" >/dev/null
app="$work$install_dir/QUORVEL Connect.app"
plist="$app/Contents/Info.plist"
plutil -lint "$plist"
read_key() { plutil -extract "$1" raw -o - "$plist"; }
[[ $(read_key CFBundleIdentifier) == org.quorvel.connect.menu ]]
[[ $(read_key LSUIElement) == true ]]
[[ $(read_key LSMinimumSystemVersion) == 13.0 ]]
[[ -s "$app/Contents/Resources/$(read_key CFBundleIconFile)" ]]
program="$app/Contents/MacOS/$(read_key CFBundleExecutable)"
# Each architecture slice on its own: a universal program's slices are built apart.
for arch in $(lipo -archs "$program"); do
    minimum=$(otool -arch "$arch" -l "$program" | awk '$1 == "minos" {print $2}')
    [[ $minimum == 13.0 ]] || { echo "$arch: minimum system '$minimum'" >&2; exit 1; }
done
# Nothing but the system's own libraries and frameworks, and no Qt anywhere in the bundle.
foreign=$(otool -L "$program" | awk '/^\t/ {print $1}' | grep -v '^/usr/lib/\|^/System/' || true)
[[ -z $foreign ]] || { echo "linked from outside the system: $foreign" >&2; exit 1; }
[[ -z $(find "$app" -iname '*qt*') ]] || { echo "Qt inside the bundle" >&2; exit 1; }
codesign --verify --deep --strict "$app"
codesign --display --verbose=2 "$app" 2>&1 | grep -q '^Signature=adhoc$'

