#!/usr/bin/env bash
# Listening to a real sound server: a private PulseAudio daemon with a null sink; --list-audio-sources names
# its monitor; without a server the run ends with one line and code 1, an unknown source with code 2 before
# any output; a clicking sound played into the sink changes the field a windowed run leaves, while listening
# to silence leaves it as without listening; a killed server ends the run with one line, its outputs and code
# 3. A sound file is played aloud, its clock pacing the frames. A recording with --audio carries a sound
# track as long as its video. Usage: listen.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require pulseaudio pactl paplay parec python3 ffmpeg ffprobe Xvfb cmp timeout

cd "$WORK" || exit 1
unset DISPLAY WAYLAND_DISPLAY
PULSE_PID=""
stop_pulse() {
    [ -n "$PULSE_PID" ] && kill "$PULSE_PID" 2>/dev/null && wait "$PULSE_PID" 2>/dev/null
    PULSE_PID=""
}
trap 'stop_pulse; cleanup' EXIT

# The daemon as an ordinary session server of its own (also when run as root), with no state outside $WORK,
# its socket named in PULSE_SERVER for every client, the test's null sink as the default output.
mkdir -p pulse
export HOME="$WORK/pulse" XDG_RUNTIME_DIR="$WORK/pulse" PULSE_SERVER="unix:$WORK/pulse/socket"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --log-target=stderr \
    -L "module-null-sink sink_name=glowfield_test rate=48000" \
    -L "module-native-protocol-unix socket=$WORK/pulse/socket auth-anonymous=1" 2>pulse.err &
PULSE_PID=$!
wait_until 20 pactl info >/dev/null 2>&1 || fail "the sound server did not start: $(tail -n 3 pulse.err)"
pactl set-default-sink glowfield_test

# 1. The sources, one per line.
"$PLAYER" --list-audio-sources >sources.txt 2>err.txt || fail "--list-audio-sources failed: $(cat err.txt)"
grep -qx 'glowfield_test.monitor' sources.txt || fail "the null sink's monitor is not listed: $(cat sources.txt)"
pass "--list-audio-sources lists the monitor"

# one_line CODE WHAT ARGS...: ends with CODE and one line starting with "glowfield:".
one_line() {
    local expected=$1 what=$2 code
    shift 2
    timeout 20 "$PLAYER" "$@" >out.txt 2>err.txt
    code=$?
    [ "$code" -eq "$expected" ] || fail "$what: exit code $code, expected $expected ($(cat err.txt))"
    [ "$(wc -l <err.txt)" -eq 1 ] && grep -q '^glowfield: ' err.txt || fail "$what: not one line: $(cat err.txt)"
    pass "$what: $(cut -c1-100 err.txt)"
}

# 2. No server, an unknown source.
PULSE_SERVER="unix:$WORK/none" one_line 1 "no sound server" --headless --frames 5 --listen
PULSE_SERVER="unix:$WORK/none" one_line 1 "no sound server to list" --list-audio-sources
one_line 2 "an unknown source" --headless --frames 5 --listen no_such_source --screenshot shot.png
[ ! -e shot.png ] || fail "a refused source left a screenshot"

# 3. Listening changes the field when there is sound, and nothing when there is silence. The run is paced
# on a screen, so that its frames see the sound as it plays.
ffmpeg -v error -f lavfi -i "aevalsrc='(sin(2*PI*70*t)+0.5*(random(0)*2-1))*exp(-25*mod(t,0.5))':s=48000:d=6" \
    -y clicks.wav || fail "cannot make the sound file"
start_screen 800x600
run_field() {
    local out=$1
    shift
    "$PLAYER" --window --seed 5 --effect 13 --frames 100 --dump-field "$out" "$@" 2>>"$WORK/player.err" ||
        fail "the windowed run for $out failed"
}
run_field quiet.bin
run_field silence.bin --listen
cmp -s quiet.bin silence.bin || fail "listening to silence changed the field"
pass "listening to silence leaves the field as without listening"
paplay --device=glowfield_test clicks.wav &
PLAY_PID=$!
run_field heard.bin --listen
kill "$PLAY_PID" 2>/dev/null
wait "$PLAY_PID" 2>/dev/null
cmp -s quiet.bin heard.bin && fail "the field did not react to the sound"
pass "the field reacts to the sound it hears"

# 4. A sound file is played aloud into the sink, and its clock paces the frames: a 2 s file is 100 frames
# that take its 2 s. Without a sound device the run goes on silently after one line.
ffmpeg -v error -i clicks.wav -t 2 -y two.wav || fail "cannot cut the sound file"
parec --device=glowfield_test.monitor --raw --format=s16le --channels=1 --rate=8000 >heard.raw &
REC_PID=$!
LOG="$WORK/aloud.log"
GLOWFIELD_FRAME_LOG="$LOG" "$PLAYER" --window --seed 5 --effect 13 --audio two.wav 2>player.err ||
    fail "the run playing aloud failed"
kill "$REC_PID" 2>/dev/null
wait "$REC_PID" 2>/dev/null
[ ! -s player.err ] || fail "playing aloud said: $(cat player.err)"
[ "$(log_lines)" -eq 100 ] || fail "a 2 s file made $(log_lines) frames"
span=$(ticks | awk 'NR == 1 { first = $1 } { last = $1 } END { printf "%d\n", last - first }')
[ "$span" -ge 1900 ] && [ "$span" -le 2300 ] || fail "the 100 frames took $span ms, not the sound's 2 s"
loudest=$(python3 -c 'import sys, array; a = array.array("h", open(sys.argv[1], "rb").read()); print(max(map(abs, a), default=0))' heard.raw)
[ "$loudest" -gt 1000 ] || fail "the sink heard nothing (loudest sample $loudest)"
pass "the sound is played aloud and the frames keep its time ($span ms for 100 frames)"
LOG="$WORK/no_device.log"
SDL_AUDIODRIVER=no_such_driver GLOWFIELD_FRAME_LOG="$LOG" "$PLAYER" --window --seed 5 --effect 13 --audio two.wav \
    --frames 20 2>player.err || fail "the run without a sound device failed"
[ "$(wc -l <player.err)" -eq 1 ] && [ "$(log_lines)" -eq 20 ] ||
    fail "without a sound device: $(log_lines) frames and $(cat player.err)"
pass "without a sound device: $(cut -c1-100 player.err)"
stop_screen

# 5. The server goes away during a run: one line, the outputs of the run, code 3.
start_player --headless --listen --dump-field killed.bin
wait_for_lines 5
stop_pulse
expect_exit 3 "a run whose server went away"
[ "$(wc -l <player.err)" -eq 1 ] || fail "not one line: $(cat player.err)"
[ -s killed.bin ] || fail "the run whose server went away left no field"

# 6. A recording with a sound file carries it as long as its video; a GIF says that it has none.
# stream_end KIND FILE: where the last packet of the video (v) or sound (a) stream ends, in seconds.
stream_end() {
    ffprobe -v error -select_streams "$1" -show_entries packet=pts_time,duration_time -of csv=p=0 "$2" |
        awk -F, '{ end = $1 + $2; if (end > last) last = end } END { printf "%.3f\n", last }'
}
"$PLAYER" --headless --seed 2 --frames 50 --audio clicks.wav --record with_sound.mp4 2>err.txt ||
    fail "the recording with sound failed: $(cat err.txt)"
video=$(stream_end v with_sound.mp4)
audio=$(stream_end a with_sound.mp4)
awk -v v="$video" -v a="$audio" 'BEGIN { exit !(v == 1.0 && a - v < 0.03 && v - a < 0.03) }' ||
    fail "the video lasts $video s and its sound $audio s"
pass "a recording's sound track lasts as long as its video ($video s, $audio s)"
one_line 0 "a GIF has no sound" --headless --seed 2 --frames 10 --audio clicks.wav --record silent.gif
