# Helpers of the end-to-end tests: a private Xvfb screen, the player in the background, polling with
# generous limits (the tests must hold on a loaded machine), the frame log and picture checks.
# Sourced by the test scripts; they set PLAYER to the program under test.

set -uo pipefail

WORK=$(mktemp -d "${TMPDIR:-/tmp}/glowfield-e2e-XXXXXX")
# The player reads its settings from here, not from the config file of whoever runs the tests.
export XDG_CONFIG_HOME="$WORK/config"
XVFB_PID=""
WM_PID=""
PLAYER_PID=""

cleanup() {
    # A player stopped by a test must be continued to act on the signal.
    [ -n "$PLAYER_PID" ] && kill "$PLAYER_PID" 2>/dev/null && kill -CONT "$PLAYER_PID" 2>/dev/null
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
    [ -n "${HOST_PID:-}" ] && kill "$HOST_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$WORK/player.err" ] && [ -s "$WORK/player.err" ]; then
        echo "--- player's standard error:" >&2
        cat "$WORK/player.err" >&2
    fi
    exit 1
}

pass() { echo "ok: $*"; }

# Exit code 77 tells CTest the test was skipped.
require() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

# wait_until SECONDS COMMAND...: polls every 50 ms until the command succeeds.
wait_until() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.05
    done
}

# True for a build with AddressSanitizer. The library list is read whole first: with pipefail, "ldd | grep -q"
# fails whenever grep's early exit cuts ldd off with SIGPIPE.
sanitized_build() {
    local libraries
    libraries=$(ldd "$PLAYER" 2>/dev/null)
    [[ $libraries == *libasan* ]]
}

# wait_for_exec PID PROGRAM: spins (shell builtins only, so it reacts within a fraction of a millisecond)
# until the forked child PID has replaced itself with PROGRAM; gives up after about 10 s.
wait_for_exec() {
    local arg0="" tries=0
    while [ "$tries" -lt 200000 ]; do
        IFS= read -r -d '' arg0 <"/proc/$1/cmdline" 2>/dev/null
        [ "$arg0" = "$2" ] && return 0
        tries=$((tries + 1))
    done
    return 1
}

# start_screen WIDTHxHEIGHT: a fresh Xvfb on a free display number, exported as DISPLAY.
start_screen() {
    local numberFile="$WORK/display.$1"
    : >"$numberFile"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$numberFile" 2>"$WORK/xvfb.err" &
    XVFB_PID=$!
    wait_until 30 grep -q '[0-9]' "$numberFile" || fail "Xvfb did not start: $(cat "$WORK/xvfb.err")"
    export DISPLAY=":$(tr -dc '0-9' <"$numberFile")"
}

# start_window_manager: openbox on the current screen, with its files in the test's folder; returns once it
# answers as a window manager.
start_window_manager() {
    XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache" openbox --sm-disable >"$WORK/wm.err" 2>&1 &
    WM_PID=$!
    wait_until 30 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start: $(cat "$WORK/wm.err")"
}

stop_screen() {
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
    [ -n "${HOST_PID:-}" ] && kill "$HOST_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
    WM_PID=""
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# start_player ARGS...: the player in the background with its frame log in $LOG.
start_player() {
    LOG="$WORK/frames.log"
    : >"$LOG"
    GLOWFIELD_FRAME_LOG="$LOG" "$PLAYER" "$@" 2>"$WORK/player.err" &
    PLAYER_PID=$!
}

player_running() { kill -0 "$PLAYER_PID" 2>/dev/null; }

# gone PID: the process has ended (a zombie that its new parent has not collected yet counts as ended).
gone() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)
    [ -z "$state" ] || [ "$state" = Z ]
}

# The limit for a stop to end a run: a second, and a little more for a loaded machine.
STOP_LIMIT_MS=1500

# stop_within WHAT PID SIGNAL: sends the signal (none for "-") and waits for the process, a child of this
# shell, to end; fails when that takes longer than the limit. Leaves its exit code in CODE.
stop_within() {
    local start end
    start=$(date +%s%N)
    [ "$3" = - ] || kill "-$3" "$2"
    if ! wait_until 10 gone "$2"; then
        kill -KILL "$2"
        fail "$1: the run did not end after SIG$3"
    fi
    end=$(date +%s%N)
    wait "$2"
    CODE=$?
    [ $(((end - start) / 1000000)) -le "$STOP_LIMIT_MS" ] ||
        fail "$1: the run took $(((end - start) / 1000000)) ms to end after SIG$3"
}

# CPU time of a process in clock ticks (user + system), from /proc.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# expect_exit CODE WHAT: waits for the player to end by itself and checks its exit code.
expect_exit() {
    local code
    wait_until 30 bash -c "! kill -0 $PLAYER_PID 2>/dev/null" || fail "$2: the player did not end"
    wait "$PLAYER_PID"
    code=$?
    PLAYER_PID=""
    [ "$code" -eq "$1" ] || fail "$2: exit code $code, expected $1"
    pass "$2 (exit code $code)"
}

# Tick lines of the frame log (they start with a number; key and event lines with a word).
ticks() { grep '^[0-9]' "$LOG"; }
log_lines() { ticks | wc -l; }

# The tick lines' columns: start, took, frameCounter, effect, switchPeriod, mouseX, mouseY, scratchX, scratchY,
# red sum, drawn (1 or 0). last_field N prints column N of the last tick.
last_field() { ticks | tail -n 1 | awk -v n="$1" '{ print $n }'; }

# wait_for_lines N: until the log has at least N ticks.
wait_for_lines() {
    wait_until 30 bash -c "[ \$(grep -c '^[0-9]' '$LOG') -ge $1 ]" || fail "only $(log_lines) frames logged, waited for $1"
}

# wait_for_state COLUMN VALUE WHAT: until the last logged tick shows VALUE in COLUMN.
wait_for_state() {
    wait_until 20 bash -c "[ \"\$(grep '^[0-9]' '$LOG' | tail -n 1 | awk '{ print \$$1 }')\" = '$2' ]" ||
        fail "$3: column $1 is $(last_field "$1"), expected $2"
    pass "$3"
}

# window_covers WIDTHxHEIGHT: the player's window lies at the screen's corner with the screen's size.
window_covers() {
    local geometry
    geometry=$(xwininfo -id "$(xdotool search --name '^glowfield - ' | head -n 1)" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { printf "%sx%s+%s+%s", w, h, x, y }')
    [ "$geometry" = "$1+0+0" ] || fail "the window is at $geometry, expected $1+0+0"
}

# The picture is made of 200 x 200 uniform blocks (4 x 3 pixels at 800 x 600) aligned with its top left corner
# when sampling one pixel per block and blowing it up again gives back the same picture.
is_block_picture() {
    local picture=$1 size
    size=$(identify -format '%wx%h' "$picture")
    convert "$picture" -sample 200x200! -sample "$size!" "$WORK/rebuilt.png" &&
        [ "$(compare -metric AE "$picture" "$WORK/rebuilt.png" null: 2>&1)" = "0" ]
}

# capture_blocks X Y [WIDTHxHEIGHT]: captures the screen and checks the picture of that size (800 x 600 unless
# given) at (X, Y) for blocks. Several tries, since a capture can fall in the middle of a frame being drawn.
capture_blocks() {
    local try size=${3:-800x600}
    for try in 1 2 3 4 5; do
        import -window root "$WORK/screen.png" || fail "cannot capture the screen"
        convert "$WORK/screen.png" -crop "$size+$1+$2" +repage "$WORK/picture.png"
        is_block_picture "$WORK/picture.png" && return 0
        sleep 0.2
    done
    return 1
}

# shown_is_screenshot SCREEN-X SCREEN-Y SIZE ARGS...: runs the player with ARGS and --screenshot, freezes it
# with SIGSTOP, captures the SIZE picture at (SCREEN-X, SCREEN-Y), and ends it with SIGTERM before it can run
# another frame: the picture on the screen must be the screenshot of the last frame, scaled to SIZE by
# repeating pixels. Tries again when the stop caught a frame half way (the log then grows after the stop).
shown_is_screenshot() {
    local x=$1 y=$2 size=$3 try frames
    shift 3
    for try in 1 2 3 4 5; do
        start_player "$@" --screenshot "$WORK/last.png"
        wait_for_lines 10
        kill -STOP "$PLAYER_PID"
        sleep 0.2
        frames=$(log_lines)
        import -window root "$WORK/screen.png" || fail "cannot capture the screen"
        kill -TERM "$PLAYER_PID"
        kill -CONT "$PLAYER_PID"
        expect_exit 0 "the frozen player ends on SIGTERM" >/dev/null
        [ "$(log_lines)" -eq "$frames" ] || continue
        convert "$WORK/screen.png" -crop "$size+$x+$y" +repage "$WORK/shown.png"
        convert "$WORK/last.png" -sample "$size!" "$WORK/expected.png"
        [ "$(compare -metric AE "$WORK/shown.png" "$WORK/expected.png" null: 2>&1)" = "0" ]
        return
    done
    fail "the player kept being stopped in the middle of a frame"
}
