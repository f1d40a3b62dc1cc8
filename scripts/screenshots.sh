#!/usr/bin/env bash
# Makes the screenshots of the README and the AppStream metadata (docs/*.png) from the real
# program on a private Xvfb display with the twm window manager: the main window with a chord
# shown, and the help on its Pick Notes page. Run it again whenever the windows change.
#   scripts/screenshots.sh [BUILD-DIR]        (default: build; the program is built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs

need=()
for tool in Xvfb:xvfb twm:twm xdotool:xdotool import:imagemagick; do
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

# A display number nobody uses, a window manager that places windows without asking.
display=:$((90 + RANDOM % 400))
while [[ -e /tmp/.X11-unix/X${display#:} ]]; do display=:$((${display#:} + 1)); done
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
printf 'RandomPlacement\nUsePPosition "on"\nNoGrabServer\nIconManagerFont "fixed"\n' >"$work/twmrc"
twm -f "$work/twmrc" >"$work/twm.log" 2>&1 &
pids+=($!)

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
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers --delay 60 "$@"
}
# The window as it is drawn, once it has settled.
grab() {
    sleep 0.7
    import -window "$1" "$out/$2"
    echo "$out/$2"
}

mkdir -p "$out"
HOME=$work QT_QPA_PLATFORM=xcb JACK_NO_START_SERVER=1 "$build/bin/quorvane" >"$work/quorvane.log" 2>&1 &
pids+=($!)
# The start-up reminder: OK comes before Cancel (which has the focus) in the focus chain.
keys "$(wait_window '^Velmira$')" shift+Tab space
main=$(wait_window '^Quorvane$')
xdotool windowmove --sync "$main" 0 0 >/dev/null 2>&1 || true
# A chord a musician recognises: A Minor 7th, first inversion, with its note names shown.
keys "$main" alt+o n n
keys "$main" alt+v f
xdotool mousemove --window "$main" 150 150 click 1 2>/dev/null || true
grab "$main" quorvane-main.png

# The help, at its Pick Notes page (F1 opens the main window's own page; the contents link).
keys "$main" F1
help=$(wait_window '^Quorvane Help$')
xdotool windowsize --sync "$help" 760 820 >/dev/null 2>&1 || true
keys "$help" alt+s ctrl+a
xdotool type --delay 20 "computer keyboard"
xdotool key Return
sleep 0.5
grab "$help" quorvane-help-search.png
