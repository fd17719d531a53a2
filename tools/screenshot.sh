#!/usr/bin/env bash
# Takes the README's pictures under a virtual X server: each main window, a
# command running with its progress labels, and the board self-test's report.
#   tools/screenshot.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1
out=$2
mkdir -p "$out"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
scratch=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$scratch"' EXIT
# The virtual chips and settings of the pictures are their own, not the user's.
mkdir -p "$scratch/runtime" "$scratch/data" "$scratch/config"
chmod 700 "$scratch/runtime"
export DISPLAY=$display XDG_RUNTIME_DIR=$scratch/runtime XDG_DATA_HOME=$scratch/data \
    XDG_CONFIG_HOME=$scratch/config QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# The id of the visible window titled exactly $1, waiting for it to come up.
window() {
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || { echo "no window '$1'" >&2; return 1; }
    echo "$id"
}

# The screen's part under window $1, with whatever box is open over it.
shoot() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$2"
    echo "wrote $out/$2"
}

# $1 program, $2 its title; then what to do before the picture: "" (the window
# at rest), "command" (Read running at a real board's speed) or "self-test".
picture() {
    local program=$1 title=$2 scene=$3 name=$4
    local options=()
    [ "$scene" = command ] && options=(--real-time)
    "$build/programs/$program" "${options[@]}" &
    local pid=$!
    local id
    id=$(window "$title") || { kill $pid; return 1; }
    sleep 6  # the splash closes itself after five seconds
    case $scene in
        command) xdotool windowfocus --sync "$id" key alt+r; sleep 2 ;;
        self-test)
            xdotool windowfocus --sync "$id" key alt+p; sleep 0.5
            xdotool key t
            window "TEST BOARD" >/dev/null; sleep 0.5 ;;
    esac
    shoot "$id" "$name"
    # A command still running would end in its outcome box, which waits for a click.
    if [ "$scene" = command ]; then kill -KILL $pid; else kill $pid; fi
    wait $pid 2>/dev/null || true
}

# On the bench: a picture is no reason to write to the machine's ports.
corvina="CORVINA Flash Programmer  \[virtual bench\]"
quillon="EEPROM  Programmer  \[virtual bench\]"
picture corvina-sim "$corvina" "" corvina.png
picture quillon-sim "$quillon" "" quillon.png
picture corvina-sim "$corvina" command corvina-reading.png
picture quillon-sim "$quillon" self-test self-test.png
