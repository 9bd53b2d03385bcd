#!/usr/bin/env bash
# The player under the real X11 screen saver daemon, set up as the README says (a `programs:` line with
# "glowfield -root" in ~/.xscreensaver): the daemon covers the screen with a window of its own and names it
# in XSCREENSAVER_WINDOW, and the picture must show in it, lit and moving; deactivating ends the player
# within a second, leaving no process; a mistake in the config file still leaves a drawing saver, the
# mistake reported. Run as an unprivileged user (nobody when run as root) with a home folder of the test's
# own. Usage: xscreensaver.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_lib.sh"
if ! command -v xscreensaver >/dev/null || ! command -v xscreensaver-command >/dev/null; then
    echo "SKIP: the xscreensaver daemon is not installed"
    exit 77
fi
require Xvfb import convert compare identify
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start_screen 800x600
prepare_saver_user
cat >"$SAVER_HOME/.xscreensaver" <<'EOF'
mode:		one
selected:	0
timeout:	0:30:00
lock:		False
splash:		False
fade:		False
unfade:		False
programs:	"Glowfield"  glowfield -root  \n\
EOF
chown -R "$SAVER_USER" "$SAVER_HOME"

stop_daemon() {
    as_user xscreensaver-command -exit >/dev/null 2>&1
    wait_until 10 bash -c "! kill -0 $DAEMON_PID 2>/dev/null" || kill "$DAEMON_PID" 2>/dev/null
    wait "$DAEMON_PID" 2>/dev/null
    DAEMON_PID=""
}

start_daemon() {
    as_user xscreensaver -no-splash -verbose >"$SAVER_DIR/daemon.log" 2>&1 &
    DAEMON_PID=$!
    wait_until 20 as_user xscreensaver-command -time >/dev/null 2>&1 ||
        fail "the daemon did not answer: $(tail -n 5 "$SAVER_DIR/daemon.log")"
}

# activate_and_check WHAT: blank with the daemon, check the screen, unblank, and time the player's end.
activate_and_check() {
    rm -f "$SAVER_HOME/frames.log"
    as_user xscreensaver-command -activate >/dev/null || fail "$1: the daemon refused to activate"
    wait_saver_drawn "$1"
    screen_lit_and_moving "$1"
    as_user xscreensaver-command -deactivate >/dev/null || fail "$1: the daemon refused to deactivate"
    players_gone_within "$END_LIMIT_MS" "$1"
    sleep 0.3
    [ -z "$(running_players)" ] || fail "$1: a player came back: $(running_players)"
}

start_daemon
activate_and_check "activated"
pass "the daemon's window shows the picture, lit and moving; deactivating ends the player in $GONE_MS ms"
grep -q 'glowfield: ' "$SAVER_DIR/daemon.log" && fail "the player complained: $(grep 'glowfield: ' "$SAVER_DIR/daemon.log")"

# A key of the wrong type and an unknown key: both reported, the rest of the file used, the saver drawing.
cat >"$SAVER_HOME/.config/glowfield/config.toml" <<'EOF'
switch_seconds = "soon"
only = "Wheel"
colour = "blue"
EOF
chown -R "$SAVER_USER" "$SAVER_HOME"
activate_and_check "a mistake in the config file"
grep -q 'config.toml:1: switch_seconds must be' "$SAVER_DIR/daemon.log" ||
    fail "the wrong type was not reported: $(grep glowfield "$SAVER_DIR/daemon.log")"
grep -q "config.toml:3: unknown key 'colour'" "$SAVER_DIR/daemon.log" ||
    fail "the unknown key was not reported: $(grep glowfield "$SAVER_DIR/daemon.log")"
# The frame log's effect and switching period: Wheel (13) from the file, the default period of 750 frames.
read -r effect period < <(grep '^[0-9]' "$SAVER_HOME/frames.log" | tail -n 1 | awk '{ print $4, $5 }')
[ "$effect" = 13 ] && [ "$period" = 750 ] ||
    fail "the config file's good keys were not used: effect $effect, period $period (expected 13, 750)"
pass "a mistake in the config file is reported and left out; the saver draws with the rest ($GONE_MS ms to end)"

stop_daemon
[ -z "$(running_players)" ] || fail "a player outlived the daemon"
pass "the daemon exits and no player is left"
