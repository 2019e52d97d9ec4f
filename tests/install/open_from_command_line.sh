#!/bin/sh
# `norvale3 FILE` on a real X server, driven as a person would: the window
# shows FILE's first page, Page Down shows the next one; Select All and Copy
# put what the window shows on the clipboard, where it is read back; Go to
# Offset selects a byte that Copy As Hex copies alone, Copy As Hex of the
# whole page copies its bytes, and after a page is appended to FILE, F5
# reloads it and Ctrl+End reaches the new last page. A file
# that cannot be opened still brings the window up and gives one line on
# standard error. Nothing is timed: each step waits for its result, and
# CTest's timeout bounds the whole.
#   open_from_command_line.sh BUILD_BIN_DIR BUILD_MODULE_DIR SCRATCH_ROOT
set -eu
. "$(dirname "$0")/install_helpers.sh"
need Xvfb xvfb
need xdotool xdotool
need xclip xclip
bin=$1 modules=$2
mkdir -p "$3"
s=$(cd "$(mktemp -d "$3/command-line-XXXXXX")" && pwd)
xvfb='' program=''
cleanup() {
    for pid in $program $xvfb; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$s"
}
trap cleanup EXIT

# A copy of the build tree's layout, so config.ini (splash off) is its own.
mkdir -p "$s/bin" "$s/lib/norvale" "$s/work"
cp "$bin/norvale3" "$bin/norvale3.manifest" "$s/bin/"
cp -R "$modules/." "$s/lib/norvale/"
printf '[Application]\nName=Norvale\n[Colors]\nFont=0\nBackground=16777215\n[Startup]\nShowSplash=FALSE\n' \
    >"$s/bin/config.ini"
# Two pages: 512 bytes of "A", then 512 of "B"; a name that is not UTF-8.
name=$(printf 'two pages \351.bin')
head -c 512 /dev/zero | tr '\0' A >"$s/work/$name"
head -c 512 /dev/zero | tr '\0' B >>"$s/work/$name"

# An X server on a free display of its own choosing. Without -noreset it
# resets whenever its last client leaves, and refuses connections meanwhile.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$s/display" >/dev/null 2>&1 &
xvfb=$!
until [ -s "$s/display" ]; do
    kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start"
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$s/display")
export DISPLAY
# Under AddressSanitizer: the X keyboard library copies fixed-length names
# with strndup, which the strict string check reads past their end.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
    export ASAN_OPTIONS
fi
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# Qt's own remarks would otherwise share standard error with the program's.
XDG_RUNTIME_DIR=$s/runtime
export XDG_RUNTIME_DIR
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Waits for the window of the program started last and gives it the keyboard;
# "NAME - Norvale 3.0" while a file is shown, else "Norvale 3.0".
window() {
    until id=$(xdotool search --onlyvisible --name "${1:-(^| - )Norvale 3\.0\$}"); do
        kill -0 "$program" 2>/dev/null || fail "the program ended without a window: $(cat "$s"/err* 2>/dev/null)"
        sleep 0.1
    done
    xdotool windowfocus --sync "$(echo "$id" | head -n 1)"
}

# Copies the shown page until its first line starts with $1.
await_page() {
    n=0
    while :; do
        xdotool key --clearmodifiers ctrl+a ctrl+c
        first=$(xclip -o -selection clipboard 2>/dev/null | head -n 1 || true)
        case "$first" in "$1"*) return 0 ;; esac
        n=$((n + 1))
        [ "$n" -lt 300 ] || fail "the page shown starts \"$first\", not \"$1\""
        sleep 0.1
    done
}

# A relative name, from the working folder.
(cd "$s/work" && exec "$s/bin/norvale3" "$name" 2>"$s/err1") &
program=$!
window
await_page '00000000  41 41 41 41 41 41 41 41-41 41 41 41 41 41 41 41   AAAAAAAAAAAAAAAA'
xdotool key Next
await_page '00000200  42 42 42 42 42 42 42 42-42 42 42 42 42 42 42 42   BBBBBBBBBBBBBBBB'
# Go to Offset (Ctrl+G) selects one byte, and Copy As Hex copies it alone.
xdotool key --clearmodifiers ctrl+g
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Go to Offset$' | head -n 1) ||
    fail "Ctrl+G showed no Go to Offset dialog"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 0x213
xdotool key --clearmodifiers Return
window
n=0
until [ "$(xclip -o -selection clipboard 2>/dev/null)" = 42 ]; do
    n=$((n + 1))
    [ "$n" -lt 300 ] || fail "Ctrl+G 0x213, Ctrl+Shift+C copied \"$(xclip -o -selection clipboard | head -n 2)\""
    xdotool key --clearmodifiers ctrl+shift+c
    sleep 0.1
done
# Copy As Hex of the whole page selected: its bytes alone, sixteen to a line.
await_page '00000200  42 42 42 42 42 42 42 42-42 42 42 42 42 42 42 42   BBBBBBBBBBBBBBBB'
n=0
until [ "$(xclip -o -selection clipboard 2>/dev/null | head -n 1)" = \
    "42 42 42 42 42 42 42 42 42 42 42 42 42 42 42 42" ]; do
    n=$((n + 1))
    [ "$n" -lt 300 ] || fail "Ctrl+Shift+C copied \"$(xclip -o -selection clipboard | head -n 2)\""
    xdotool key --clearmodifiers ctrl+shift+c
    sleep 0.1
done
[ "$(xclip -o -selection clipboard | wc -l)" = 31 ] || fail "Copy As Hex: not 32 lines"
# A third page appended: F5 reloads the name (not UTF-8) and Ctrl+End reaches it.
head -c 512 /dev/zero | tr '\0' C >>"$s/work/$name"
xdotool key --clearmodifiers F5 ctrl+End
await_page '00000400  43 43 43 43 43 43 43 43-43 43 43 43 43 43 43 43   CCCCCCCCCCCCCCCC'
! grep -q 'cannot open' "$s/err1" || fail "standard error after a good open: $(cat "$s/err1")"
kill "$program"
wait "$program" 2>/dev/null || true

# Standard error closed, as some launchers start programs, and Qt with a
# remark to make on it (no XDG_RUNTIME_DIR): the remark must not reach the
# display connection, and the window answers.
(cd "$s/work" && exec env -u XDG_RUNTIME_DIR "$s/bin/norvale3" "$name" 2>&-) &
program=$!
window
await_page '00000000  41 41 41 41 41 41 41 41-41 41 41 41 41 41 41 41   AAAAAAAAAAAAAAAA'
kill "$program"
wait "$program" 2>/dev/null || true

# A relative name from a working folder about 4,000 characters deep: opened
# as given, though joined to the folder it would be longer than the system
# takes.
segment=$(printf '%0200d' 0) long=$(printf '%0150d.bin' 1)
# Step by step: the whole path is too long for one call.
down() {
    cd "$s/work" && for i in $(seq 19); do
        [ -d "$segment" ] || mkdir "$segment"
        cd "$segment" || return 1
    done
}
(down && cp "$s/work/$name" "$long") || fail "no deep working folder"
(down && exec "$s/bin/norvale3" "$long" 2>"$s/err1") &
program=$!
window
await_page '00000000  41 41 41 41 41 41 41 41-41 41 41 41 41 41 41 41   AAAAAAAAAAAAAAAA'
! grep -q 'cannot open' "$s/err1" || fail "standard error after a deep open: $(cat "$s/err1")"
kill "$program"
wait "$program" 2>/dev/null || true

# Files that cannot be opened: the window comes up all the same, and one
# line on standard error names the file and the reason, which a message box
# titled as the window says over it too.
mkdir "$s/work/folder"
truncate -s 1T "$s/work/huge.bin" # sparse
for row in "-missing.bin|No such file or directory" "folder|Is a directory" \
    "huge.bin|File too large for Norvale (1 TiB or more)" "/proc/self/mem|Input/output error"; do
    name=${row%%|*} reason=${row#*|}
    (cd "$s/work" && exec "$s/bin/norvale3" -- "$name" 2>"$s/err") &
    program=$!
    window
    n=0
    until grep -q '^norvale3:' "$s/err"; do
        n=$((n + 1))
        [ "$n" -lt 300 ] || fail "no line on standard error for $name"
        sleep 0.1
    done
    [ "$(grep '^norvale3:' "$s/err")" = "norvale3: cannot open '$name': $reason" ] ||
        fail "standard error for $name: $(cat "$s/err")"
    n=0
    until [ "$(xdotool search --onlyvisible --name '^Norvale 3\.0$' | wc -l)" -ge 2 ]; do
        n=$((n + 1))
        [ "$n" -lt 300 ] || fail "no message box over the window for $name"
        sleep 0.1
    done
    kill "$program"
    wait "$program" 2>/dev/null || true
done
