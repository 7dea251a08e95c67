#!/usr/bin/env bash
# The README's run command: installs what is missing, builds the program, lays out an installation
# folder under build/run/ (the program beside the demo service's control-app.cjs, service.cjs and
# logs/) and starts the controller there. Arguments after "--" go to the program.
#
# On a desktop it runs in the foreground. With no display ($DISPLAY and $WAYLAND_DISPLAY unset) it
# runs inside Xvfb with a tray host (trayer) on a private session bus, starts the demo service with
# two listeners, opens the menu, writes screenshots of the icon and of the open menu into
# build/screenshots/, prints their paths, then quits through the menu, which stops the service.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
run_dir="$root/build/run"
shots="$root/build/screenshots"

if [[ "${1:-}" == "--headless-session" ]]; then
    headless_session=1
    shift
fi
if [[ "${1:-}" == "--" ]]; then
    shift
fi
program_args=("$@")

# --- inside the private session bus: the headless tour -------------------------------------------
if [[ -n "${headless_session:-}" ]]; then
    pids=()
    # Our first visible window bigger than the icon: the open menu or an alert.
    big_window() {
        local window w h
        for window in $(xdotool search --onlyvisible --classname quorvel-connect 2>/dev/null); do
            read -r w h < <(xdotool getwindowgeometry "$window" |
                awk '/Geometry/ {split($2, s, "x"); print s[1], s[2]}')
            if ((h > 60)); then
                echo "$window"
                return
            fi
        done
    }
    # Waits up to five seconds for such a window other than "$1"; prints it, or nothing.
    wait_for_big_window() {
        local window
        for _ in $(seq 50); do
            window=$(big_window)
            if [[ -n "$window" && "$window" != "${1:-}" ]]; then
                echo "$window"
                return
            fi
            sleep 0.1
        done
    }
    cleanup() {
        for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
        node "$run_dir/control-app.cjs" stop >/dev/null 2>&1 || true
        rm -rf "$XDG_RUNTIME_DIR"
    }
    trap cleanup EXIT
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME

    display_file=$(mktemp)
    # A white root window (-wr), so the screenshots don't sit on black.
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -wr 3>"$display_file" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.05; done
    export DISPLAY=":$(cat "$display_file")"
    rm -f "$display_file"

    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        --transparent false --tint 0xf2f2f2 >/dev/null 2>&1 &
    pids+=($!)

    # The service running with two listeners makes a menu worth showing.
    node "$run_dir/control-app.cjs" start >/dev/null
    for _ in 1 2; do
        curl -sN http://127.0.0.1:8080/events >/dev/null 2>&1 &
        pids+=($!)
    done

    "$run_dir/quorvel-connect" "${program_args[@]}" &
    program=$!
    pids+=("$program")

    icon=""
    for _ in $(seq 100); do
        icon=$(xwininfo -root -tree | awk '/\("quorvel-connect"/ && /(22x22|24x24)/ {print $1; exit}')
        [[ -n "$icon" ]] && break
        sleep 0.1
    done
    if [[ -z "$icon" ]]; then
        echo "run.sh: the tray icon did not appear" >&2
        exit 1
    fi
    sleep 2  # the first status reply
    mkdir -p "$shots"
    # import takes no -scale; enlarge the crop with convert so the icon can be looked at.
    import -window root -crop 64x32+736+0 +repage png:- | convert png:- -scale 400% "$shots/tray-icon.png"

    xdotool mousemove --window "$icon" 11 11 click 1
    menu=$(wait_for_big_window)
    if [[ -z "$menu" ]]; then
        echo "run.sh: the menu did not open" >&2
        exit 1
    fi
    sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    left=$((X > 24 ? X - 24 : 0))
    import -window root -crop "$((800 - left))x$((Y + HEIGHT + 24))+$left+0" +repage "$shots/menu.png"
    echo "$shots/tray-icon.png"
    echo "$shots/menu.png"

    # Quit through the menu: the last row, then "Stop QUORVEL Connect" in the confirmation.
    xdotool windowfocus --sync "$menu" key Up Return
    alert=$(wait_for_big_window "$menu")
    if [[ -n "$alert" ]]; then
        xdotool windowfocus --sync "$alert" key Tab space
    fi
    for _ in $(seq 150); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program" 2>/dev/null; then
        echo "run.sh: the program did not quit through its menu; stopping it" >&2
    else
        wait "$program" && echo "QUORVEL Connect quit cleanly."
    fi
    exit 0
fi

# --- build and lay out --------------------------------------------------------------------------
tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quorvel-connect
mkdir -p "$run_dir/logs"
install -m 0755 build/default/platform/qt/quorvel-connect "$run_dir/quorvel-connect"
install -m 0644 examples/demo-service/control-app.cjs examples/demo-service/service.cjs "$run_dir/"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$run_dir/quorvel-connect" "${program_args[@]}"
fi
exec dbus-run-session -- "$0" --headless-session -- "${program_args[@]}"
