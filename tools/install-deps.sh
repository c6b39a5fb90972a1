#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that are missing for one purpose:
#   install-deps.sh demo      building and running vortalex-demo
#   install-deps.sh package   building the Debian package (dpkg-buildpackage)
#   install-deps.sh test      building everything and running every test (default)
#   install-deps.sh screenshots   that, and retaking the README's screenshots
# What the build and its tests need is listed once, in debian/control's
# Build-Depends; this script adds what the other stages need.
# Uses sudo when not run as root; does nothing when everything is present.
set -euo pipefail
cd "$(dirname "$0")/.."

purpose="${1:-test}"

# The package names of debian/control's Build-Depends, without versions;
# "build" leaves out those only the tests need (<!nocheck>).
build_depends() {
    awk -v which="$1" '
        /^Build-Depends:/ { on = 1; sub(/^Build-Depends:/, ""); list = $0; next }
        on && /^[ \t]/ { list = list $0; next }
        { on = 0 }
        END {
            n = split(list, deps, ",")
            for (i = 1; i <= n; i++) {
                d = deps[i]
                if (which == "build" && d ~ /<!nocheck>/) continue
                gsub(/^[ \t]+/, "", d)
                sub(/[ \t(\[<].*/, "", d)
                if (d == "debhelper-compat") d = "debhelper"
                if (d != "") print d
            }
        }' debian/control
}

# The demo builds with CMake alone, without debhelper.
mapfile -t demo_packages < <(build_depends build | grep -vx debhelper)
demo_packages+=(build-essential fonts-dejavu-core)
mapfile -t package_packages < <(build_depends all)
package_packages+=(build-essential dpkg-dev)
test_packages=(
    "${package_packages[@]}"
    ninja-build ccache
    libbenchmark-dev
    clang libclang-rt-14-dev lld
    xvfb xauth
    # The package check: lintian, hardening-check (devscripts), man -w, the
    # tree copy it builds from.
    lintian devscripts man-db file git
)
# Retaking the README's screenshots (tools/take-screenshots.sh).
screenshot_packages=(
    "${test_packages[@]}"
    xdotool imagemagick
)

case "$purpose" in
demo) packages=("${demo_packages[@]}") ;;
package) packages=("${package_packages[@]}") ;;
test) packages=("${test_packages[@]}") ;;
screenshots) packages=("${screenshot_packages[@]}") ;;
*)
    echo "usage: $0 demo|package|test|screenshots" >&2
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
