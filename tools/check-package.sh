#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as the README says (dpkg-buildpackage, from a copy
# of the working tree in build-deb/, so the results stay out of the parent
# folder), checks it with lintian (an error or a warning fails, infos are
# shown), installs it, runs the installed programs, checks their hardening,
# purges the package and checks that nothing is left. Needs root or sudo.
# The test suite does not run again in the package build (nocheck): the test
# command runs it just before, in build/, whose objects the package build
# finds in the compiler cache.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

# It installs and purges the package: one run at a time on this machine.
exec 9>/tmp/vortalex-package.lock
flock 9

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
if dpkg-query -W -f='${Status}' vortalex-utility 2>/dev/null | grep -q "install ok installed"; then
    echo "vortalex-utility is already installed on this machine; not touching it" >&2
    exit 1
fi

version="$(dpkg-parsechangelog -S Version)"
out="$repo/build-deb"
src="$out/vortalex-utility-$version"
start=$SECONDS
rm -rf "$out"
mkdir -p "$src"
# Tracked and new files as they are now, deleted ones left out.
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$src"

# debhelper gives each build step its own HOME: name the cache folder, and
# make ccache's paths relative to the copy. build/ compiles with the same
# flags (tools/normal-build.sh), so the package's compiles are its hits; the
# stats log counts them.
if command -v ccache >/dev/null; then
    export CCACHE_DIR="${CCACHE_DIR:-$(ccache -k cache_dir)}" CCACHE_BASEDIR="$src" \
        CCACHE_NOHASHDIR=true CMAKE_CXX_COMPILER_LAUNCHER=ccache \
        CCACHE_STATSLOG="$out/ccache-stats.log"
fi
(cd "$src" && DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -us -uc -b -J"$(nproc)") >"$out/build.log" 2>&1 || {
    tail -n 60 "$out/build.log"
    echo "check-package.sh: dpkg-buildpackage failed; its log is $out/build.log" >&2
    exit 1
}
arch="$(dpkg-architecture -qDEB_HOST_ARCH)"
deb="$out/vortalex-utility_${version}_$arch.deb"
echo "Package: $deb, $(stat -c %s "$deb") bytes, built in $((SECONDS - start)) s"
dpkg-deb --field "$deb" Depends
if [ -f "$out/ccache-stats.log" ]; then
    echo "The package's compiles in the compiler cache:"
    ccache --show-log-stats | grep -E '^ *(Hits|Misses):'
fi

lintian -EviIL +pedantic "$out/vortalex-utility_${version}_$arch.changes" >"$out/lintian.log" 2>&1 || true
grep -vE '^N: ' "$out/lintian.log" || true
if grep -qE '^[EW]: ' "$out/lintian.log"; then
    echo "check-package.sh: lintian reports errors or warnings (above)" >&2
    exit 1
fi

# dpkg leaves missing dependencies to apt, which then finishes the install.
trap '$sudo dpkg --purge vortalex-utility >/dev/null 2>&1 || true' EXIT
if ! $sudo dpkg -i "$deb"; then
    $sudo apt-get install -f -y -qq
fi

installed="$(QT_QPA_PLATFORM=offscreen /usr/bin/vortalex-utility --version)"
if [ "$installed" != "vortalex-utility $version" ]; then
    echo "installed vortalex-utility --version printed '$installed', expected '$version'" >&2
    exit 1
fi
/usr/bin/vortalex-cli --emulated status >/dev/null
/usr/bin/vortalex-edid tests/data/sim_tv_a.bin >/dev/null
doc=/usr/share/doc/vortalex-utility
for f in /usr/lib/udev/rules.d/60-vortalex.rules /usr/share/man/man1/vortalex-utility.1.gz \
    /usr/share/applications/org.vortalex.Utility.desktop \
    /usr/share/metainfo/org.vortalex.Utility.metainfo.xml \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/org.vortalex.Utility.png \
    "$doc/copyright" "$doc/changelog.gz" "$doc/README.md" \
    /usr/bin/vortalex-cli /usr/share/man/man1/vortalex-cli.1.gz \
    /usr/bin/vortalex-edid /usr/share/man/man1/vortalex-edid.1.gz \
    /usr/bin/vortalex-mqtt /usr/share/man/man1/vortalex-mqtt.1.gz \
    /lib/systemd/system/vortalex-mqtt.service "$doc/examples/mqtt.conf" \
    /usr/share/bash-completion/completions/vortalex-cli \
    /usr/share/bash-completion/completions/vortalex-edid; do
    [ -f "$f" ] || { echo "the package did not install $f" >&2; exit 1; }
done
# Every picture the installed README shows is installed beside it.
{ grep -o '](docs/screenshots/[^)]*)' "$doc/README.md" || true; } | sed 's/^](//; s/)$//' |
    while read -r png; do
        [ -f "$doc/$png" ] || { echo "the installed README shows $png, which is not installed" >&2; exit 1; }
    done
# Every program the package installs is one that AppStream says it provides.
for bin in $(dpkg-query -L vortalex-utility | grep '^/usr/bin/'); do
    grep -q "<binary>${bin##*/}</binary>" /usr/share/metainfo/org.vortalex.Utility.metainfo.xml ||
        { echo "the metainfo does not provide ${bin##*/}" >&2; exit 1; }
done
# Without a udev daemon (a container, a chroot) the maintainer scripts do not
# call udevadm: one that would fail loudly stands in for it here.
if [ ! -S /run/udev/control ]; then
    fake="$out/fake-udevadm"
    mkdir -p "$fake"
    printf '#!/bin/sh\necho "Failed to send reload request" >&2\nexit 1\n' >"$fake/udevadm"
    chmod +x "$fake/udevadm"
    # As dpkg runs it: debhelper's systemd snippet wants dpkg's variables.
    said="$($sudo env PATH="$fake:$PATH" DPKG_MAINTSCRIPT_PACKAGE=vortalex-utility \
        DPKG_MAINTSCRIPT_NAME=postinst DPKG_MAINTSCRIPT_ARCH="$arch" \
        sh /var/lib/dpkg/info/vortalex-utility.postinst configure 2>&1)"
    [ -z "$said" ] || { echo "postinst without a udev daemon said: $said" >&2; exit 1; }
fi
man -w vortalex-cli >/dev/null
# The MQTT service: installed, not enabled; its unit is one systemd accepts.
/usr/bin/vortalex-mqtt --version >/dev/null
if command -v systemd-analyze >/dev/null; then
    systemd-analyze verify --man=no /lib/systemd/system/vortalex-mqtt.service
fi
[ ! -e /etc/systemd/system/multi-user.target.wants/vortalex-mqtt.service ] ||
    { echo "the package enabled vortalex-mqtt.service" >&2; exit 1; }
# Control-flow protection: Debian 12's C start files (Scrt1.o, crti.o) carry
# no x86 IBT/SHSTK mark, so no program linked there gets one. vortalex-edid's
# only copies (memcpy, memmove, memset) run on buffers whose size the compiler
# cannot know, so it has nothing to fortify; the other two show the flag works.
hardening-check --nocfprotection /usr/bin/vortalex-utility /usr/bin/vortalex-cli /usr/bin/vortalex-mqtt
hardening-check --nocfprotection --nofortify /usr/bin/vortalex-edid

files="$(dpkg-query -L vortalex-utility)"
trap - EXIT
$sudo dpkg --purge vortalex-utility >/dev/null
left="$(while read -r f; do [ -f "$f" ] && echo "$f"; done <<<"$files" || true)"
status="$(dpkg-query -W -f='${Status}' vortalex-utility 2>/dev/null || true)"
case "$status" in "" | *not-installed) ;; *) left="$left package status '$status'" ;; esac
if [ -n "$left" ] || [ -e "$doc" ]; then
    echo "the purge left behind: ${left:-$doc}" >&2
    exit 1
fi
echo "Installed, ran '$installed', vortalex-cli and vortalex-edid, and purged the package;" \
    "the stage took $((SECONDS - start)) s"
