#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Retakes the README's four tab screenshots, EDID details, the EDID editor and the InfoFrame
# builder from vortalex-demo under Xvfb.
# Needs a built ./build/vortalex-demo, xvfb, xdotool and ImageMagick
# (bash tools/install-deps.sh screenshots installs them).
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

# EDID details and the InfoFrame builder, opened from the Tools menu (menu bar
# of the window at the screen origin: EDID details first, the builder second).
# The builder, which scrolls at its opening size, is moved to the origin and made
# large enough to show all of its form; its fields are switched to DCI-P3 (Alt+P,
# the item below BT.2020) so that the capture's BT.2020 triangle shows dashed beside them.
shoot_tool() {
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        ./build/vortalex-demo & pid=$!
        sleep 4
        xdotool mousemove 47 5 click 1
        sleep 1
        xdotool mousemove 80 '"$1"' click 1
        sleep 2
        wid=$(xdotool search --name "'"$2"'" | head -1)
        '"$4"'
        import -window "$wid" "'"$out/$3"'.png"
        kill $pid'
}
shoot_tool 27 "EDID details" edid-details ""
shoot_tool 47 "InfoFrame builder" infoframe-builder \
    'xdotool windowmove "$wid" 0 0 windowsize "$wid" 1100 900; sleep 1; xdotool key alt+p Down; sleep 1'

# The EDID editor (third entry of the Tools menu), on its Video tab.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    ./build/vortalex-demo & pid=$!
    sleep 4
    xdotool mousemove 47 5 click 1
    sleep 1
    xdotool key Down Down Down Return
    sleep 2
    wid=$(xdotool search --name "EDID editor" | head -1)
    xdotool key alt+v
    sleep 1
    import -window "$wid" "'"$out"'/edid-editor.png"
    kill $pid'
