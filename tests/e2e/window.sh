#!/usr/bin/env bash
# The real player on an Xvfb screen, driven by real key and mouse events from xdotool (XTEST, not events sent
# to a window): the picture covers the screen in 4 x 3 blocks, keys and the mouse do what they should (read
# from the frame log), and Esc, a left click and SIGTERM each end the program with exit code 0.
# Usage: window.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require Xvfb xdotool import convert compare awk

# In sanitizer builds: the display stack (D-Bus, GL drivers) keeps some allocations to the end of the process,
# which the leak checker would count against the player. The unit and headless tests still check for leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# The key lines of the log after line FROM: exactly one of them may change the red sum, and it must scale it
# by RATIO (exactly, up to the log's nine digits), so a key that acted twice or not at all shows.
one_change() {
    tail -n "+$(($1 + 1))" "$LOG" | awk -v ratio="$2" '
        $1 == "key" && $5 != $4 { changes++; seen = $4 != 0 ? $5 / $4 : 0 }
        END {
            if (changes != 1) { printf "%d changes", changes; exit 1 }
            printf "ratio %.6f", seen
            if (seen - ratio > 1e-6 || ratio - seen > 1e-6) exit 1
        }'
}

# field_key KEY RATIO WHAT: sends a key and checks that it scaled the red sum once by RATIO. The key's
# events are all in the log once a few ticks have followed its first line.
field_key() {
    local from result
    from=$(wc -l <"$LOG")
    xdotool key "$1"
    wait_until 20 bash -c "tail -n +$((from + 1)) '$LOG' | grep -q '^key'" || fail "$3: no key event arrived"
    wait_for_lines $(($(log_lines) + 3))
    result=$(one_change "$from" "$2") || fail "$3: $result"
    pass "$3 ($result)"
}

# --- Full screen on an 800 x 600 screen, keys and mouse ---------------------------------------------------
start_screen 800x600
start_player --seed 1 --effect 0 --dump-field "$WORK/field.bin"
wait_for_lines 20
player_running || fail "the player ended early"
xdotool search --name '^glowfield - 0 Sphere$' >/dev/null || fail "no window titled 'glowfield - 0 Sphere'"
window_covers 800x600
capture_blocks 0 0 || fail "the screen does not show 4 x 3 blocks"
[ "$(identify -format '%k' "$WORK/picture.png")" -gt 50 ] || fail "the picture is nearly flat"
pass "the picture covers the screen in 4 x 3 blocks"
# Xvfb offers no direct rendering, so the player takes the software renderer without trying OpenGL first.
grep -q '^event renderer software$' "$LOG" || fail "on Xvfb the renderer is $(grep -m 1 '^event renderer' "$LOG")"
pass "Xvfb gets the software renderer"

field_key Return 0.5 "Enter halves the colours once"
field_key KP_Enter 0.5 "keypad Enter halves the colours once"
field_key i -1 "i inverts the field once"
field_key m 2 "m doubles the field once"
from=$(wc -l <"$LOG")
xdotool key l
wait_until 20 bash -c "tail -n +$((from + 1)) '$LOG' | grep -q '^key text 108 .* 194 199$'" ||
    fail "l did not shift the field (scratchX 194, scratchY 199)"
pass "l shifts the field left"

xdotool type 243
wait_for_state 4 1 "2 4 3 chooses effect 1"
xdotool type 999
wait_for_state 4 31 "9 9 9 chooses effect 31"
xdotool type 2
xdotool key space
xdotool type 430
wait_for_state 4 188 "space clears a half-typed number"
xdotool key z
wait_for_state 4 0 "z chooses effect 0"
wait_for_state 5 3000000 "z stops automatic changes"
[ "$(last_field 3)" -lt 500 ] || fail "z did not restart frameCounter"
xdotool key period
wait_for_state 4 134 "the first . gives effect 134"
xdotool key period
wait_for_state 4 53 "the second . gives effect 53"

xdotool mousemove 799 599
wait_for_state 6 199 "mouse at (799, 599): mouseX 199"
wait_for_state 7 199 "mouse at (799, 599): mouseY 199"
xdotool mousemove 0 0
wait_for_state 6 0 "mouse at (0, 0): mouseX 0"
wait_for_state 7 0 "mouse at (0, 0): mouseY 0"

xdotool key Escape
expect_exit 0 "Esc ends the player"
[ "$(stat -c %s "$WORK/field.bin")" -eq 960000 ] || fail "--dump-field wrote no 960000 bytes at the end"
pass "the field is dumped at the end"

# --- Start-up as it comes, ended by a left click ----------------------------------------------------------
start_player
wait_for_lines 3
read -r first second < <(ticks | head -n 2 | awk '{ printf "%s/%s ", $3, $4 }')
[ "$first" = "750/13" ] || fail "the first tick should run effect 13 and leave frameCounter 750, got $first"
# Without a switch the counter would be 751; the chosen effect may push it on further.
[ "${second%/*}" -ge 752 ] || fail "the second tick should switch and leave frameCounter 752, got $second"
pass "the first tick runs effect 13, the second switches"
xdotool click 1
expect_exit 0 "a left click ends the player"

# --- Exclusive mode ended by SIGTERM; a window that stops after its frames --------------------------------
start_player --exclusive
wait_for_lines 5
window_covers 800x600
kill -TERM "$PLAYER_PID"
expect_exit 0 "SIGTERM ends the player"

start_player --window --seed 3 --frames 40 --screenshot "$WORK/shot.png"
expect_exit 0 "--window --frames 40 ends by itself"
[ "$(log_lines)" -eq 40 ] || fail "--frames 40 ran $(log_lines) frames"
[ "$(identify -format '%wx%h' "$WORK/shot.png")" = "800x600" ] || fail "no 800 x 600 screenshot"
pass "--frames 40 runs 40 frames and writes the screenshot"
stop_screen

# --- A wide screen: the picture keeps its aspect between black bars, the mouse is clamped to it ----------
# (Flower, which reaches the edges of the picture)
start_screen 1000x600
start_player --seed 2 --effect 1
wait_for_lines 10
window_covers 1000x600
capture_blocks 100 0 || fail "the picture between the bars does not show 4 x 3 blocks"
for bar in 100x600+0+0 100x600+900+0; do
    [ "$(convert "$WORK/screen.png" -crop "$bar" +repage -format '%[max]' info:)" = "0" ] ||
        fail "the bar $bar is not black"
done
for edge in 4x600+100+0 4x600+896+0; do
    [ "$(convert "$WORK/screen.png" -crop "$edge" +repage -format '%[fx:mean > 0.1]' info:)" = "1" ] ||
        fail "the picture does not reach its edge $edge"
done
pass "on a 1000 x 600 screen the picture sits between black bars"
xdotool mousemove 50 300
wait_for_state 6 0 "over the left bar: mouseX 0"
xdotool mousemove 999 599
wait_for_state 6 199 "over the right bar: mouseX 199"
xdotool mousemove 500 300
wait_for_state 6 100 "the middle of the screen: mouseX 100"
wait_for_state 7 100 "the middle of the screen: mouseY 100"
xdotool key Escape
expect_exit 0 "Esc ends the player on the wide screen"
shown_is_screenshot 100 0 800x600 --seed 4 --effect 13 || fail "the screen does not show the last frame"
pass "the screen shows exactly the rendered frame"
stop_screen

# --- A screen twice the picture's size: every block becomes exactly 8 x 6 pixels ------------------------------
start_screen 1600x1200
start_player --seed 2 --effect 0
wait_for_lines 10
window_covers 1600x1200
capture_blocks 0 0 1600x1200 || fail "scaled by 2 the picture does not show 8 x 6 blocks"
pass "on a 1600 x 1200 screen the picture is scaled by 2 with hard edges"
xdotool key Escape
expect_exit 0 "Esc ends the player on the large screen"
shown_is_screenshot 0 0 1600x1200 --seed 5 --effect 13 || fail "the screen does not show the last frame scaled by 2"
pass "the screen shows exactly the rendered frame, scaled by 2"
