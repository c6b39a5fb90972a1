#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that are missing for one purpose:
#   install-deps.sh demo   building and running vortalex-demo
#   install-deps.sh test   building everything and running every test (default)
#   install-deps.sh screenshots   that, and retaking the README's screenshots
# Uses sudo when not run as root; does nothing when everything is present.
set -euo pipefail

purpose="${1:-test}"

demo_packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libusb-1.0-0-dev
    fonts-dejavu-core
)
test_packages=(
    "${demo_packages[@]}"
    ninja-build ccache
    umockdev libumockdev-dev
    libbenchmark-dev
    edid-decode
    clang libclang-rt-14-dev
    xvfb xauth
    # Packaging checks: metainfo, desktop file, man pages, the .deb.
    appstream desktop-file-utils help2man dpkg-dev file git
)
# Retaking the README's screenshots (tools/take-screenshots.sh).
screenshot_packages=(
    "${test_packages[@]}"
    xdotool imagemagick
)

case "$purpose" in
demo) packages=("${demo_packages[@]}") ;;
test) packages=("${test_packages[@]}") ;;
screenshots) packages=("${screenshot_packages[@]}") ;;
*)
    echo "usage: $0 demo|test|screenshots" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
