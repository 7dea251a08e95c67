#!/usr/bin/env bash
# Usage: tests/fuzz/run.sh BUILD_DIR SECONDS. Fuzzes the reply path from the seed corpus on two
# cores, then replays tests/fuzz/regressions/; crashing inputs are kept in BUILD_DIR/fuzz-artifacts/.
set -euo pipefail
fuzzer="$1/tests/fuzz/reply_fuzzer"
here=$(dirname "$0")
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$here"/corpus/* "$corpus"/
mkdir -p "$1/fuzz-artifacts"
"$fuzzer" -max_total_time="${2:?usage: $0 BUILD_DIR SECONDS}" -fork=2 -timeout=10 -max_len=8192 \
    -rss_limit_mb=2048 -print_funcs=0 -artifact_prefix="$1/fuzz-artifacts/" "$corpus" \
    >"$1/fuzz.log" 2>&1 || { tail -n 60 "$1/fuzz.log"; exit 1; }
tail -n 2 "$1/fuzz.log"
"$fuzzer" "$here"/regressions/* 2>&1 | grep -c "^Executed" | sed "s/$/ regression inputs replayed/"
