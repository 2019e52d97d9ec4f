# Sourced by the scripts in this folder: makes sure the Debian packages a
# step needs are installed. What building and testing need is listed once,
# as the Build-Depends of debian/control (what only the tests and benchmarks
# need is marked <!nocheck>); a script names only what it needs beyond that.
# As root it installs what is missing with apt-get; otherwise it prints the
# one line to run and stops.

norvale_missing_packages() {
    local missing="" p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    echo "${missing# }"
}

# norvale_need_packages [--build-deps[=PROFILE]] [PACKAGE...]: installs
# what is missing of the build dependencies (those of the build profile
# PROFILE, such as nocheck, when one is given) and of the PACKAGEs, or
# explains how.
norvale_need_packages() {
    local build=no profile="" unmet="" missing line
    case "${1:-}" in
    --build-deps) build=yes; shift ;;
    --build-deps=*) build=yes; profile=${1#*=}; shift ;;
    esac
    local -a profile_args=()
    [ -z "$profile" ] || profile_args=(-P "$profile")
    if [ "$build" = yes ]; then
        # dpkg-checkbuilddeps comes with dpkg-dev, which a fresh system may
        # lack; apt-get build-dep brings it along with build-essential.
        if ! command -v dpkg-checkbuilddeps >/dev/null 2>&1; then
            unmet="dpkg-dev is missing, which checks the build dependencies"
        elif unmet=$(cd "$NORVALE_ROOT" && dpkg-checkbuilddeps "${profile_args[@]}" 2>&1); then
            build=no
        else
            unmet="These build dependencies are missing: ${unmet#*: Unmet build dependencies: }"
        fi
    fi
    missing=$(norvale_missing_packages "$@")
    [ "$build" = no ] && [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        if [ -z "${NORVALE_APT_UPDATED:-}" ]; then
            apt-get update -q || return 1
            NORVALE_APT_UPDATED=1
        fi
        export DEBIAN_FRONTEND=noninteractive
        if [ "$build" = yes ]; then
            echo "$unmet; installing them${profile:+ (build profile $profile)}"
            apt-get build-dep -y -q --no-install-recommends "${profile_args[@]}" "$NORVALE_ROOT" ||
                return 1
        fi
        if [ -n "$missing" ]; then
            echo "Installing Debian packages: $missing"
            apt-get install -y -q --no-install-recommends $missing || return 1
        fi
    else
        line="sudo apt-get update"
        if [ "$build" = yes ]; then
            echo "$unmet"
            line="$line && sudo apt-get build-dep -y ${profile:+-P $profile }$(printf '%q' "$NORVALE_ROOT")"
        fi
        if [ -n "$missing" ]; then
            echo "These Debian packages are missing: $missing"
            line="$line && sudo apt-get install -y $missing"
        fi
        echo "Install what is missing with this one line, then run this command again:"
        echo
        echo "    $line"
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
