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

row 0 out "$usage" --help
row 0 out "$usage" -h
row 0 out 'norvale3 3.0.4' --version
row 2 err "$usage" --no-such-option
row 2 err "$usage" -reverse
row 2 err "$usage" one.bin two.bin
row 2 err "$usage" -- one.bin two.bin
# After -- a name with a dash is a file: the program goes on to look for a display.
row 1 err "$nodisplay" -- -dash.bin
row 1 err "$nodisplay" -- --help

[ "$failures" -eq 0 ]
