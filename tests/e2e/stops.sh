#!/usr/bin/env bash
# Stops and failures that must not hang a run or leave half-made files, without a display: an encoder that
# never reads, never exits or exits at once without writing; a stop before the first frame; the temporary
# file of a killed recording; the gallery stopped by a signal, by Ctrl-C to its process group or killed, and
# a gallery folder that cannot be written. Every stop ends the run within a second.
# Usage: stops.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require python3 pgrep

cd "$WORK" || exit 1
unset DISPLAY WAYLAND_DISPLAY

# no_temporary_files: nothing hidden is left in the current folder.
no_temporary_files() {
    [ -z "$(ls -A | grep '^\.')" ] || fail "$1: temporary files left behind: $(ls -A | grep '^\.')"
}

# Fake encoders first on PATH, each writing its process id where the test finds it.
fake_encoder() {
    mkdir -p "$1"
    printf '#!/bin/sh\necho $$ >"%s/pid"\n%s\n' "$WORK/$1" "$2" >"$1/ffmpeg"
    chmod +x "$1/ffmpeg"
}
fake_encoder never-reads 'exec sleep 600'
fake_encoder never-exits 'cat >/dev/null; exec sleep 600'
fake_encoder exits-at-once 'exit 0'
fake_encoder writes-nothing 'cat >/dev/null; exit 0'

# A stuck encoder: the stop ends the run within a second, with one line, exit code 2, the previous file as it
# was, no temporary file and no encoder left running.
for stuck in never-reads:TERM never-exits:HUP never-reads:INT; do
    encoder=${stuck%:*} signal=${stuck#*:}
    echo previous >kept.mp4
    rm -f "$encoder/pid"
    # Job control: a background command of a script otherwise ignores SIGINT, and so would the player.
    set -m
    PATH="$WORK/$encoder:$PATH" "$PLAYER" --headless --record kept.mp4 2>"$WORK/player.err" &
    PLAYER_PID=$!
    pid=$PLAYER_PID
    set +m
    wait_until 10 test -s "$encoder/pid" || fail "$encoder: the encoder did not start"
    sleep 0.3
    stop_within "an encoder that $encoder" "$pid" "$signal"
    [ "$CODE" -eq 2 ] || fail "an encoder that $encoder: exit code $CODE, expected 2"
    [ "$(wc -l <"$WORK/player.err")" -eq 1 ] && grep -q '^glowfield: cannot record kept.mp4: ' "$WORK/player.err" ||
        fail "an encoder that $encoder: $(cat "$WORK/player.err")"
    [ "$(cat kept.mp4)" = previous ] || fail "an encoder that $encoder replaced the previous file"
    no_temporary_files "an encoder that $encoder"
    gone "$(cat "$encoder/pid")" || fail "an encoder that $encoder was left running"
    pass "SIG$signal ends a run whose encoder $encoder: $(cat "$WORK/player.err")"
done

# Encoders that end well without a video: the previous file stays.
for encoder in exits-at-once writes-nothing; do
    echo previous >kept.mp4
    PATH="$WORK/$encoder:$PATH" timeout 20 "$PLAYER" --headless --frames 5 --record kept.mp4 2>"$WORK/player.err"
    code=$?
    [ "$code" -eq 2 ] && [ "$(cat kept.mp4)" = previous ] && [ "$(wc -l <"$WORK/player.err")" -eq 1 ] ||
        fail "an encoder that $encoder: exit code $code, kept.mp4 now $(wc -c <kept.mp4) bytes"
    no_temporary_files "an encoder that $encoder"
    pass "an encoder that $encoder leaves the previous file: $(cat "$WORK/player.err")"
done

# A stop before the first frame: the signal is pending when the player starts (blocked, then unblocked by
# the player), so no frame is ever recorded. The previous file stays, one line says so, exit code 1.
cat >stopped.py <<'PYTHON'
import os, signal, sys
signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM])
os.kill(os.getpid(), signal.SIGTERM)
os.execv(sys.argv[1], sys.argv[1:])
PYTHON
for video in early.y4m early.gif; do
    echo previous >"$video"
    PATH="$WORK/never-exits:$PATH" timeout 20 python3 stopped.py "$PLAYER" --headless --record "$video" 2>"$WORK/player.err"
    code=$?
    [ "$code" -eq 1 ] || fail "a stop before the first frame of $video: exit code $code, expected 1"
    [ "$(cat "$video")" = previous ] || fail "a stop before the first frame replaced $video"
    [ "$(cat "$WORK/player.err")" = "glowfield: no frame was recorded, so $video is left as it was" ] ||
        fail "a stop before the first frame of $video: $(cat "$WORK/player.err")"
    no_temporary_files "a stop before the first frame of $video"
done
pass "a stop before the first frame keeps the previous recording (exit code 1)"
"$PLAYER" --headless --frames 0 --record early.y4m 2>"$WORK/player.err"
code=$?
[ "$code" -eq 2 ] && [ "$(wc -l <"$WORK/player.err")" -eq 1 ] && grep -q '^glowfield: .*--frames 0' "$WORK/player.err" ||
    fail "--frames 0 with --record: exit code $code: $(cat "$WORK/player.err")"
[ "$(cat early.y4m)" = previous ] || fail "--frames 0 replaced the recording"
pass "--frames 0 with --record is refused: $(cat "$WORK/player.err")"

# The temporary file of a recording killed with SIGKILL is removed by the next run that writes the same
# target; that of a live run is not.
"$PLAYER" --headless --record killed.y4m --record-size 16x16 2>/dev/null &
PLAYER_PID=$!
pid=$PLAYER_PID
wait_until 10 bash -c "ls -A | grep -q '^\.killed\.y4m\.'" || fail "no temporary file for the recording"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
stale=$(ls -A | grep '^\.killed\.y4m\.')
# The next run removes it as it starts; a run meanwhile leaves that run's own file alone.
"$PLAYER" --headless --record killed.y4m --record-size 16x16 2>/dev/null &
PLAYER_PID=$!
wait_until 10 bash -c "! [ -e '$stale' ] && ls -A | grep -q '^\.killed\.y4m\.'" ||
    fail "the killed run's temporary file $stale is still there"
held=$(ls -A | grep '^\.killed\.y4m\.')
"$PLAYER" --headless --frames 3 --record killed.y4m --record-size 16x16 || fail "the recording after a killed one"
[ -e "$held" ] || fail "the live run's temporary file $held was removed"
kill -TERM "$PLAYER_PID"
wait "$PLAYER_PID"
PLAYER_PID=""
no_temporary_files "after the live run"
pass "a killed recording's temporary file is removed by the next run, a live run's is not"

# The gallery: a stop ends the parent and its workers within a second, and the previous gallery stays as it
# was. Its files before, to compare.
"$PLAYER" --gallery gallery --only 1,13 --frames 5 || fail "the first gallery"
previous=$(cd gallery && find . -type f | sort | xargs md5sum)
for signal in TERM HUP INT; do
    set -m
    "$PLAYER" --gallery gallery --frames 300 2>"$WORK/player.err" &
    PLAYER_PID=$!
    pid=$PLAYER_PID
    set +m
    wait_until 10 bash -c "[ \$(pgrep -c -P $pid) -ge 1 ]" || fail "no gallery workers"
    workers=$(pgrep -P "$pid" | tr '\n' ' ')
    sleep 0.5
    # Ctrl-C reaches the whole process group.
    [ "$signal" = INT ] && kill -INT -- "-$pid"
    stop_within "the gallery" "$pid" "$signal"
    [ "$CODE" -eq 1 ] || fail "a stopped gallery: exit code $CODE, expected 1"
    for worker in $workers; do
        gone "$worker" || fail "SIG$signal left gallery worker $worker running"
    done
    [ "$(cd gallery && find . -type f | sort | xargs md5sum)" = "$previous" ] ||
        fail "SIG$signal changed the previous gallery"
    [ -z "$(ls -A gallery | grep '^\.')" ] || fail "SIG$signal left $(ls -A gallery | grep '^\.')"
done
pass "SIGTERM, SIGHUP and Ctrl-C end the gallery within a second and leave the previous one"

"$PLAYER" --gallery gallery --frames 300 &
PLAYER_PID=$!
pid=$PLAYER_PID
wait_until 10 bash -c "[ \$(pgrep -c -P $pid) -ge 1 ]" || fail "no gallery workers"
workers=$(pgrep -P "$pid" | tr '\n' ' ')
sleep 0.5
kill -KILL "$pid"
wait "$pid" 2>/dev/null
for worker in $workers; do
    wait_until 1 gone "$worker" || fail "gallery worker $worker outlived its parent"
done
[ "$(cd gallery && find . -type f -not -path './.*' | sort | xargs md5sum)" = "$previous" ] ||
    fail "a killed gallery changed the previous one"
"$PLAYER" --gallery gallery --only 1 --frames 5 || fail "the gallery after a killed one"
[ -z "$(ls -A gallery | grep '^\.')" ] || fail "the killed gallery's work is still there: $(ls -A gallery | grep '^\.')"
pass "the workers die with a killed gallery, whose work the next gallery removes"

# A gallery folder that cannot be written is refused before any rendering, with one line.
mkdir -p locked/thumbs
chmod 555 locked
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "skip: no setpriv to write as another user"; exit 0; }
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 777 "$WORK" && chmod 755 locked
fi
XDG_CONFIG_HOME="$WORK/nowhere" timeout 20 "${as_user[@]}" "$PLAYER" --gallery locked --only 1,2,3 --frames 5 \
    2>"$WORK/player.err"
code=$?
[ "$code" -eq 2 ] && [ "$(wc -l <"$WORK/player.err")" -eq 1 ] ||
    fail "an unwritable gallery folder: exit code $code, $(wc -l <"$WORK/player.err") lines"
pass "an unwritable gallery folder is refused: $(cat "$WORK/player.err")"
