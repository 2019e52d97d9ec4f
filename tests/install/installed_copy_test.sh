#!/bin/sh
# An install into a scratch prefix named at install time, with a scratch
# store, used by an ordinary user who may not write the program's directory,
# then uninstalled; and a copy of the build tree's program, which needs no
# registration and leaves its user's home untouched.
#   installed_copy_test.sh BUILD-DIR SOURCE-DIR MODULE-DIR STAND-IN CMAKE
# MODULE-DIR is where an install puts the modules, below the prefix;
# STAND-IN is the program that stands in for a person (installed_run.cpp).
set -eu
build=$1 source=$2 moduledir=$3 standin=$4 cmake=$5

mkdir -p "$build/test-scratch"
scratch=$(mktemp -d "$build/test-scratch/installed-copy-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The person: nobody when run as root (the directory is then not theirs);
# otherwise this user, with the program's directory made read-only.
as_person() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        "$@"
    fi
}
new_home() {
    mkdir -p "$1"
    [ "$(id -u)" -ne 0 ] || chown 65534:65534 "$1"
}
# Runs a program as the person, with a home of its own and nothing else.
run() {
    home=$1
    shift
    as_person env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        NORVALE_REGISTRY_DIR="$NORVALE_REGISTRY_DIR" QT_QPA_PLATFORM=offscreen "$@"
}

sample="$scratch/sample.bin"
printf 'Norvale installed page test' > "$sample"
chmod 644 "$sample"
expect_page() {
    grep -q '^page$' "$1" || fail "no page shown: $(cat "$1")"
    grep -q '^00000000  4E 6F 72 76 61 6C 65 20-69 6E 73 74 61 6C 6C 65   Norvale installe' "$1" ||
        fail "the page is not the file's: $(cat "$1")"
}

export NORVALE_REGISTRY_DIR="$scratch/store"
mkdir -p "$NORVALE_REGISTRY_DIR"
prefix="$scratch/prefix"

# 1. Install, naming the prefix only now: the installed modules are
#    registered with the installed tool.
"$cmake" --install "$build" --prefix "$prefix" > "$scratch/install.log" ||
    fail "install failed: $(cat "$scratch/install.log")"
for m in nvdigits10 nvtext12; do
    grep -rqF "$prefix/$moduledir/$m.so" "$NORVALE_REGISTRY_DIR" ||
        fail "$m is not registered at the prefix: $(cat "$scratch/install.log")"
done
[ ! -e "$prefix/bin/norvale3.manifest" ] || fail "an install ships the build tree's class list"
chmod -R a+rX "$NORVALE_REGISTRY_DIR"
cp "$standin" "$prefix/bin/norvale3-standin"
[ "$(id -u)" -eq 0 ] || chmod a-w "$prefix/bin"

# 2. The person opens a page and turns the splash off; the change is kept
#    in their own directory, and the program's directory is untouched.
home="$scratch/home"
new_home "$home"
run "$home" "$prefix/bin/norvale3-standin" "$sample" --splash-off > "$scratch/first.out" 2>&1 ||
    fail "first start failed: $(cat "$scratch/first.out")"
expect_page "$scratch/first.out"
grep -qx "config $home/.config/norvale/config.ini" "$scratch/first.out" ||
    fail "config.ini not in the user's directory: $(cat "$scratch/first.out")"
grep -qx 'ShowSplash=FALSE' "$home/.config/norvale/config.ini" || fail "the Options change was not written"
[ ! -e "$prefix/bin/config.ini" ] || fail "config.ini written beside the installed program"
run "$home" "$prefix/bin/norvale3-standin" "$sample" > "$scratch/second.out" 2>&1 ||
    fail "second start failed: $(cat "$scratch/second.out")"
grep -qx 'splash FALSE' "$scratch/second.out" || fail "the Options change was lost: $(cat "$scratch/second.out")"
expect_page "$scratch/second.out"

# 3. The installed program itself writes its settings there too on its first start.
home2="$scratch/home2"
new_home "$home2"
run "$home2" timeout -s KILL 2 "$prefix/bin/norvale3" > /dev/null 2>&1 || true
[ -f "$home2/.config/norvale/config.ini" ] || fail "norvale3 wrote no config.ini in the user's directory"

# 4. Uninstall: the registrations go, then every installed file.
chmod u+w "$prefix/bin"
rm -f "$prefix/bin/norvale3-standin"
"$cmake" -DNORVALE_MANIFEST="$build/install_manifest.txt" -DNORVALE_RECORD="$build/install_registered.txt" \
    -P "$source/cmake/uninstall.cmake" > "$scratch/uninstall.log" ||
    fail "uninstall failed: $(cat "$scratch/uninstall.log")"
left=$(find "$prefix" -type f)
[ -z "$left" ] || fail "left after uninstall: $left"
! grep -rqF "$prefix" "$NORVALE_REGISTRY_DIR" || fail "registrations left after uninstall"

# 5. A copy of the build tree's program (the program, its class list and the
#    modules, as laid out there) renders pages with an empty store and writes
#    nothing into its user's home but what it was asked to keep.
copy="$scratch/copy"
mkdir -p "$copy/bin" "$copy/lib"
cp -r "$build/lib/norvale" "$copy/lib/norvale"
cp "$standin" "$copy/bin/norvale3"
cp "$build/bin/norvale3.manifest" "$copy/bin/norvale3.manifest"
chmod -R a+rX "$copy"
[ "$(id -u)" -ne 0 ] || chown 65534:65534 "$copy/bin"
rm -rf "$NORVALE_REGISTRY_DIR" && mkdir -p "$NORVALE_REGISTRY_DIR" && chmod 777 "$NORVALE_REGISTRY_DIR"
home3="$scratch/home3"
new_home "$home3"
run "$home3" "$copy/bin/norvale3" "$sample" > "$scratch/copy.out" 2>&1 ||
    fail "the build tree's program failed: $(cat "$scratch/copy.out")"
expect_page "$scratch/copy.out"
grep -qx "config $copy/bin/config.ini" "$scratch/copy.out" || fail "config.ini not beside the copy"
[ -z "$(ls -A "$home3")" ] || fail "the build tree's program wrote into its home: $(ls -A "$home3")"
[ -z "$(ls -A "$NORVALE_REGISTRY_DIR")" ] || fail "the build tree's program touched the store"
echo "ok"
