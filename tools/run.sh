#!/usr/bin/env bash
# The README's run command: installs what is missing, builds the program, lays out an installation
# folder under build/run/ (the program beside the demo service's control-app.cjs, service.cjs and
# logs/) and starts the controller there. Arguments after "--" go to the program.
#
# On a desktop it runs in the foreground. With no display ($DISPLAY and $WAYLAND_DISPLAY unset),
# tools/headless_tour.py runs it in a headless session (Xvfb, trayer, a private session bus),
# starts the demo service with two listeners, opens the menu, writes screenshots of the icon and
# of the open menu into build/screenshots/, prints their paths, then quits through the menu, which
# stops the service.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
run_dir="$root/build/run"
shots="$root/build/screenshots"

if [[ "${1:-}" == "--" ]]; then
    shift
fi
program_args=("$@")

# --- build and lay out --------------------------------------------------------------------------
tools/install-deps.sh build
cmake --preset default >/dev/null
cmake --build --preset default --target quorvel-connect
mkdir -p "$run_dir/logs"
install -m 0755 build/default/platform/qt/quorvel-connect "$run_dir/quorvel-connect"
install -m 0644 examples/demo-service/control-app.cjs examples/demo-service/service.cjs "$run_dir/"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$run_dir/quorvel-connect" "${program_args[@]}"
fi
exec /usr/bin/python3 tools/headless_tour.py "$run_dir" "$shots" "${program_args[@]}"
