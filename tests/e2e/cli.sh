#!/usr/bin/env bash
# The command line of the real program, without a display: information options, refusals of bad input (one
# line, exit code 2, nothing written), headless runs and their outputs, and the error when no display exists.
# Usage: cli.sh PATH-TO-GLOWFIELD
PLAYER=$1
source "$(dirname "$0")/lib.sh"
require identify

cd "$WORK" || exit 1
unset DISPLAY WAYLAND_DISPLAY

# refused WHAT ARGS...: exit code 2, one line on standard error, nothing on standard output, no file written.
refused() {
    local what=$1 code
    shift
    mkdir -p "$WORK/refusal" && cd "$WORK/refusal" || exit 1
    "$PLAYER" "$@" >out.txt 2>err.txt
    code=$?
    [ "$code" -eq 2 ] || fail "$what: exit code $code, expected 2"
    [ ! -s out.txt ] || fail "$what: wrote to standard output"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "$what: expected one line of error, got: $(cat err.txt)"
    [ "$(ls | wc -l)" -eq 2 ] || fail "$what: wrote files: $(ls)"
    pass "$what is refused: $(cat err.txt)"
    cd "$WORK" && rm -rf "$WORK/refusal"
}

refused "an unknown option" --bogus
refused "a missing value" --headless --frames
refused "an effect out of range" --headless --effect 242
refused "a seed that is no number" --headless --seed 1x
refused "an unwritable screenshot" --headless --frames 1 --screenshot no/such/folder/x.png
refused "a field dump onto a folder" --headless --frames 1 --dump-field .
refused "a missing picture folder" --headless --frames 1 --pictures no/such/folder
refused "two display modes" --window --exclusive

# The config file: refusals name its line, the command line wins one setting at a time, and --print-config
# writes a file that reads back to the same settings.
config="$XDG_CONFIG_HOME/glowfield/config.toml"
mkdir -p "${config%/*}"
printf 'names = true\n\nnmaes = false\n' >"$config"
refused "an unknown key in the config file" --headless --frames 1
[ "$("$PLAYER" --print-config 2>&1)" = "glowfield: $config:3: unknown key 'nmaes'" ] ||
    fail "the config file's refusal does not name its line"
printf 'skip = "0-9"\nswitch_seconds = 2\ndisplay = "exclusive"\n' >"$config"
refused "--only and a skip that leave nothing" --headless --frames 1 --only 3-5
refused "a missing --config file" --config no/such.toml
"$PLAYER" --window --skip 'Flower, 5' --print-config >printed.toml || fail "--print-config"
grep -qx 'only = "0,2-4,6-241"' printed.toml && grep -qx 'switch_seconds = 2.0' printed.toml &&
    grep -qx 'display = "window"' printed.toml || fail "--print-config: $(cat printed.toml)"
"$PLAYER" --config printed.toml --print-config | cmp -s - printed.toml || fail "--print-config does not read back"
grep -qx 'allow_flashing = false' printed.toml || fail "--print-config: no allow_flashing = false"
"$PLAYER" --allow-flashing --print-config | grep -qx 'allow_flashing = true' || fail "--allow-flashing"
rm "$config"
pass "the config file, the command line over it and --print-config"

"$PLAYER" --help | grep -q -- '--headless' || fail "--help does not describe --headless"
"$PLAYER" --version | grep -q '^glowfield ' || fail "--version"
[ "$("$PLAYER" --list | wc -l)" -eq 242 ] || fail "--list should print 242 lines"
[ "$("$PLAYER" --list | sed -n '14p')" = "13 Wheel" ] || fail "--list line 14"
[ "$("$PLAYER" --list | tail -n 1)" = "241" ] || fail "--list: entry 241 has no name"
pass "--help, --version and --list"

# Output that cannot be written is an error: exit code 1 and one line, not a silent success.
for args in "--help" "--list" "--version" "--print-config"; do
    # shellcheck disable=SC2086
    XDG_CONFIG_HOME=$WORK/none "$PLAYER" $args >/dev/full 2>err.txt
    code=$?
    [ "$code" -eq 1 ] || fail "$args into /dev/full: exit code $code, expected 1"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "$args into /dev/full: $(cat err.txt)"
    # shellcheck disable=SC2086
    "$PLAYER" $args >&- 2>/dev/null
    code=$?
    [ "$code" -eq 1 ] || fail "$args into a closed output: exit code $code, expected 1"
done
pass "--help, --list, --version and --print-config into a full disk or a closed output fail"


# A FIFO at the default config path or at user-dirs.dirs, or a device, never holds up a start.
mkdir -p fifo-home/.config/glowfield
mkfifo fifo-home/.config/glowfield/config.toml fifo-home/.config/user-dirs.dirs
HOME=$WORK/fifo-home XDG_CONFIG_HOME=$WORK/fifo-home/.config timeout 10 "$PLAYER" --print-config >/dev/null 2>err.txt
code=$?
[ "$code" -eq 2 ] && grep -q "not a regular file" err.txt || fail "a FIFO config file: code $code, $(cat err.txt)"
rm fifo-home/.config/glowfield/config.toml
ln -sf /dev/zero fifo-home/.config/user-dirs.dirs
HOME=$WORK/fifo-home XDG_CONFIG_HOME=$WORK/fifo-home/.config timeout 10 "$PLAYER" --print-config >printed.toml || fail "user-dirs.dirs as /dev/zero"
printf 'names = true\n' >named.toml
[ "$("$PLAYER" --config <(cat named.toml) --print-config | grep -c '^names = true')" -eq 1 ] ||
    fail "--config <(...) is not read"
pass "FIFOs and devices at the default paths are refused or passed over; a pipe given by name is read"

# Headless runs need no display and repeat exactly.
for run in 1 2; do
    "$PLAYER" --headless --seed 4 --frames 30 --screenshot "shot$run.png" --dump-field "field$run.bin" ||
        fail "headless run $run"
done
[ "$(identify -format '%wx%h' shot1.png)" = "800x600" ] || fail "the screenshot is not 800 x 600"
[ "$(stat -c %s field1.bin)" -eq 960000 ] || fail "the field dump is not 960000 bytes"
cmp -s field1.bin field2.bin && cmp -s shot1.png shot2.png || fail "two headless runs differ"
pass "--headless --frames runs without a display and repeats exactly"

# Without --headless and without a display: exit code 1 and an error that names --headless.
SDL_VIDEODRIVER=x11 "$PLAYER" --frames 1 >out.txt 2>err.txt
code=$?
[ "$code" -eq 1 ] || fail "without a display: exit code $code, expected 1"
grep -q -- '--headless' err.txt || fail "without a display the error does not name --headless: $(cat err.txt)"
pass "without a display the player names --headless"

# SDL's own fallback when it finds no display draws nowhere; it must count as no display. Skipped where a
# console could be taken over instead.
if [ ! -e /dev/dri/card0 ]; then
    mkdir -p runtime && chmod 700 runtime
    XDG_RUNTIME_DIR="$WORK/runtime" "$PLAYER" --frames 1 >out.txt 2>err.txt
    code=$?
    [ "$code" -eq 1 ] && grep -q -- '--headless' err.txt || fail "SDL's fallback driver counted as a display"
    pass "SDL's fallback driver counts as no display"
fi
