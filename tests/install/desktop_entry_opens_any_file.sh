#!/bin/sh
# The installed desktop entry offers the program for any file: with the
# prefix's share among the data folders and its bin on the path (an entry
# whose program is not found is left out), the desktop database made there
# lists it for the type every file has.
#   desktop_entry_opens_any_file.sh CMAKE BUILD_DIR BINDIR DATADIR
set -eu
. "$(dirname "$0")/install_helpers.sh"
need update-desktop-database desktop-file-utils
need gio libglib2.0-bin
stage "$1" "$2" install-mime
share=$stage/usr/$4
update-desktop-database "$share/applications"
PATH="$stage/usr/$3:$PATH" XDG_DATA_DIRS="$share" XDG_DATA_HOME="$stage/home" \
    gio mime application/octet-stream >"$stage/mime"
grep -q 'norvale3\.desktop' "$stage/mime" ||
    fail "gio mime does not offer norvale3.desktop for any file: $(cat "$stage/mime")"
