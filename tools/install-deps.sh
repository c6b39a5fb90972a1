#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the utility.
# Uses sudo when not run as root; does nothing when everything is present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ninja-build
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libusb-1.0-0-dev
    umockdev libumockdev-dev
    libbenchmark-dev
    edid-decode
    clang libclang-rt-14-dev
    desktop-file-utils
    xvfb xauth fonts-dejavu-core
    xdotool imagemagick # README screenshots (tools/take-screenshots.sh)
)

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
