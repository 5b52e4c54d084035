#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Gromadnik need.
# Does nothing when they are all present already.
set -euo pipefail

packages=(
    cmake g++ make pkgconf
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    libjpeg-dev libemf2svg-dev libwmf-dev qt6-svg-dev libfreetype-dev
    # EXIF orientation of photos; WebP and TIFF through Qt's image plugins
    libexif-dev qt6-image-formats-plugins
    # libwmf maps a metafile's fonts before it draws anything and refuses the file without them
    fonts-urw-base35
    libcurl4-openssl-dev
    # the catalogue's backups: one zip archive each
    libzip-dev
    # spreadsheets out; the tests read them back, and read the text of printed reports
    libxlsxwriter-dev python3-openpyxl poppler-utils
    # printed reports are set in DejaVu Sans, which has every Polish letter
    fonts-dejavu-core
    # the installable package: icon sizes from the drawn icon, and the checks of the menu entry, metadata and package
    librsvg2-bin desktop-file-utils appstream lintian dpkg-dev file
    libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth
    # the tests that drive the real program: window manager, accessibility bus, real input, screenshots
    openbox dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi xdotool x11-xserver-utils imagemagick
    python3 python3-pyftpdlib
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
