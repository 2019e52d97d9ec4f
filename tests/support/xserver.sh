#!/bin/sh
# Runs one command on a virtual X server of its own: starts Xvfb on a free
# display (the server picks it and writes its number), points DISPLAY and
# Qt's xcb platform at it, runs the command and stops the server. The exit
# status is the command's. nv_add_test's XSERVER runs each case of a
# GoogleTest program through this; listing the cases needs no server, so
# `--gtest_list_tests` runs the program directly.
#   xserver.sh PROGRAM [ARGUMENT...]
set -u
for arg; do
    [ "$arg" != --gtest_list_tests ] || exec "$@"
done
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "This test needs Xvfb: install the Debian package xvfb (sudo apt-get install xvfb)." >&2
    exit 1
fi
dir=$(mktemp -d) || exit 1
xvfb='' program=''
cleanup() {
    for pid in $program $xvfb; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# Without -noreset the server resets whenever its last client leaves, and
# refuses connections meanwhile.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" >"$dir/log" 2>&1 &
xvfb=$!
n=0
until [ -s "$dir/display" ]; do
    if ! kill -0 "$xvfb" 2>/dev/null; then
        echo "Xvfb did not start: $(cat "$dir/log")" >&2
        exit 1
    fi
    n=$((n + 1))
    if [ "$n" -ge 300 ]; then
        echo "Xvfb named no display within 30 seconds: $(cat "$dir/log")" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$dir/display")
QT_QPA_PLATFORM=xcb
# Qt's remark about a missing runtime folder would otherwise go with each case.
XDG_RUNTIME_DIR=$dir/runtime
export DISPLAY QT_QPA_PLATFORM XDG_RUNTIME_DIR
unset WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Under AddressSanitizer: the X keyboard library copies fixed-length names
# with strndup, which the strict string check reads past their end.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
    export ASAN_OPTIONS
fi

# In the background, so that a signal (CTest's timeout) is taken at once
# and the cleanup ends the command with the server.
"$@" &
program=$!
wait "$program"
status=$?
program=''
exit "$status"
