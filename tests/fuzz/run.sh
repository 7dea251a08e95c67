#!/usr/bin/env bash
# Usage: tests/fuzz/run.sh BUILD_DIR SECONDS
# Fuzzes the reply path for SECONDS on at most two cores, starting from the seed corpus, then
# replays every input in tests/fuzz/regressions/. Exits non-zero on a crash; crashing inputs are
# kept in BUILD_DIR/fuzz-artifacts/.
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
fuzzer="$build/tests/fuzz/reply_fuzzer"
if [[ ! -x $fuzzer ]]; then
    echo "$fuzzer is missing: build the fuzz preset first" >&2
    exit 2
fi

cores=$(nproc)
jobs=$((cores < 2 ? cores : 2))
artifacts="$build/fuzz-artifacts"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$artifacts"
cp "$here"/corpus/* "$corpus"/

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192
         -artifact_prefix="$artifacts/" -print_final_stats=1 -print_funcs=0)
if [[ $jobs -gt 1 ]]; then
    options+=(-fork="$jobs")
fi
echo "fuzzing for ${seconds}s on $jobs core(s); crashing inputs go to $artifacts/"
"$fuzzer" "${options[@]}" "$corpus"

shopt -s nullglob
regressions=("$here"/regressions/*)
if [[ ${#regressions[@]} -gt 0 ]]; then
    echo "replaying ${#regressions[@]} regression input(s)"
    "$fuzzer" "${regressions[@]}"
fi
