#!/usr/bin/env bash
# Runs on a display that misbehaves: a hosted run starts no D-Bus session bus through the display; a window id
# that names no window gives one line and leaves nothing behind; an X server that stops answering (SIGSTOP on
# Xvfb) while the player plays or starts does not keep a stop from ending the run within a second, with the
# outputs of the last whole frame; Esc ends a windowed run whose encoder never reads.
# Usage: frozen_display.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require Xvfb xdotool xwininfo xlsatoms python3

cd "$WORK" || exit 1
start_screen 800x600
ROOT=$(xwininfo -root | awk '/Window id:/ { print $4 }')

# Without a session bus, a hosted run must not have one started through the display (dbus-launch
# --autolaunch, which marks the display with _DBUS_SESSION_BUS atoms and waits on it).
env -u DBUS_SESSION_BUS_ADDRESS "$PLAYER" --window-id "$ROOT" --frames 20 2>"$WORK/player.err" ||
    fail "the hosted run failed"
[ -z "$(xlsatoms | grep _DBUS_SESSION_BUS)" ] || fail "a hosted run started a session bus: $(xlsatoms | grep _DBUS)"
pass "a hosted run starts no session bus through the display"
# The windowed runs below need none either, and leave none behind.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/session-bus

# A window id that names no window: one line, exit code 1, and the recording's temporary file removed.
for how in "--window-id 0x1fffff0" "XSCREENSAVER_WINDOW=0x1fffff1"; do
    if [[ $how == --* ]]; then
        "$PLAYER" $how --record gone.y4m 2>"$WORK/player.err"
    else
        env "$how" "$PLAYER" --record gone.y4m 2>"$WORK/player.err"
    fi
    code=$?
    [ "$code" -eq 1 ] && [ "$(wc -l <"$WORK/player.err")" -eq 1 ] && grep -q '^glowfield: there is no window' "$WORK/player.err" ||
        fail "$how: exit code $code: $(cat "$WORK/player.err")"
    [ -z "$(ls -A | grep '^\.')" ] && [ ! -e gone.y4m ] || fail "$how left files: $(ls -A)"
done
pass "a window id that names no window: $(cat "$WORK/player.err")"

# The server stops while the player plays: SIGTERM still ends the run within a second, and the screenshot,
# field dump and recording are those of the last frame that was whole, as a headless run of as many frames
# makes them.
start_player --window --seed 3 --effect 13 --screenshot last.png --dump-field last.bin --record last.y4m
wait_for_lines 20
kill -STOP "$XVFB_PID"
sleep 0.3
stop_within "a run on a stopped display" "$PLAYER_PID" TERM
PLAYER_PID=""
kill -CONT "$XVFB_PID"
[ "$CODE" -eq 0 ] || fail "a run on a stopped display: exit code $CODE"
frames=$(log_lines)
"$PLAYER" --headless --seed 3 --effect 13 --frames "$frames" --screenshot head.png --dump-field head.bin ||
    fail "the headless run of $frames frames"
cmp -s last.bin head.bin || fail "the field dump is not that of frame $frames"
cmp -s last.png head.png || fail "the screenshot is not that of frame $frames"
recorded=$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
print((len(data) - data.index(b"\n") - 1) / (6 + 3 * 800 * 600))' last.y4m)
[ "$recorded" = "$frames.0" ] || fail "the recording holds $recorded frames, the log $frames"
pass "SIGTERM ends a run on a stopped display with the outputs of frame $frames: $(cat "$WORK/player.err")"

# The same with a video that ffmpeg encodes: finished from the last whole frame, or, on a machine too busy to
# finish it in the time left, given up with the previous file kept; never waited for longer.
if command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null; then
    echo previous >last.mp4
    start_player --window --seed 3 --effect 13 --record last.mp4
    wait_for_lines 20
    kill -STOP "$XVFB_PID"
    sleep 0.3
    stop_within "an encoded recording on a stopped display" "$PLAYER_PID" TERM
    PLAYER_PID=""
    kill -CONT "$XVFB_PID"
    frames=$(log_lines)
    if [ "$CODE" -eq 0 ]; then
        decoded=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
            -of csv=p=0 last.mp4)
        [ "$decoded" = "$frames" ] || fail "the .mp4 of a stopped display holds $decoded frames, the log $frames"
    else
        [ "$CODE" -eq 2 ] && [ "$(cat last.mp4)" = previous ] && grep -q 'in time' "$WORK/player.err" ||
            fail "an encoded recording on a stopped display: exit code $CODE: $(cat "$WORK/player.err")"
    fi
    pass "an encoded recording on a stopped display ends in time (exit code $CODE after $frames frames)"
fi

# The server is stopped before the player starts: it never answers, and SIGTERM ends the run all the same.
for mode in "--window-id $ROOT" --window; do
    kill -STOP "$XVFB_PID"
    start_player $mode --screenshot never.png --record never.y4m
    sleep 0.5
    stop_within "start-up on a stopped display ($mode)" "$PLAYER_PID" TERM
    PLAYER_PID=""
    kill -CONT "$XVFB_PID"
    [ "$CODE" -eq 1 ] && [ "$(wc -l <"$WORK/player.err")" -eq 1 ] ||
        fail "start-up on a stopped display ($mode): exit code $CODE: $(cat "$WORK/player.err")"
    [ -z "$(ls -A | grep '^\.')" ] && [ ! -e never.y4m ] || fail "start-up on a stopped display left $(ls -A)"
done
pass "SIGTERM ends a start-up on a stopped display: $(cat "$WORK/player.err")"

# Esc in the window of a run whose encoder never reads: the window's events are still handled while the
# player waits on the encoder.
mkdir -p fake && printf '#!/bin/sh\nexec sleep 600\n' >fake/ffmpeg && chmod +x fake/ffmpeg
echo previous >esc.mp4
PATH="$WORK/fake:$PATH" start_player --window --record esc.mp4
wait_until 20 xdotool search --name '^glowfield - ' >/dev/null || fail "no window"
wait_for_lines 1
sleep 0.3
xdotool key Escape
stop_within "Esc while the encoder never reads" "$PLAYER_PID" -
PLAYER_PID=""
[ "$CODE" -eq 2 ] && [ "$(cat esc.mp4)" = previous ] || fail "Esc while the encoder never reads: exit code $CODE"
pass "Esc ends a windowed run whose encoder never reads: $(cat "$WORK/player.err")"
