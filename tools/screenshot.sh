#!/usr/bin/env bash
# Takes a picture of each main window under a virtual X server:
#   tools/screenshot.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1
out=$2
mkdir -p "$out"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
runtime=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$runtime"' EXIT
export DISPLAY=$display XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
shoot() {
    local program=$1 title=$2
    "$build/programs/$program" &
    local pid=$!
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || { echo "no window '$title' from $program" >&2; kill $pid; return 1; }
    sleep 6  # the splash closes itself after five seconds
    import -window "$id" "$out/${program%-sim}.png"
    kill $pid
    wait $pid 2>/dev/null || true
    echo "wrote $out/${program%-sim}.png"
}
# On the bench: a picture is no reason to write to the machine's ports.
shoot corvina-sim "CORVINA Flash Programmer  \[virtual bench\]"
shoot quillon-sim "EEPROM  Programmer  \[virtual bench\]"
