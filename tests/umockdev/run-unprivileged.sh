#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test command as a user without root's powers, so that file modes
# count: as is when we are not root, otherwise as "nobody". Exits 77 (ctest's
# "skipped") when that user cannot be had or cannot reach the program.
set -eu
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
user=nobody
if ! id "$user" >/dev/null 2>&1 || ! command -v setpriv >/dev/null 2>&1; then
    echo "SKIP: running as root and no user '$user' (or no setpriv) to run as"
    exit 77
fi
group="$(id -gn "$user")"
as_user() {
    HOME=/tmp setpriv --reuid="$user" --regid="$group" --clear-groups "$@"
}
for program in "$@"; do
    case "$program" in
    /*)
        if [ -x "$program" ] && ! as_user test -x "$program"; then
            echo "SKIP: user '$user' cannot run $program (a folder above it is closed)"
            exit 77
        fi
        ;;
    esac
done
as_user "$@"
