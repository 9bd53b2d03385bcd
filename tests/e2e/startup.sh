#!/usr/bin/env bash
# Measures start-up under Xvfb: milliseconds from launching the player to its renderer being made (the field
# seeded, the window or the saver's window ready to draw) and to the first frame step drawn, which by design
# comes 100 ms after the start. Not a test: it prints the median and the range of several starts of each kind:
# drawing into the root window as a saver daemon starts it, full screen under a window manager (openbox) as on
# a desktop, and full screen on a bare X server.
# Usage: startup.sh PATH-TO-GLOWFIELD [STARTS]   (default 7 starts of each kind)
PLAYER=$1
STARTS=${2:-7}
source "$(dirname "$0")/lib.sh"
require Xvfb openbox wmctrl

# Milliseconds on the wall clock, read without starting a process.
now_ms() {
    local t=${EPOCHREALTIME/./}
    echo $((t / 1000))
}

# One start: the two figures, "renderer first-frame", in milliseconds. The frame log is a pipe that the
# script reads a line at a time, so it waits without taking the processor from the player and notes each line
# as it comes.
one_start() {
    local began renderer="" line fifo="$WORK/log.fifo"
    rm -f "$fifo"
    mkfifo "$fifo"
    exec 8<>"$fifo"
    began=$(now_ms)
    GLOWFIELD_FRAME_LOG="$fifo" "$PLAYER" "$@" 2>"$WORK/player.err" &
    PLAYER_PID=$!
    while read -r -t 10 line <&8; do
        case "$line" in
        "event renderer"*) [ -n "$renderer" ] || renderer=$(($(now_ms) - began)) ;;
        [0-9]*)
            echo "$renderer $(($(now_ms) - began))"
            break
            ;;
        esac
    done
    [ -n "$renderer" ] || fail "no frame within 10 s: $(cat "$WORK/player.err")"
    kill -TERM "$PLAYER_PID"
    wait "$PLAYER_PID" 2>/dev/null
    exec 8<&-
}

summarise() {
    sort -n | awk -v what="$1" '{ v[NR] = $1 } END { printf "%s: median %d ms (%d to %d) over %d starts\n", what, v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}

measure() {
    local label=$1
    shift
    : >"$WORK/starts"
    for _ in $(seq "$STARTS"); do
        one_start "$@" >>"$WORK/starts"
    done
    cut -d ' ' -f 1 "$WORK/starts" | summarise "$label, to the renderer"
    cut -d ' ' -f 2 "$WORK/starts" | summarise "$label, to the first frame"
}

start_screen 1280x800
measure "saver (--root)" --root
start_window_manager
measure "full screen under a window manager" --monitor 0
stop_screen
start_screen 1280x800
measure "full screen on a bare X server" --monitor 0
