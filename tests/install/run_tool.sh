#!/bin/sh
# Runs a program from a Debian package, such as a validator, with its
# arguments; without the program the test fails and names the package.
#   run_tool.sh PACKAGE PROGRAM [ARGUMENT...]
set -eu
. "$(dirname "$0")/install_helpers.sh"
need "$2" "$1"
shift
exec "$@"
