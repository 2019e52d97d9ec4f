#!/bin/sh
# The answers of the command line that end the program at once, given with no
# display at all: a window could not even be tried, so a wrong path shows as
# the display message and status 1. Each row: the exit status, the stream
# that must hold the line (the other stays empty), the line, the arguments.
set -u
program=$1
out=$(mktemp -d "${TMPDIR:-/tmp}/usage-answers-XXXXXX")
trap 'rm -rf "$out"' EXIT
usage='Usage: norvale3 [--help] [--version] [FILE]'
nodisplay='norvale3: no graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set).'
failures=0

row() {
    status=$1 stream=$2 line=$3
    shift 3
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$out/out" 2>"$out/err"
    got=$?
    quiet=err
    [ "$stream" = err ] && quiet=out
    if [ "$got" -ne "$status" ] || ! grep -qxF -- "$line" "$out/$stream" || [ -s "$out/$quiet" ]; then
        echo "norvale3 $*: status $got, wanted $status and \"$line\" on std$stream alone"
        echo "--- stdout:"; cat "$out/out"; echo "--- stderr:"; cat "$out/err"
        failures=$((failures + 1))
    fi
}

# Output that cannot be written: said on standard error, status 1.
lost() {
    how=$1 reason=$2
    shift 2
    if [ "$how" = full ]; then
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >/dev/full 2>"$out/err"
    else
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >&- 2>"$out/err"
    fi
    got=$?
    if [ "$got" -ne 1 ] || [ "$(cat "$out/err")" != "norvale3: write error: $reason" ]; then
        echo "norvale3 $* (output $how): status $got, wanted 1 and the write error"
        echo "--- stderr:"; cat "$out/err"
        failures=$((failures + 1))
    fi
}

# A display named but not there: two lines saying so, status 1, no abort.
unreachable() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$out" "$@" \
        "$program" >"$out/out" 2>"$out/err"
    got=$?
    if [ "$got" -ne 1 ] || [ -s "$out/out" ] || [ "$(wc -l <"$out/err")" -ne 2 ] ||
        ! head -n 1 "$out/err" | grep -q '^norvale3: cannot open the display: .'; then
        echo "norvale3 with $*: status $got, wanted 1 and two lines on stderr"
        echo "--- stdout:"; cat "$out/out"; echo "--- stderr:"; cat "$out/err"
        failures=$((failures + 1))
    fi
}

row 0 out "$usage" --help
row 0 out "$usage" -h
row 0 out 'norvale3 3.0.4' --version
row 2 err "$usage" --no-such-option
row 2 err "$usage" -reverse
row 2 err "norvale3: unknown option '-reverse'" -reverse
row 2 err "norvale3: unknown option '--no-such-option'" --no-such-option
row 2 err "norvale3: unknown option '-hx'" -hx
row 2 err "$usage" one.bin two.bin
row 2 err "$usage" -- one.bin two.bin
# After -- a name with a dash is a file: the program goes on to look for a display.
row 1 err "$nodisplay" -- -dash.bin
row 1 err "$nodisplay" -- --help

lost full 'No space left on device' --help
lost full 'No space left on device' --version
lost closed 'Bad file descriptor' --help
lost closed 'Bad file descriptor' --version
# Not the display's own words: no server answers on this socket name.
unreachable DISPLAY=:nowhere-$$
unreachable QT_QPA_PLATFORM=junk
unreachable WAYLAND_DISPLAY=nowhere-$$ QT_QPA_PLATFORM=wayland

[ "$failures" -eq 0 ]
