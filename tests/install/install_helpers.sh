# Sourced by the install tests' scripts.

fail() {
    echo "$*" >&2
    exit 1
}

# need PROGRAM PACKAGE: fails the test, naming the Debian package to
# install, when PROGRAM is not on the path. The tests are registered whether
# or not it is there, so that every build lists and runs the same ones.
need() {
    command -v "$1" >/dev/null 2>&1 ||
        fail "This test needs $1: install the Debian package $2 (sudo apt-get install $2)."
}

# stage CMAKE BUILD_DIR NAME: installs the build into a new scratch folder
# $stage (below BUILD_DIR/test-scratch, removed on exit) with DESTDIR, so
# nothing is registered: the store it is given, $stage/store, stays unmade.
stage() {
    mkdir -p "$2/test-scratch"
    stage=$(mktemp -d "$2/test-scratch/$3-XXXXXX")
    trap 'rm -rf "$stage"' EXIT
    NORVALE_REGISTRY_DIR="$stage/store" DESTDIR="$stage" "$1" --install "$2" --prefix /usr >/dev/null
}
