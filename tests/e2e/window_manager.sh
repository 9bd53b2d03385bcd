#!/usr/bin/env bash
# The real player under a real window manager (openbox on Xvfb): minimised it keeps its frames going without
# drawing and without spinning (full screen, losing the focus minimises it), restored and activated it draws at once, it survives losing the focus to
# another window and a long stop without running the missed frames, and the window manager's close request
# ends it with exit code 0 and its outputs written.
# Usage: window_manager.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require Xvfb openbox wmctrl xdotool xmessage awk

# Sanitizer builds: see window.sh.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# wait_for_event TEXT WHAT: until an event line starting with TEXT is in the log after line $MARK.
wait_for_event() {
    wait_until 20 bash -c "tail -n +$((MARK + 1)) '$LOG' | grep -q '^event $1'" ||
        fail "$2: no 'event $1' in the log"
    pass "$2"
}

mark() { MARK=$(wc -l <"$LOG"); }

# wait_for_drawn VALUE WHAT: until a tick after line $MARK has column 11 (drawn) at VALUE.
wait_for_drawn() {
    wait_until 20 bash -c "tail -n +$((MARK + 1)) '$LOG' | grep '^[0-9]' | tail -n 1 | awk '{ exit \$11 != $1 }'" ||
        fail "$2: no tick after the event with drawn = $1"
    pass "$2"
}

start_screen 1024x768
start_window_manager
start_player --window --seed 1 --effect 0 --dump-field "$WORK/field.bin"
wait_for_lines 10
grep -q '^event renderer software$' "$LOG" ||
    fail "under Xvfb the software renderer should be chosen, got: $(grep '^event renderer' "$LOG")"
pass "the software renderer draws on Xvfb"
WINDOW=$(xdotool search --sync --name '^glowfield - ' | head -n 1)
[ -n "$WINDOW" ] || fail "no window titled 'glowfield - N Name'"

# --- Minimised: frames go on, nothing is drawn, the CPU rests ----------------------------------------------
mark
xdotool windowminimize "$WINDOW"
wait_for_event hidden "minimising is noticed"
mark
wait_for_lines $(($(log_lines) + 5))
wait_for_drawn 0 "minimised, frames run without drawing"
frames_before=$(log_lines)
ticks_before=$(cpu_ticks "$PLAYER_PID")
sleep 2
used=$(($(cpu_ticks "$PLAYER_PID") - ticks_before))
frames=$(($(log_lines) - frames_before))
# A spinning loop would take a whole core (2 s = $(getconf CLK_TCK) * 2 ticks); the frame steps of effect 0
# take a few per cent.
limit=$(($(getconf CLK_TCK) * 2 / 3))
# Only a release build's processor time means something: the sanitizers make every frame several times dearer.
sanitized_build || [ "$used" -lt "$limit" ] ||
    fail "minimised, the player used $used of $limit allowed clock ticks in 2 s"
[ "$frames" -ge 20 ] || fail "minimised, only $frames frames ran in 2 s"
pass "minimised for 2 s: $frames frames, $used clock ticks of CPU"

# --- Restored and activated: drawn at once, then every frame ----------------------------------------------
mark
wmctrl -i -a "$WINDOW"
wait_for_event 'shown 1' "restoring draws the field at once"
wait_for_event 'activated 1' "activation draws the field once"
wait_for_drawn 1 "restored, frames are drawn again"

# --- Another window takes the focus, then the player gets it back ------------------------------------------
mark
xmessage -name other -geometry +0+0 "another window" &
OTHER_PID=$!
wait_for_event deactivated "another window takes the focus"
wait_for_drawn 1 "unfocused, frames are still drawn"
mark
xdotool windowactivate "$WINDOW" 2>/dev/null || wmctrl -i -a "$WINDOW"
wait_for_event 'activated 1' "focus regained draws the field once"
kill "$OTHER_PID" 2>/dev/null
wait "$OTHER_PID" 2>/dev/null

# --- A long stop: one frame when it goes on, not the missed ones at once ------------------------------------
kill -STOP "$PLAYER_PID"
sleep 1.5
kill -CONT "$PLAYER_PID"
wait_for_lines $(($(log_lines) + 20))
# After the first interval over a second, the ticks of the next 200 ms: about 10 at 20 ms, 75 in a catch-up.
burst=$(ticks | awk '
    previous != "" && $1 - previous > 1000 && resumed == "" { resumed = $1 }
    resumed != "" && $1 - resumed < 200 { count++ }
    { previous = $1 }
    END { if (resumed == "") print "none"; else print count }')
[ "$burst" != "none" ] || fail "the stop does not show in the frame log"
[ "$burst" -le 14 ] || fail "after the stop $burst frames ran within 200 ms"
pass "after a 1.5 s stop, $burst frames in the next 200 ms"

# --- The window manager closes the window ------------------------------------------------------------------
wmctrl -i -c "$WINDOW"
expect_exit 0 "the window manager's close request ends the player"
[ "$(stat -c %s "$WORK/field.bin")" -eq 960000 ] || fail "closed by the window manager, no field dump"
pass "the field is dumped after a close request"

# --- Full screen with the display mode switched: losing the focus minimises it -----------------------------
start_player --exclusive --seed 2 --effect 0
wait_for_lines 10
WINDOW=$(xdotool search --sync --name '^glowfield - ' | head -n 1)
[ -n "$WINDOW" ] || fail "no window titled 'glowfield - N Name'"
mark
xmessage -name other -geometry +0+0 "another window" &
OTHER_PID=$!
wait_for_event hidden "full screen, losing the focus minimises the player"
wait_for_drawn 0 "full screen and minimised, frames run without drawing"
mark
wmctrl -i -a "$WINDOW"
wait_for_event 'shown 1' "activated again, the full-screen player draws at once"
wait_for_drawn 1 "full screen again, frames are drawn"
kill "$OTHER_PID" 2>/dev/null
wait "$OTHER_PID" 2>/dev/null
wmctrl -i -c "$WINDOW"
expect_exit 0 "the window manager's close request ends the full-screen player"
