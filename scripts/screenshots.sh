#!/usr/bin/env bash
# Makes the screenshots of the README and the AppStream metadata (docs/*.png) from the real
# program on a private Xvfb display: the main window with a chord shown, and the help on its
# Pick Notes page. No window manager: each window opens undecorated at the top-left corner, so the
# clicks below land where the main window's fixed layout puts its controls. Run it again whenever
# the windows change; it also writes the images' sizes into the AppStream metadata.
#   scripts/screenshots.sh [BUILD-DIR]        (default: build; the program is built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs

need=()
for tool in Xvfb:xvfb xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || need+=("${tool#*:}")
done
if ((${#need[@]})); then
    if [[ $(id -u) == 0 ]]; then
        apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    else
        echo "screenshots.sh needs: ${need[*]} (apt-get install them)" >&2
        exit 1
    fi
fi
[[ -x $build/bin/quorvane ]] || cmake --build "$build" --target quorvane VantileCtl

work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT

# A display number nobody uses.
display=:$((90 + RANDOM % 400))
while [[ -e /tmp/.X11-unix/X${display#:} ]]; do display=:$((${display#:} + 1)); done
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# Waits for a window whose title matches, and prints its id.
wait_window() {
    local id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "no window '$1' appeared" >&2
    exit 1
}
keys() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window"
    xdotool key --delay 150 "$@"
    sleep 0.3
}
# A left click at a place in the window, then what is typed (into the list it opened).
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.5
    if [[ -n ${4:-} ]]; then
        xdotool type --delay 40 "$4"
        xdotool key Return
        sleep 0.3
    fi
}
# The window as it is drawn, once it has settled.
grab() {
    sleep 0.7
    import -window "$1" -strip -define png:exclude-chunks=date,time "$out/$2"
    echo "$out/$2"
}

mkdir -p "$out"
HOME=$work QT_QPA_PLATFORM=xcb JACK_NO_START_SERVER=1 "$build/bin/quorvane" >"$work/quorvane.log" 2>&1 &
pids+=($!)
# The start-up reminder: OK comes before Cancel (which has the focus) in the focus chain.
keys "$(wait_window '^Velmira$')" shift+Tab space
main=$(wait_window '^Quorvane$')
# A chord a musician recognises: A Minor 7th in first inversion over the A Aeolian scale, the
# note names on the keys. The A key, then the Chord Type and Scale lists, in pixels.
keys "$main" alt+o n n
click "$main" 153 218
click "$main" 175 277 "Minor 7th"
click "$main" 355 277 "Aeolian"
keys "$main" alt+v Down Return
xdotool mousemove --window "$main" 540 420
grab "$main" quorvane-main.png

# F1 opens the help; its search finds the Pick Notes page, the first link of the results.
keys "$main" F1
help=$(wait_window '^Quorvane Help$')
xdotool windowsize --sync "$help" 760 900
keys "$help" alt+s
xdotool type --delay 20 "computer keyboard"
keys "$help" Return Tab Tab Return
grab "$help" quorvane-help-picknotes.png

# The images' sizes, as the AppStream metadata gives them.
metainfo=resources/linux/com.brackenfold.Quorvane.metainfo.xml
for png in quorvane-main.png quorvane-help-picknotes.png; do
    size=$(identify -format '%w %h' "$out/$png")
    sed -i -E "/$png/s/width=\"[^\"]*\" height=\"[^\"]*\"/width=\"${size% *}\" height=\"${size#* }\"/" "$metainfo"
done
