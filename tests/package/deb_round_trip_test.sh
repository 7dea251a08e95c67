#!/usr/bin/env bash
# The .deb from end to end, on this machine: build it with cpack, install it with apt (which resolves
# its dependencies), check and validate the installed files, run the installed program under Xvfb
# with a tray host until its icon is docked, stop it, purge the package and check that nothing of
# it is left. Root only, since it installs a package; skipped (77) otherwise or when
# QUORVEL_SKIP_PACKAGE_TEST=1.
#
# No service is installed beside the program, so it runs in its "needs attention" state; the icon
# is docked all the same. Copying the demo script into the package's folder would need it taken out
# again before the purge check, which is the kind of leftover that check is there to catch.
#
# Usage: deb_round_trip_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
app_id=org.quorvel.connect.menu
package=quorvel-connect

if [[ ${QUORVEL_SKIP_PACKAGE_TEST:-0} == 1 ]]; then
    echo "skipped: QUORVEL_SKIP_PACKAGE_TEST=1"
    exit 77
fi
if ((EUID != 0)); then
    echo "skipped: installing the package needs root"
    exit 77
fi

install_dir=$(sed -n 's/^QUORVEL_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
program=$install_dir/quorvel-connect

# Several build folders share one dpkg database: one round trip at a time. The lock is taken on
# this script, which they all run, so no lock file is made (or left) anywhere.
exec 9<"${BASH_SOURCE[0]}"
flock -w 240 9 || { echo "another package test holds the lock"; exit 1; }

export DEBIAN_FRONTEND=noninteractive
# A package left installed by an earlier run that was killed is ours to remove; a folder that is
# still there afterwards belongs to a service installed here, and the leftover checks could not
# tell its files from ours.
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    apt-get purge -y -qq -o DPkg::Lock::Timeout=120 "$package" >/dev/null
fi
if [[ -e $install_dir ]]; then
    echo "skipped: $install_dir exists without the package (a service is installed there)"
    exit 77
fi

rm -rf "$work"
mkdir -p "$work"
pids=()
installed_by_us=0
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if ((installed_by_us)); then
        apt-get purge -y -qq -o DPkg::Lock::Timeout=120 "$package" >/dev/null 2>&1 || true
    fi
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
step() { printf -- '-- %s\n' "$*"; }

step "building the .deb"
(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/cpack/"$package"_*.deb)
[[ -f ${debs[0]} ]] || fail "cpack made no $package .deb"
deb=${debs[0]}
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Section
# Without the libraries it links among its dependencies, apt would install a program that cannot
# start; Node.js only recommended, since the service brings its own as a rule.
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt 6 libraries"
[[ $(dpkg-deb --field "$deb" Recommends) == nodejs ]] || fail "Recommends is not nodejs"

step "installing it with apt"
# Without recommends, so that a Node.js the service brought along is not replaced or fetched.
installed_by_us=1
apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=120 "$deb" >"$work/apt-install.log" 2>&1 ||
    { cat "$work/apt-install.log"; fail "apt-get install"; }
[[ $(dpkg-query -W -f='${Status}' "$package") == "install ok installed" ]] || fail "not installed"

step "checking the installed files"
expected=(
    "$program"
    /usr/share/applications/$app_id.desktop
    /usr/share/metainfo/$app_id.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/$app_id.svg
    /usr/share/icons/hicolor/scalable/apps/$app_id-symbolic.svg
)
for size in 16 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
    [[ -f $file ]] || fail "missing $file"
done
[[ -x $program ]] || fail "$program is not executable"
if ldd "$program" | grep -q 'not found'; then
    ldd "$program"
    fail "the installed program lacks libraries that the package does not depend on"
fi
desktop-file-validate /usr/share/applications/$app_id.desktop || fail "the desktop entry does not validate"
appstreamcli validate --no-net /usr/share/metainfo/$app_id.metainfo.xml >"$work/appstream.log" ||
    { cat "$work/appstream.log"; fail "the AppStream metadata does not validate"; }
dpkg -L "$package" >"$work/package-files"

step "running the installed program under Xvfb with a tray host"
display_file=$work/display
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$display_file" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $display_file ]] && break
    sleep 0.1
done
[[ -s $display_file ]] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$display_file")
# A fresh runtime folder: the program's one-copy lock lives there, and another copy running on
# this machine must not make ours step aside.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
    --transparent false --tint 0x2e3440 >"$work/trayer.log" 2>&1 &
pids+=($!)
panel=
for _ in $(seq 50); do
    panel=$(xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}')
    [[ -n $panel ]] && break
    sleep 0.1
done
[[ -n $panel ]] || fail "trayer did not map its panel"

# dbus-run-session gives the program a session bus of its own that ends with it; the inner shell
# hands over its process id to the program with exec, so the program can be stopped by that id.
dbus-run-session -- sh -c 'echo $$ >"$0"; exec "$1"' "$work/program.pid" "$program" \
    >"$work/program.log" 2>&1 &
session=$!
pids+=("$session")
docked=0
for _ in $(seq 100); do
    if xwininfo -tree -id "$panel" 2>/dev/null | grep -q '("quorvel-connect" '; then
        docked=1
        break
    fi
    kill -0 "$session" 2>/dev/null || break
    sleep 0.1
done
import -window root "$work/tray.png" 2>/dev/null || true
((docked)) || { cat "$work/program.log"; fail "the program's icon did not appear in the tray"; }
echo "the icon is docked in the tray; screenshot: $work/tray.png"

step "stopping it"
program_pid=$(cat "$work/program.pid")
kill -TERM "$program_pid"
for _ in $(seq 50); do
    kill -0 "$session" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$session" 2>/dev/null || fail "the program did not end on SIGTERM"
wait "$session" 2>/dev/null || true

# The program writes nothing beside itself: its folder holds only what the package put there.
leftover=$(find "$install_dir" -mindepth 1 ! -path "$program")
[[ -z $leftover ]] || fail "files appeared beside the program at run time: $leftover"

step "purging the package"
apt-get purge -y -qq -o DPkg::Lock::Timeout=120 "$package" >"$work/apt-purge.log" 2>&1 ||
    { cat "$work/apt-purge.log"; fail "apt-get purge"; }
installed_by_us=0
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
    fail "dpkg still lists $package"
fi
while IFS= read -r path; do
    [[ -d $path ]] && continue
    [[ -e $path || -L $path ]] && fail "left behind: $path"
done <"$work/package-files"
[[ ! -e $install_dir ]] || fail "left behind: $install_dir"
stray=$(find /usr/share /usr/local/share -name "$app_id*" 2>/dev/null || true)
[[ -z $stray ]] || fail "left behind: $stray"
echo "deb round trip: ok"
