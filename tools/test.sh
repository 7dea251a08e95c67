#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the macOS cross build and its checks, the
# lint of the GitHub workflows, the unit and control tests under ThreadSanitizer, the reply fuzzer for a bounded time, then the unit,
# control, desktop and real panels tests with the program built with AddressSanitizer + UBSan,
# and last the release build's unit, control and package tests.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh build
# The real panels take minutes to install and are needed only by the desktop and real panels
# tests: install them while the stages before those build and run.
mkdir -p build
tools/install-deps.sh panels >build/install-panels.log 2>&1 &
panels_install=$!
# An install cut short would leave dpkg half done: a failing stage still waits for it.
trap 'wait "$panels_install" 2>/dev/null || true' EXIT

jobs=$(nproc)
fuzz_seconds=${QUORVEL_FUZZ_SECONDS:-60}

stage() { printf '\n==== %s ====\n' "$*"; }

stage "macOS: cross-compiling for aarch64-macos.13.0 and x86_64-macos.13.0"
tools/macos-cross/cross_check.sh

stage "GitHub workflows: actionlint"
tools/actionlint/lint.sh

stage "sanitizers: ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

stage "fuzzing the reply path for ${fuzz_seconds} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
tests/fuzz/run.sh build/fuzz "$fuzz_seconds"

stage "sanitizers: AddressSanitizer + UBSan: unit, control, desktop and real panels tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
# The desktop tests hold the display, the bus and port 8080 of their own: one at a time.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset asan -LE 'desktop|panels' -j "$jobs"
wait "$panels_install" || { cat build/install-panels.log; exit 1; }
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset asan -L 'desktop|panels'

stage "release build: unit, control and package tests"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -LE 'desktop|panels'
