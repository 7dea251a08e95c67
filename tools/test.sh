#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the default build (unit, control, desktop,
# real panels and package tests), the unit and control tests again under AddressSanitizer + UBSan
# and under ThreadSanitizer, and the reply fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh build
# The real panels take minutes to install and are needed only by the last stage: install them
# while the sanitizer and fuzzing stages build.
mkdir -p build
tools/install-deps.sh panels >build/install-panels.log 2>&1 &
panels_install=$!
# An install cut short would leave dpkg half done: a failing stage still waits for it.
trap 'wait "$panels_install" 2>/dev/null || true' EXIT

jobs=$(nproc)
fuzz_seconds=${QUORVEL_FUZZ_SECONDS:-60}

stage() { printf '\n==== %s ====\n' "$*"; }

stage "sanitizers: AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset asan -j "$jobs"

stage "sanitizers: ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

stage "fuzzing the reply path for ${fuzz_seconds} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
tests/fuzz/run.sh build/fuzz "$fuzz_seconds"

stage "default build: unit, control, desktop, real panels and package tests"
wait "$panels_install" || { cat build/install-panels.log; exit 1; }
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default
