# Helpers of the screen saver daemon tests: an unprivileged user with a home folder of the test's own (the
# daemons refuse to run savers as root), the player copied where that user can run it, and the checks on
# the screen and on the player's processes. Sourced after lib.sh.

SAVER_DIR=""
DAEMON_PID=""

saver_cleanup() {
    [ -n "$DAEMON_PID" ] && kill "$DAEMON_PID" 2>/dev/null && wait "$DAEMON_PID" 2>/dev/null
    # Whatever the daemon's session left of the test user's processes in the test's folder.
    if [ -n "$SAVER_DIR" ]; then
        local pid
        for pid in $(running_players); do
            kill "$pid" 2>/dev/null
        done
        rm -rf "$SAVER_DIR"
    fi
    cleanup
}
trap saver_cleanup EXIT

# prepare_saver_user: SAVER_USER (yourself, or nobody when run as root), SAVER_HOME, and BIN holding a copy of
# the player (launcher and library) that this user can run: the build folder may lie where it cannot. The
# player's frame log goes to SAVER_HOME/frames.log.
prepare_saver_user() {
    SAVER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/glowfield-saver-XXXXXX")
    chmod 755 "$SAVER_DIR"
    SAVER_HOME="$SAVER_DIR/home"
    BIN="$SAVER_DIR/bin"
    mkdir -p "$SAVER_HOME/.config/glowfield" "$BIN"
    cp "$PLAYER" "$BIN/glowfield"
    cp "$(dirname "$PLAYER")/libglowfield-player.so" "$BIN/"
    chmod -R a+rX "$BIN"
    if [ "$(id -u)" -eq 0 ]; then
        require setpriv
        SAVER_USER=nobody
        AS_USER=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups --)
        chown -R nobody "$SAVER_HOME"
    else
        SAVER_USER=$(id -un)
        AS_USER=()
    fi
}

# as_user COMMAND...: the command as the test user, in a clean environment of the test's screen and home.
as_user() {
    "${AS_USER[@]}" env -i HOME="$SAVER_HOME" USER="$SAVER_USER" LOGNAME="$SAVER_USER" DISPLAY="$DISPLAY" \
        PATH="$BIN:/usr/local/bin:/usr/bin:/bin" XDG_CONFIG_HOME="$SAVER_HOME/.config" LANG=C.UTF-8 \
        GLOWFIELD_FRAME_LOG="$SAVER_HOME/frames.log" ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$@"
}

# The test user's running players: processes of the copied program (a process that ended has no program
# any more, also while it waits to be reaped). The daemon starts it by name, so its program tells it apart.
running_players() {
    local pid
    for pid in $(pgrep -u "$SAVER_USER" 2>/dev/null); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$BIN/glowfield" ] && echo "$pid"
    done
}

# wait_saver_drawn WHAT: until the player logs 25 drawn frames.
wait_saver_drawn() {
    wait_until 30 bash -c "[ -f '$SAVER_HOME/frames.log' ] && [ \$(grep -c '^[0-9].* 1\$' '$SAVER_HOME/frames.log') -ge 25 ]" ||
        fail "$1: the player drew no frames (daemon log: $(tail -n 5 "$SAVER_DIR/daemon.log" 2>/dev/null))"
}

# screen_lit_and_moving WHAT: the whole screen (800 x 600) must show the player's 4 x 3 blocks, lit, within
# 30 s, and differ half a second later.
screen_lit_and_moving() {
    local end=$((SECONDS + 30))
    until capture_blocks 0 0 &&
        [ "$(convert "$WORK/picture.png" -format '%[fx:maxima.r+maxima.g+maxima.b > 0.2]' info:)" = 1 ]; do
        [ "$SECONDS" -lt "$end" ] || fail "$1: the screen does not show the player's picture, lit"
        sleep 0.2
    done
    cp "$WORK/picture.png" "$WORK/first.png"
    sleep 0.5
    import -window root "$WORK/second.png" || fail "$1: cannot capture the screen"
    [ "$(compare -metric AE "$WORK/first.png" "$WORK/second.png" null: 2>&1)" != "0" ] ||
        fail "$1: the picture stands still"
}

# How long a deactivated player may take to end: a second, or more in a sanitizer build, which checks its
# whole memory at exit.
END_LIMIT_MS=1000
sanitized_build && END_LIMIT_MS=10000

# players_gone_within MILLISECONDS WHAT: polls until the test user runs no player; fails when a look that
# started past the limit still finds one. GONE_MS: when the look that found none started.
players_gone_within() {
    local start now
    start=$(date +%s%N)
    while :; do
        now=$((($(date +%s%N) - start) / 1000000))
        [ -z "$(running_players)" ] && break
        [ "$now" -lt "$1" ] || fail "$2: a player still runs after $now ms: $(running_players)"
        sleep 0.02
    done
    GONE_MS=$now
}
