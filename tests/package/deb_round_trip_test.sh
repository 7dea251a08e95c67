#!/usr/bin/env bash
# The .deb end to end: build it with cpack, install it with apt (which resolves its dependencies),
# validate the installed entry and metadata, run the installed program under Xvfb with a tray host
# until its icon docks, stop it, purge the package and check that nothing of ours is left. No
# service is installed beside the program, so it runs in its "needs attention" state; the icon docks
# all the same. Root only; skipped (77) otherwise or when QUORVEL_SKIP_PACKAGE_TEST=1.
# Usage: deb_round_trip_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
app_id=org.quorvel.connect.menu
package=quorvel-connect
if [[ ${QUORVEL_SKIP_PACKAGE_TEST:-0} == 1 || $EUID != 0 ]]; then
    echo "skipped: installing a package needs root"
    exit 77
fi
install_dir=$(sed -n 's/^QUORVEL_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
program=$install_dir/quorvel-connect
fail() {
    echo "FAIL: $*"
    exit 1
}
apt() {
    apt-get -y -qq -o DPkg::Lock::Timeout=120 "$@" >>"$work/apt.log" 2>&1 || fail "apt-get $*"
}

# Build folders share one dpkg database: one round trip at a time, locked on this script itself.
exec 9<"${BASH_SOURCE[0]}"
flock -w 240 9
rm -rf "$work"
mkdir -p "$work"
# A package left by an earlier run that was killed is ours to remove; a folder still there after
# that belongs to a service, whose files the leftover checks could not tell from ours.
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    apt purge "$package"
fi
[[ ! -e $install_dir ]] || { echo "skipped: $install_dir belongs to an installed service"; exit 77; }
trap 'apt-get purge -y -qq "$package" >/dev/null 2>&1 || true' EXIT

(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log") || fail "cpack"
deb=$(echo "$work"/cpack/"$package"_*.deb)
# A program whose libraries are not among the dependencies would install and then fail to start.
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt 6 libraries"
[[ $(dpkg-deb --field "$deb" Recommends) == "nodejs, qt6-wayland" ]] ||
    fail "Recommends is not nodejs, qt6-wayland"
# Without recommends, so that a Node.js the service brought along is left alone.
apt install --no-install-recommends "$deb"
dpkg -L "$package" >"$work/package-files"
! ldd "$program" | grep 'not found' || fail "the program lacks libraries"
desktop-file-validate "/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "the AppStream metadata does not validate"

# In trayer's headless session, which the helper stops and waits for before it returns.
PYTHONPATH=$(dirname "${BASH_SOURCE[0]}")/../../tools /usr/bin/python3 -m hosts trayer "$program" \
    2>"$work/log" || { cat "$work/log"; fail "no icon in the tray (see above)"; }
# The program writes nothing beside itself.
[[ -z $(find "$install_dir" -mindepth 1 ! -path "$program") ]] || fail "files appeared beside it"

apt purge "$package"
while IFS= read -r path; do
    [[ -d $path || ! -e $path ]] || fail "left behind: $path"
done <"$work/package-files"
[[ ! -e $install_dir && -z $(find /usr/share /usr/local/share -name "$app_id*") ]] ||
    fail "left behind: files of $app_id"
echo "deb round trip: ok"
