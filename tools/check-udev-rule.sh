#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Syntax check of a udev rules file where udevadm cannot run: every rule line
# is a comma-separated list of KEY=="value", KEY+="value" or KEY="value"
# with keys udev knows, and the box's rule matches its ids and serial number.
set -u
file=${1:?rules file}
status=0
key='(SUBSYSTEMS?|ACTION|KERNEL|DRIVERS?|TAG|GROUP|MODE|OWNER|ENV\{[A-Z_]+\}|ATTRS?\{[A-Za-z_]+\})'
item="$key(==|!=|\\+=|=)\"[^\"]*\""
while IFS= read -r line; do
    [[ -z $line || $line == \#* ]] && continue
    if ! [[ $line =~ ^$item(,\ $item)*$ ]]; then
        echo "not a udev rule: $line" >&2
        status=1
    fi
done < "$file"
for match in 'ATTR{idVendor}=="10c4"' 'ATTR{idProduct}=="ea61"' 'ATTR{serial}=="2023"'; do
    grep -qF "$match" "$file" || { echo "the rule does not match $match" >&2; status=1; }
done
exit $status
