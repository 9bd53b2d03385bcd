#!/usr/bin/env bash
# Recordings of real runs: a .y4m video has one frame per frame step, each the screenshot of that many frames
# within one level (the rounding of its 4:4:4 colours), also enlarged and reduced; bad recordings are refused
# up front; a failing encoder ends the run with its last message and leaves the target alone; .mp4, .webm and
# .gif videos decode to their frame count and size; SIGTERM and a terminal's Ctrl-C still leave a whole video;
# a windowed run records what it shows; the progress line shows on a terminal only.
# Usage: record.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require convert python3 script timeout

cd "$WORK" || exit 1
unset DISPLAY WAYLAND_DISPLAY

# y4m.py count VIDEO: its number of frames. y4m.py compare VIDEO N RGB: the largest difference of a channel
# between frame N (from 1) decoded and the raw RGB picture.
cat >y4m.py <<'PYTHON'
import sys
data = open(sys.argv[2], "rb").read()
end = data.index(b"\n")
fields = {field[:1]: field[1:] for field in data[:end].split()[1:]}
assert fields[b"C"] == b"444" and fields[b"F"] == b"50:1" and fields[b"X"] == b"COLORRANGE=FULL", fields
size = int(fields[b"W"]) * int(fields[b"H"])
frames, at = [], end + 1
while at < len(data):
    marker = data.index(b"\n", at)
    assert data[at:marker] == b"FRAME", at
    frames.append(data[marker + 1 : marker + 1 + 3 * size])
    at = marker + 1 + 3 * size
assert all(len(frame) == 3 * size for frame in frames)
if sys.argv[1] == "count":
    sys.exit(print(len(frames)))
frame, expected = frames[int(sys.argv[3]) - 1], open(sys.argv[4], "rb").read()
level = lambda value: max(0, min(255, round(value)))
decoded, worst = {}, 0
for i in range(size):
    key = (frame[i], frame[size + i] - 128, frame[2 * size + i] - 128)
    if key not in decoded:
        y, cb, cr = key
        decoded[key] = (level(y + 1.402 * cr), level(y - 0.344136 * cb - 0.714136 * cr), level(y + 1.772 * cb))
    worst = max(worst, *(abs(a - b) for a, b in zip(decoded[key], expected[3 * i : 3 * i + 3])))
print(worst)
PYTHON

# shows VIDEO N PNG [SIZE]: frame N of the video is the PNG (scaled to SIZE by repeating or dropping pixels).
shows() {
    convert "$3" -sample "${4:-800x600}!" -depth 8 rgb:expected.rgb || fail "cannot read $3"
    local worst
    worst=$(python3 y4m.py compare "$1" "$2" expected.rgb) || fail "$1 is no valid video"
    [ "$worst" -le 1 ] || fail "frame $2 of $1 differs from $3 by $worst levels"
}

args=(--headless --seed 7 --effect 13)
"$PLAYER" "${args[@]}" --frames 12 --record run.y4m 2>err.txt || fail "the .y4m recording failed"
[ ! -s err.txt ] || fail "a recording off the terminal printed: $(cat err.txt)"
[ "$(python3 y4m.py count run.y4m)" -eq 12 ] || fail "12 frames made $(python3 y4m.py count run.y4m) video frames"
for frames in 1 5 12; do
    "$PLAYER" "${args[@]}" --frames "$frames" --screenshot "shot$frames.png" || fail "screenshot of $frames frames"
done
shows run.y4m 1 shot1.png
shows run.y4m 12 shot12.png
pass "a .y4m recording of 12 frames holds 12 frames, frame n the screenshot after n frames"
"$PLAYER" "${args[@]}" --frames 5 --record big.y4m --record-size 1600x1200 || fail "the enlarged recording"
shows big.y4m 5 shot5.png 1600x1200
"$PLAYER" "${args[@]}" --frames 5 --record=small.y4m --record-size=400x300 || fail "the reduced recording"
shows small.y4m 5 shot5.png 400x300
pass "recordings at 1600x1200 and 400x300 are the screenshot with hard pixel edges"

# refused WHAT ARGS...: exit code 2 and one line before any frame; only the files made here stay. RUNNER may
# name a command that runs the player, such as env with a setting.
refused() {
    local what=$1 code
    shift
    mkdir -p refusal && cd refusal || exit 1
    ${RUNNER:-} "$PLAYER" --headless --frames 3 "$@" >out.txt 2>err.txt
    code=$?
    [ "$code" -eq 2 ] || fail "$what: exit code $code, expected 2"
    [ "$(wc -l <err.txt)" -eq 1 ] && grep -q '^glowfield: ' err.txt || fail "$what: not one line: $(cat err.txt)"
    [ "$(ls -A | wc -l)" -eq 2 ] || fail "$what: wrote files: $(ls -A)"
    pass "$what is refused: $(cat err.txt)"
    cd "$WORK" && rm -rf refusal
}
refused "an unknown video format" --record run.avi
refused "an odd video size" --record run.y4m --record-size 801x600
refused "an absurd video size" --record run.y4m --record-size 100000x600
refused "a size without a recording" --record-size 400x300
refused "a recording over the screenshot" --record same.y4m --screenshot ./same.y4m
refused "a recording into a missing folder" --record no/run.y4m
RUNNER="env PATH=/nonexistent" refused "an .mp4 without ffmpeg" --record run.mp4
grep -q 'ffmpeg' <(PATH=/nonexistent "$PLAYER" --headless --frames 1 --record run.gif 2>&1) ||
    fail "the missing program is not named"
PATH=/nonexistent "$PLAYER" "${args[@]}" --frames 2 --record plain.y4m || fail ".y4m needs no other program"

# An encoder that fails: one line with its last message, exit code 2, the previous file untouched, no
# temporary file left.
mkdir -p fake && printf '#!/bin/sh\necho "starting" >&2\necho "Encoder exploded" >&2\nexit 1\n' >fake/ffmpeg &&
    chmod +x fake/ffmpeg
echo previous >kept.mp4
PATH="$WORK/fake:$PATH" timeout 60 "$PLAYER" --headless --frames 100 --record kept.mp4 2>err.txt
code=$?
[ "$code" -eq 2 ] || fail "a failing encoder: exit code $code, expected 2"
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q 'kept.mp4: ffmpeg failed with exit code 1: Encoder exploded' err.txt ||
    fail "a failing encoder: $(cat err.txt)"
[ "$(cat kept.mp4)" = previous ] || fail "a failing encoder replaced the previous file"
[ -z "$(ls -A | grep '^\.')" ] || fail "temporary files left behind: $(ls -A | grep '^\.')"
pass "a failing encoder ends the run with its message and leaves the previous file"

if ! command -v ffmpeg >/dev/null || ! command -v ffprobe >/dev/null; then
    echo "skip: ffmpeg is not installed, so .mp4, .webm and .gif recordings are not checked"
    exit 0
fi
# probe VIDEO: "frames,width,height" as decoded.
probe() {
    ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames,width,height \
        -of csv=p=0 "$1" | awk -F, '{ print $3 "," $1 "," $2 }'
}
for video in run.mp4:800x600 run.webm:400x300 run.gif:400x300; do
    file=${video%%:*} size=${video#*:}
    "$PLAYER" "${args[@]}" --frames 20 --record "$file" --record-size "$size" 2>err.txt ||
        fail "recording $file: $(cat err.txt)"
    [ "$(probe "$file")" = "20,${size/x/,}" ] || fail "$file decodes as $(probe "$file"), expected 20 frames $size"
done
pass ".mp4, .webm and .gif recordings decode to their frame count and size"

# A run stopped by SIGTERM, and one by Ctrl-C in its terminal (which reaches only the player, not ffmpeg),
# still end with exit code 0 and a video of every frame step.
: >term.log
GLOWFIELD_FRAME_LOG=term.log "$PLAYER" --headless --seed 1 --frames 1000000 --record term.mp4 &
PLAYER_PID=$!
wait_until 60 bash -c "[ \$(grep -c '^[0-9]' term.log) -ge 30 ]" || fail "the recording did not start"
kill -TERM "$PLAYER_PID"
expect_exit 0 "SIGTERM ends a recording"
frames=$(grep -c '^[0-9]' term.log)
[ "$(probe term.mp4)" = "$frames,800,600" ] || fail "SIGTERM after $frames frames left $(probe term.mp4)"
pass "SIGTERM mid-recording leaves a video of all $frames frames"
# Job control keeps SIGINT for the background job, which a script's background commands otherwise ignore (and
# the player then too, as it keeps signals its parent ignored). The shell that script starts execs the player:
# dash would otherwise stay as its parent and die of the same Ctrl-C.
mkfifo keys
: >ctrlc.log
set -m
GLOWFIELD_FRAME_LOG=ctrlc.log script -qec "exec '$PLAYER' --headless --seed 1 --record ctrlc.mp4" /dev/null \
    <keys >tty.txt &
PLAYER_PID=$!
set +m
exec 3>keys
wait_until 60 bash -c "[ \$(grep -c '^[0-9]' ctrlc.log) -ge 30 ]" || fail "the recording did not start"
printf '\003' >&3
expect_exit 0 "Ctrl-C in the terminal ends a recording"
exec 3>&-
frames=$(grep -c '^[0-9]' ctrlc.log)
[ "$(probe ctrlc.mp4)" = "$frames,800,600" ] || fail "Ctrl-C after $frames frames left $(probe ctrlc.mp4)"
grep -q "recording: $frames frames" tty.txt || fail "no progress line on the terminal: $(cat tty.txt)"
pass "Ctrl-C in the terminal ends the recording with a video of all $frames frames"

# The progress line: a recording and a long headless run show it on a terminal, a short run does not.
script -qec "'$PLAYER' --headless --frames 40 --record tty.y4m" /dev/null >tty.txt
grep -q 'recording: 40 of 40 frames, .* per second, 0 s left' tty.txt || fail "no recording progress: $(cat tty.txt)"
script -qec "'$PLAYER' --headless --frames 30" /dev/null >tty.txt
[ ! -s tty.txt ] || fail "a short headless run showed progress: $(cat tty.txt)"
# Entry 184 is among the costliest (near 1 ms a frame), so these frames take a few seconds on any machine.
script -qec "'$PLAYER' --headless --effect 184 --frames 4000" /dev/null >tty.txt
grep -q 'headless: 4000 of 4000 frames' tty.txt || fail "no progress for a long headless run: $(cat tty.txt)"
pass "progress shows on a terminal for recordings and long runs only"

# A windowed run records the picture it shows: its last frame is its screenshot. As in the other display tests,
# a sanitizer build does not count what the display stack keeps to the end of the process as a leak.
if command -v Xvfb >/dev/null; then
    start_screen 800x600
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$PLAYER" --window --seed 3 --effect 13 \
        --frames 10 --record window.y4m --screenshot window.png 2>"$WORK/player.err" ||
        fail "the windowed recording failed"
    [ "$(python3 y4m.py count window.y4m)" -eq 10 ] || fail "the windowed recording has no 10 frames"
    shows window.y4m 10 window.png
    pass "a windowed recording holds the frames shown"
else
    echo "skip: Xvfb is not installed, so the windowed recording is not checked"
fi
