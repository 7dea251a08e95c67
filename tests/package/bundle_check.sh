#!/usr/bin/env bash
# macOS: `cmake --install` into a staging folder, then the installed .app: its Info.plist lints and
# says what the system relies on (the identifier by which running copies are counted, no Dock icon,
# macOS 13), its icon is there, its program asks for macOS 13.0 at most and carries Qt inside, and
# its signature verifies. Usage: bundle_check.sh BUILD_DIR WORK_DIR
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
# Every architecture in the program was built for macOS 13.0.
minimums=$(otool -l "$program" | awk '$1 == "minos" {print $2}' | sort -u)
[[ $minimums == 13.0 ]] || { echo "minimum systems: $minimums" >&2; exit 1; }
# Qt comes from inside the bundle, not from the machine that built it.
foreign=$(otool -L "$program" | tail -n +2 | awk '{print $1}' |
    grep -v '^@rpath/\|^@executable_path/\|^/usr/lib/\|^/System/' || true)
[[ -z $foreign ]] || { echo "linked from outside the bundle: $foreign" >&2; exit 1; }
[[ -d "$app/Contents/Frameworks/QtWidgets.framework" ]]
codesign --verify --deep --strict "$app"
