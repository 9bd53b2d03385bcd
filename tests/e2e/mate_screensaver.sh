#!/usr/bin/env bash
# The player under the real MATE screen saver, as its package installs it: the shipped screensavers entry
# (data/glowfield-screensaver.desktop) chosen as the only theme, its Exec in the one folder MATE runs savers
# from (/usr/libexec/xscreensaver). In a D-Bus session of its own on an Xvfb screen, as an unprivileged user
# with a home folder of the test's own: activating shows the picture, lit and moving; deactivating ends the
# player within a second. The link into /usr/libexec/xscreensaver has a name of the test's own and is removed
# at the end; without the right to make it (not root) the test is skipped.
# Usage: mate_screensaver.sh PATH-TO-GLOWFIELD
PLAYER=$1
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_lib.sh"
for tool in mate-screensaver mate-screensaver-command dbus-run-session gsettings; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
require Xvfb import convert compare identify
HACKS=/usr/libexec/xscreensaver
[ -d "$HACKS" ] && [ -w "$HACKS" ] || { echo "SKIP: $HACKS is not writable: MATE runs savers only from there"; exit 77; }
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start_screen 800x600
prepare_saver_user
LINK="$HACKS/glowfield-e2e-$$"
ln -s "$BIN/glowfield" "$LINK"
SESSION_PID=""
mate_cleanup() {
    [ -n "$SESSION_PID" ] && kill "$SESSION_PID" 2>/dev/null && wait "$SESSION_PID" 2>/dev/null
    rm -f "$LINK"
    saver_cleanup
}
trap mate_cleanup EXIT

# The shipped entry, pointing at the test's link; everything else of it as installed.
ENTRIES="$SAVER_HOME/.local/share/applications/screensavers"
mkdir -p "$ENTRIES"
sed "s|$HACKS/glowfield|$LINK|g" "$SOURCE_DIR/data/glowfield-screensaver.desktop" >"$ENTRIES/glowfield.desktop"
grep -q '^NoDisplay=true' "$ENTRIES/glowfield.desktop" && fail "the screensavers entry is hidden (NoDisplay)"
cat >"$SAVER_HOME/session.sh" <<EOF
echo "\$DBUS_SESSION_BUS_ADDRESS" >"$SAVER_HOME/bus"
gsettings set org.mate.screensaver mode single
gsettings set org.mate.screensaver themes "['screensavers-glowfield']"
gsettings set org.mate.screensaver lock-enabled false
exec mate-screensaver --no-daemon --debug
EOF
chown -R "$SAVER_USER" "$SAVER_HOME"

as_user XDG_CURRENT_DESKTOP=MATE NO_AT_BRIDGE=1 GTK_A11Y=none XDG_DATA_HOME="$SAVER_HOME/.local/share" \
    dbus-run-session -- bash "$SAVER_HOME/session.sh" >"$SAVER_DIR/daemon.log" 2>&1 &
SESSION_PID=$!
mate() {
    as_user DBUS_SESSION_BUS_ADDRESS="$(cat "$SAVER_HOME/bus")" mate-screensaver-command "$@"
}
wait_until 30 bash -c "[ -s '$SAVER_HOME/bus' ]" || fail "no D-Bus session: $(tail -n 5 "$SAVER_DIR/daemon.log")"
wait_until 30 mate --query >/dev/null 2>&1 || fail "MATE's screen saver did not answer: $(tail -n 5 "$SAVER_DIR/daemon.log")"

# MATE hands its savers only DISPLAY, HOME, PATH and its bus: no frame log; the screen tells. A mistake in
# the config file must not blank it.
mkdir -p "$SAVER_HOME/.config/glowfield"
echo 'switch_seconds = 0' >"$SAVER_HOME/.config/glowfield/config.toml"
chown -R "$SAVER_USER" "$SAVER_HOME/.config"
mate --activate >/dev/null || fail "MATE refused to activate"
grep -q "Setting command for job: '$LINK --root'" "$SAVER_DIR/daemon.log" ||
    fail "MATE did not take the entry's command: $(grep 'command for job' "$SAVER_DIR/daemon.log")"
screen_lit_and_moving "MATE"
mate --deactivate >/dev/null || fail "MATE refused to deactivate"
players_gone_within "$END_LIMIT_MS" "MATE"
grep -q 'glowfield: .*config.toml:1: switch_seconds must be' "$SAVER_DIR/daemon.log" ||
    fail "the config file's mistake was not reported: $(grep 'glowfield:' "$SAVER_DIR/daemon.log")"
pass "MATE runs the shipped entry's command; the picture shows, lit and moving, despite a mistake in the config file; deactivating ends it in $GONE_MS ms"

mate --exit >/dev/null 2>&1
wait_until 10 bash -c "! kill -0 $SESSION_PID 2>/dev/null" || fail "the MATE session did not end"
wait "$SESSION_PID" 2>/dev/null
SESSION_PID=""
[ -z "$(running_players)" ] || fail "a player outlived MATE's screen saver"
pass "MATE's screen saver exits and no player is left"
