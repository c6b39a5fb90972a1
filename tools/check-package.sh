#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured and built folder (default
# build), installs it with dpkg, runs the installed vortalex-utility
# --version and purges the package again. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

rm -f "$build"/vortalex-utility_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/vortalex-utility_*.deb)"
echo "Package: $deb, $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Depends
if dpkg-query -W -f='${Status}' vortalex-utility 2>/dev/null | grep -q "install ok installed"; then
    echo "vortalex-utility is already installed on this machine; not touching it" >&2
    exit 1
fi

# dpkg leaves missing dependencies to apt, which then finishes the install.
trap '$sudo dpkg --purge vortalex-utility >/dev/null' EXIT
if ! $sudo dpkg -i "$deb"; then
    $sudo apt-get install -f -y -qq
fi

version="$(QT_QPA_PLATFORM=offscreen /usr/bin/vortalex-utility --version)"
expected="vortalex-utility $(dpkg-deb --field "$deb" Version)"
if [ "$version" != "$expected" ]; then
    echo "installed vortalex-utility --version printed '$version', expected '$expected'" >&2
    exit 1
fi
doc=/usr/share/doc/vortalex-utility
for f in /usr/lib/udev/rules.d/60-vortalex.rules /usr/share/man/man1/vortalex-utility.1.gz \
    /usr/share/applications/org.vortalex.Utility.desktop \
    /usr/share/metainfo/org.vortalex.Utility.metainfo.xml \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/org.vortalex.Utility.png \
    "$doc/copyright" "$doc/README.md" \
    /usr/bin/vortalex-cli /usr/share/man/man1/vortalex-cli.1.gz \
    /usr/bin/vortalex-edid /usr/share/man/man1/vortalex-edid.1.gz \
    /usr/share/bash-completion/completions/vortalex-cli; do
    [ -f "$f" ] || { echo "the package did not install $f" >&2; exit 1; }
done
echo "Installed, ran '$version' and purged the package"
