#!/usr/bin/env bash
# Measures the running player under Xvfb: frames per second and CPU use over a stretch of seconds (the player's
# and, apart, the X server's, which receives every frame), and the interval between frames (from the frame
# log). Not a test: it prints figures, with the renderer used and the machine's load average.
# Usage: [MEASURE_SCREEN=WIDTHxHEIGHT] [MEASURE_HOST=WIDTHxHEIGHT] measure.sh PATH-TO-GLOWFIELD [SECONDS]
#        [PLAYER OPTIONS...]   (default an 800x600 screen, 10 s, --window)
# With MEASURE_HOST the player is hosted (--window-id) in a window of that size made by the stand-in host
# program (MEASURE_HOST_PROGRAM, default glowfield_host_window beside the player).
PLAYER=$1
SPAN=${2:-10}
shift $(($# < 2 ? $# : 2))
source "$(dirname "$0")/lib.sh"
require Xvfb awk

start_screen "${MEASURE_SCREEN:-800x600}"
if [ -n "${MEASURE_HOST:-}" ]; then
    mkfifo "$WORK/host.in"
    "${MEASURE_HOST_PROGRAM:-$(dirname "$PLAYER")/glowfield_host_window}" "${MEASURE_HOST%x*}" "${MEASURE_HOST#*x}" \
        <"$WORK/host.in" >"$WORK/host.out" &
    HOST_PID=$!
    exec 7>"$WORK/host.in"
    wait_until 20 grep -q '^0x' "$WORK/host.out" || fail "the host window did not appear"
    start_player --window-id "$(head -n 1 "$WORK/host.out")" "$@"
else
    start_player "${@:---window}"
fi
wait_for_lines 50
ticks_before=$(cpu_ticks "$PLAYER_PID")
server_before=$(cpu_ticks "$XVFB_PID")
load_before=$(cut -d ' ' -f 1 /proc/loadavg)
lines_before=$(log_lines)
started=$(date +%s.%N)
sleep "$SPAN"
ticks_after=$(cpu_ticks "$PLAYER_PID")
server_after=$(cpu_ticks "$XVFB_PID")
load_after=$(cut -d ' ' -f 1 /proc/loadavg)
elapsed=$(echo "$(date +%s.%N) $started" | awk '{ print $1 - $2 }')
lines_after=$(log_lines)
kill -TERM "$PLAYER_PID"
expect_exit 0 "the player ends on SIGTERM" >/dev/null

hz=$(getconf CLK_TCK)
echo "$(grep -m 1 '^event renderer' "$LOG" | cut -d ' ' -f 2-), load average $load_before to $load_after on $(nproc) cores"
awk -v cpu=$((server_after - server_before)) -v hz="$hz" -v span="$elapsed" \
    'BEGIN { printf "X server CPU use: %.1f %% of one core\n", 100 * cpu / hz / span }'
awk -v from="$lines_before" -v to="$lines_after" -v span="$elapsed" -v cpu=$((ticks_after - ticks_before)) -v hz="$hz" '
    $1 !~ /^[0-9]/ { next }
    { tick++ }
    tick > from && tick <= to {
        if (tick > from + 1) { d = $1 - start; sum += d; squares += d * d; n++; if (d > max) max = d; if (min == "" || d < min) min = d
                             if (d > 25) late++; if (d >= 18 && d <= 22) near++ }
        start = $1; took += $2; frames++
    }
    END {
        mean = sum / n
        printf "frames per second: %.2f over %.1f s\n", n / sum * 1000, span
        printf "CPU use: %.1f %% of one core\n", 100 * cpu / hz / span
        printf "frame interval: mean %.3f ms, standard deviation %.3f ms, min %.3f, max %.3f, over 25 ms: %d of %d\n",
               mean, sqrt(squares / n - mean * mean), min, max, late, n
        printf "frame interval within 20 +- 2 ms: %.1f %%\n", 100 * near / n
        printf "frame step (wave, effect, render, present): mean %.3f ms\n", took / frames
    }' "$LOG"
