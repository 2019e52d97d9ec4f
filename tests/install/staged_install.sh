#!/bin/sh
# A staged install puts the program, its desktop entry, icons, modules,
# manual pages and AppStream data in place under /usr, leaves the build
# tree's manifest out and registers nothing.
#   staged_install.sh CMAKE BUILD_DIR BINDIR DATADIR MODULEDIR MANDIR
set -eu
. "$(dirname "$0")/install_helpers.sh"
stage "$1" "$2" install-stage
usr=$stage/usr
[ -x "$usr/$3/norvale3" ] || fail "no program $usr/$3/norvale3"
for f in "$4/applications/norvale3.desktop" "$4/icons/hicolor/32x32/apps/norvale3.png" \
    "$4/icons/hicolor/256x256/apps/norvale3.png" "$4/metainfo/org.norvale.norvale3.metainfo.xml" \
    "$5/nvdigits10.so" "$5/nvtext12.so" "$6/man1/norvale3.1" "$6/man1/norvale-reg.1"; do
    [ -f "$usr/$f" ] || fail "not installed: /usr/$f"
done
[ ! -e "$usr/$3/norvale3.manifest" ] || fail "the build tree's manifest was installed"
[ ! -e "$stage/store" ] || fail "a staged install wrote the registry store"
