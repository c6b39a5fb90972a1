#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Each layer includes only itself and the layers below it: core, then box,
# then window, then programs. Every quoted include of a layer's source must be
# a file of an allowed layer (beside the source or under a layer's folder) or
# a header the build generates (ui_*.h, *.moc); no include climbs out with
# "..". The include roots of the CMake targets refuse such an include too; this
# check names the file and line, and also catches what a root would let pass.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {
    case "$1" in
    core) echo core ;;
    box) echo core box ;;
    window) echo core box window ;;
    programs) echo core box window programs ;;
    esac
}

failures=0
for layer in core box window programs; do
    roots=($(allowed "$layer"))
    while IFS= read -r file; do
        while IFS=: read -r line include; do
            header="${include#*\"}"
            header="${header%%\"*}"
            case "$header" in
            ui_*.h | *.moc) continue ;;
            *..*)
                echo "$file:$line: includes \"$header\", which climbs out of its folder"
                failures=$((failures + 1))
                continue
                ;;
            esac
            [ -f "$(dirname "$file")/$header" ] && continue
            found=""
            for root in "${roots[@]}"; do
                [ -f "$root/$header" ] && found=yes && break
            done
            if [ -z "$found" ]; then
                owner=""
                for other in core box window programs; do
                    [ -f "$other/$header" ] && owner="$other"
                done
                echo "$file:$line: the $layer layer includes \"$header\"${owner:+ of the $owner layer}"
                failures=$((failures + 1))
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    done < <(find "$layer" -name '*.cpp' -o -name '*.h' | sort)
done

# The core and the box link Qt Core and nothing of the widgets.
for list in core/CMakeLists.txt box/CMakeLists.txt; do
    if grep -nE 'Qt6::(Gui|Widgets)|vortalex_window|vortalex_cli' "$list"; then
        echo "$list: a layer below the window links the window or Qt's widgets"
        failures=$((failures + 1))
    fi
done

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) cross a layer the wrong way"
    exit 1
fi
echo "layers: every include stays within its layer or below"
