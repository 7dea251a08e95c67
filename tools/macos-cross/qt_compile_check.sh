#!/usr/bin/env bash
# Compiles (into object files, never linked: there is no Qt for macOS here) every source of the Qt
# layer that a macOS build compiles, for the darwin target of the given compiler, against the
# host's Qt 6 headers (the same on every system but for qconfig.h, whose Linux feature settings
# this check accepts). Sources that need Apple's frameworks (AppKit, CoreFoundation) are not
# compiled here: Zig carries none of them.
#   qt_compile_check.sh <darwin c++> <scratch folder>
set -euo pipefail
cxx=$1
scratch=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
qt=$(find /usr/include -maxdepth 2 -path '/usr/include/*-linux-gnu/qt6' | head -n 1)
root=${XDG_CACHE_HOME:-$HOME/.cache}/quorvel-connect/macos-cross/root/usr/include
mkdir -p "$scratch"

# Linux-only: the StatusNotifier and XEmbed tray items, and the *_linux.cpp files.
linux_only='/sni/|/tray_status_item\.cpp$|/xembed_tray\.cpp$|_linux\.cpp$'
needs_frameworks='/program_location_mac\.cpp$'
sources=()
for source in "$source_dir"/platform/qt/*.cpp "$source_dir"/platform/qt/*/*.cpp; do
    [[ $source =~ $linux_only || $source =~ $needs_frameworks ]] || sources+=("$source")
done
# A ninja file of its own, so that a warm run compiles only what changed. ($out and $in are
# ninja's; a path in a build line has its spaces and colons escaped for ninja.)
ninja_path() { local path=${1// /\$ }; printf '%s' "${path//:/\$:}"; }
# shellcheck disable=SC2016
{
    printf 'rule cxx\n  command = %q -std=c++20 -c -o $out -MD -MF $out.d' "$cxx"
    printf ' -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Werror -I%q -isystem %q' "$source_dir" "$root"
    printf ' -isystem %q -isystem %q/QtCore -isystem %q/QtGui -isystem %q/QtWidgets $in\n' \
        "$qt" "$qt" "$qt" "$qt"
    printf '  depfile = $out.d\n  deps = gcc\n'
    for source in "${sources[@]}"; do
        printf 'build %s.o: cxx %s\n' "$(basename "$source" .cpp)" "$(ninja_path "$source")"
    done
} >"$scratch/build.ninja.new"
cmp -s "$scratch/build.ninja.new" "$scratch/build.ninja" || mv "$scratch/build.ninja.new" "$scratch/build.ninja"
rm -f "$scratch/build.ninja.new"
ninja -C "$scratch" --quiet
echo "${#sources[@]} Qt sources compiled for the darwin target;" \
    "not compiled here: program_location_mac.cpp (CoreFoundation), qt_application_mac.mm (AppKit)"
