#!/usr/bin/env bash
# make install DESTDIR=… lays out exactly the installed files, with the hack a link to the
# program; make uninstall takes them all away again.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
SRC=$1
BUILD=$2
fail() { echo "FAIL: $*"; exit 1; }
DEST=$(mktemp -d /tmp/frostvale-install.XXXXXX)
trap 'rm -rf "$DEST"' EXIT

make -s -C "$SRC" install-files uninstall BUILD_DIR="$BUILD" DESTDIR="$DEST" PREFIX=/usr >/dev/null ||
  fail "install or uninstall failed"
left=$(find "$DEST" -mindepth 1 ! -type d)
[[ -z "$left" ]] || fail "uninstall left: $left"

make -s -C "$SRC" install-files BUILD_DIR="$BUILD" DESTDIR="$DEST" PREFIX=/usr >/dev/null || fail "install failed"
expected="usr/bin/frostvale
usr/libexec/xscreensaver/frostvale
usr/share/applications/frostvale-settings.desktop
usr/share/applications/screensavers/frostvale.desktop
usr/share/icons/hicolor/128x128/apps/frostvale.png
usr/share/man/man6/frostvale.6
usr/share/xscreensaver/config/frostvale.xml"
actual=$(cd "$DEST" && find . ! -type d | sed 's|^\./||' | sort)
[[ "$actual" == "$expected" ]] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual"))"
[[ $(readlink "$DEST/usr/libexec/xscreensaver/frostvale") == ../../bin/frostvale ]] || fail "the hack is not a link to the program"
[[ -x "$DEST/usr/libexec/xscreensaver/frostvale" ]] || fail "the hack link does not reach the program"
grep -q '^Exec=frostvale --root$' "$DEST/usr/share/applications/screensavers/frostvale.desktop" || fail "screensaver entry"
grep -q '^Exec=frostvale /c$' "$DEST/usr/share/applications/frostvale-settings.desktop" || fail "settings entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$DEST/usr/share/applications/frostvale-settings.desktop" || fail "settings entry invalid"
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$DEST/usr/share/xscreensaver/config/frostvale.xml" || fail "the XScreenSaver description is not well-formed"
fi
make -s -C "$SRC" uninstall BUILD_DIR="$BUILD" DESTDIR="$DEST" PREFIX=/usr >/dev/null || fail "uninstall failed"
left=$(find "$DEST" -mindepth 1 ! -type d)
[[ -z "$left" ]] || fail "uninstall left: $left"
echo PASS
