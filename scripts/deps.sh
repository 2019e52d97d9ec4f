# Sourced by the scripts in this folder: makes sure the Debian packages a
# step needs are present. As root it installs what is missing with apt-get;
# otherwise it prints the one line to run and stops.

# Packages every build needs.
NORVALE_BUILD_PACKAGES="cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev"

norvale_missing_packages() {
    local missing="" p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    echo "${missing# }"
}

# norvale_need_packages PKG...: installs the missing ones or explains how.
norvale_need_packages() {
    local missing
    missing=$(norvale_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing Debian packages: $missing"
        if [ -z "${NORVALE_APT_UPDATED:-}" ]; then
            apt-get update -q || return 1
            NORVALE_APT_UPDATED=1
        fi
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing || return 1
    else
        echo "These Debian packages are missing: $missing"
        echo "Install them with this one line, then run this command again:"
        echo
        echo "    sudo apt-get update && sudo apt-get install -y $missing"
        echo
        exit 1
    fi
}

# norvale_build DIR [CMAKE-ARGUMENT...] [-- TARGET...]: configures the tree
# in DIR with the CMake arguments, then builds the targets named after "--"
# (everything when none are named).
norvale_build() {
    local dir="$1" arg
    local -a args=() targets=()
    shift
    while [ $# -gt 0 ]; do
        arg="$1"
        shift
        if [ "$arg" = -- ]; then
            targets=("$@")
            break
        fi
        args+=("$arg")
    done
    set -- "${args[@]}"
    # Rebuilds are much cheaper with ccache; it is used only where present.
    if command -v ccache >/dev/null 2>&1; then
        set -- -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
    fi
    cmake -S "$NORVALE_ROOT" -B "$dir" "$@" || return 1
    cmake --build "$dir" -j "$(nproc)" ${targets[@]+--target "${targets[@]}"} || return 1
}
