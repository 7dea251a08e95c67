#!/usr/bin/env bash
# The program's folders are layers, lowest first: each folder's sources include only their own
# folder and those before it in this list, so no include runs back up.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(control interfaces app menu commands platform)
found=0
for i in "${!layers[@]}"; do
    below=$(IFS='|' && echo "${layers[*]:0:i+1}")
    if git ls-files "${layers[i]}" | grep -E '\.(h|cpp|mm)$' | xargs grep -HnE '^#\s*include\s*"' |
        grep -vE "#\s*include\s*\"($below)/"; then
        found=1
    fi
done
((found == 0)) || { echo "these includes run back up (folder order: ${layers[*]})" >&2; exit 1; }
