#!/usr/bin/env bash
# Listening to a sound file without a display: a file that cannot be played is refused in one line with exit
# code 2 and no output, the run ends with the file, the same file gives the same frames, and silence gives
# the frames of a run that does not listen. The sound is made on the spot.
# Usage: audio.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require python3

cd "$WORK" || exit 1
unset DISPLAY WAYLAND_DISPLAY

# WAV files of 16-bit mono at 44.1 kHz: clicks at 120 BPM, and silence.
python3 - <<'PY' || fail "cannot make the sound files"
import math, struct, wave
rate = 44100
def write(name, samples):
    with wave.open(name, "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))
clicks = [0.0] * (rate * 3)
for beat in range(6):
    for i in range(rate // 25):
        t = i / rate
        clicks[beat * rate // 2 + i] = 0.8 * math.sin(2 * math.pi * 2000 * t) * math.exp(-t * 300)
write("clicks.wav", clicks)
write("silence.wav", [0.0] * rate)
PY
head -c 30 clicks.wav >truncated.wav
head -c 100000 clicks.wav >cut.wav
printf 'this is not sound, only words\n%.0s' {1..20} >words.wav

# refused WHAT ARGS...: exit code 2, one line on standard error, nothing on standard output, no file written.
refused() {
    local what=$1 code
    shift
    rm -f out.png err.txt out.txt
    "$PLAYER" "$@" --screenshot out.png >out.txt 2>err.txt
    code=$?
    [ "$code" -eq 2 ] || fail "$what: exit code $code, expected 2"
    [ ! -s out.txt ] || fail "$what: wrote to standard output"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "$what: expected one line of error, got: $(cat err.txt)"
    grep -q '^glowfield: ' err.txt || fail "$what: the line does not start with glowfield:"
    [ ! -e out.png ] || fail "$what: the screenshot was written"
    pass "$what is refused: $(cat err.txt)"
}
refused "a file cut inside its header" --headless --seed 1 --audio truncated.wav
refused "a file cut inside its sound" --headless --seed 1 --audio cut.wav
refused "a file that is no sound" --headless --seed 1 --audio words.wav
refused "a missing file" --headless --seed 1 --audio no/such.wav
refused "--audio with the gallery" --gallery gallery --audio clicks.wav

# The run ends with the file: 3 s are 150 frames, which a recording counts.
"$PLAYER" --headless --seed 1 --effect 13 --audio clicks.wav --record run.y4m 2>player.err ||
    fail "a run with --audio"
[ "$(grep -c FRAME run.y4m)" -eq 150 ] || fail "a 3 s file gave $(grep -c FRAME run.y4m) frames, not 150"
"$PLAYER" --headless --seed 1 --effect 13 --audio clicks.wav --frames 200 --record long.y4m 2>player.err ||
    fail "a run with --audio and --frames"
[ "$(grep -c FRAME long.y4m)" -eq 200 ] || fail "--frames 200 gave $(grep -c FRAME long.y4m) frames"
pass "the run ends with the file unless --frames says otherwise"

for run in 1 2; do
    "$PLAYER" --headless --seed 5 --effect 13 --audio clicks.wav --dump-field "clicks$run.bin" 2>player.err ||
        fail "a run with clicks"
done
cmp -s clicks1.bin clicks2.bin || fail "the same file gave different frames"
"$PLAYER" --headless --seed 5 --effect 13 --frames 150 --dump-field unheard.bin 2>player.err || fail "a run without sound"
! cmp -s clicks1.bin unheard.bin || fail "the clicks changed nothing"
"$PLAYER" --headless --seed 5 --effect 13 --frames 50 --audio silence.wav --dump-field silent.bin 2>player.err ||
    fail "a run with silence"
"$PLAYER" --headless --seed 5 --effect 13 --frames 50 --dump-field quiet.bin 2>player.err || fail "a run without sound"
cmp -s silent.bin quiet.bin || fail "silence changed the frames"
pass "the same file gives the same frames, and silence those of a run without sound"

# The config file's keys, and --print-config.
mkdir -p "$XDG_CONFIG_HOME/glowfield"
printf 'audio = "%s"\nswitch_on_beat = true\n' "$WORK/clicks.wav" >"$XDG_CONFIG_HOME/glowfield/config.toml"
"$PLAYER" --print-config >printed.toml || fail "--print-config"
grep -qx "audio = \"$WORK/clicks.wav\"" printed.toml && grep -qx 'switch_on_beat = true' printed.toml ||
    fail "--print-config: $(cat printed.toml)"
"$PLAYER" --headless --seed 5 --effect 13 --dump-field config.bin 2>player.err || fail "a run with audio from the config file"
cmp -s config.bin clicks1.bin || fail "audio in the config file does not play as --audio"
pass "audio and switch_on_beat in the config file"
