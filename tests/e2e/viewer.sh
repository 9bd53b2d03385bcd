#!/usr/bin/env bash
# The viewer's controls in the real player on an Xvfb screen: key n shows the effect's name over the picture
# without touching the field, key k holds the effect against automatic switching, --only keeps switching to
# the chosen entries, and --all-monitors and --monitor on the screen Xvfb offers.
# Usage: viewer.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require Xvfb xdotool import convert awk

# See window.sh: the display stack keeps allocations to the end of the process.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Near-white pixels in the label's corner of an 800 x 600 screen capture.
label_pixels() {
    convert "$1" -crop 320x60+0+540 +repage -fx 'r>0.94 && g>0.94 && b>0.94 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

# Effects seen in the tick lines after line FROM, as a sorted list.
effects_after() { tail -n "+$(($1 + 1))" "$LOG" | grep '^[0-9]' | awk '{ print $4 }' | sort -un | tr '\n' ' '; }

start_screen 800x600

# 1. Key n: the label shows over the picture; the field is the same as without it.
start_player --seed 1 --effect 5 --frames 400 --dump-field "$WORK/with.bin"
wait_for_lines 30
import -window root "$WORK/before.png"
xdotool key n
wait_until 10 bash -c "grep -q '^key text 110' '$LOG'" || fail "key n did not reach the player"
sleep 0.3
import -window root "$WORK/after.png"
before=$(label_pixels "$WORK/before.png")
after=$(label_pixels "$WORK/after.png")
[ "$before" -lt 20 ] && [ "$after" -gt 150 ] ||
    fail "key n: $before white pixels in the label's corner before, $after after"
expect_exit 0 "a run with the name shown ends as usual"
GLOWFIELD_FRAME_LOG=/dev/null "$PLAYER" --seed 1 --effect 5 --frames 400 --dump-field "$WORK/without.bin" \
    2>"$WORK/player.err" || fail "the run without names failed"
cmp -s "$WORK/with.bin" "$WORK/without.bin" || fail "the name label changed the field"
pass "key n shows the name over the picture ($after white pixels) and leaves the field as it was"

# --names shows it from the start, with the window's title naming the entry.
start_player --seed 1 --effect 9 --names
wait_for_lines 20
import -window root "$WORK/names.png"
[ "$(label_pixels "$WORK/names.png")" -gt 150 ] || fail "--names shows no name"
xdotool search --name '^glowfield - 9 Tartan$' >/dev/null || fail "the title does not name entry 9"
kill "$PLAYER_PID"
expect_exit 0 "--names shows the name at start and the title names the entry"

# 2. Key k: no automatic switch while locked, switching again once released.
start_player --seed 1 --switch-seconds 0.2
wait_for_lines 40
xdotool key k
wait_until 10 bash -c "grep -q '^key text 107' '$LOG'" || fail "key k did not reach the player"
from=$(wc -l <"$LOG")
wait_for_lines $(($(log_lines) + 80))
held=$(effects_after "$from")
[ "$(echo "$held" | wc -w)" -eq 1 ] || fail "locked, yet the effects changed: $held"
xdotool key k
from=$(wc -l <"$LOG")
wait_for_lines $(($(log_lines) + 60))
[ "$(effects_after "$from" | wc -w)" -gt 1 ] || fail "unlocked, yet no automatic switch followed"
kill "$PLAYER_PID"
expect_exit 0 "key k holds the effect ($held) for 80 frames of 10-frame switching, and releases it"

# 3. --only: automatic switching, space and '.' keep to the list; digits still reach any entry.
start_player --seed 3 --only 5,7 --switch-seconds 0.1
wait_for_lines 20
from=$(wc -l <"$LOG")
wait_for_lines $(($(log_lines) + 100))
xdotool key space period space period
wait_for_lines $(($(log_lines) + 10))
seen=$(effects_after "$from")
[ "$seen" = "5 7 " ] || fail "--only 5,7 played: $seen"
# The key line of the last digit shows the entry it chose; automatic switching leaves it within 5 frames.
xdotool type 042
wait_until 10 bash -c "grep -q '^key text 50 ' '$LOG'" || fail "the digits did not reach the player"
chosen=$(grep '^key text 50 ' "$LOG" | tail -n 1 | awk '{ print $6 }')
[ "$chosen" = 42 ] || fail "digits outside --only chose $chosen, expected 42"
kill "$PLAYER_PID"
expect_exit 0 "--only 5,7 plays only 5 and 7 over 20 switches and the keys"

# 4. Monitors: Xvfb offers one, so --all-monitors plays as usual on it; a monitor that is not there is
# refused. The choice of windows for several monitors is checked by the unit tests.
"$PLAYER" --list-monitors >"$WORK/monitors.txt" 2>"$WORK/player.err" || fail "--list-monitors failed"
grep -q '^0: 800x600 at 0,0' "$WORK/monitors.txt" || fail "--list-monitors: $(cat "$WORK/monitors.txt")"
start_player --seed 1 --all-monitors
wait_for_lines 20
window_covers 800x600
kill "$PLAYER_PID"
expect_exit 0 "--all-monitors on a one-monitor screen"
start_player --monitor 3
expect_exit 2 "--monitor 3 on a one-monitor screen is refused"
grep -q 'no monitor 3' "$WORK/player.err" || fail "the refusal does not name the monitor: $(cat "$WORK/player.err")"
