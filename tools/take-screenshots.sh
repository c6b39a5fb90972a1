#!/usr/bin/env bash
# Retakes the README's four tab screenshots from vortalex-demo under Xvfb.
# Needs a built ./build/vortalex-demo, xvfb, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    ./build/vortalex-demo & pid=$!
    sleep 4
    wid=$(xdotool search --name "VORTALEX UTILITY" | head -1)
    # Tab bar positions of the 400 x 800 window at the screen origin.
    for tab in "29 263 tab-edid" "71 263 tab-cec" "120 263 tab-hdr-if" "175 263 tab-config"; do
        set -- $tab
        xdotool mousemove "$1" "$2" click 1
        sleep 1
        import -window "$wid" "'"$out"'/$3.png"
    done
    kill $pid'
