#!/usr/bin/env bash
# mate-screensaver runs the installed screensaver entry: --activate shows the village,
# --deactivate ends frostvale in order within the bound.
# Usage: mate_screensaver_test.sh BUILD_DIR OUTDIR END_TENTHS
set -uo pipefail
BUILD=$1
OUT=$2
END_TENTHS=$3
SRC=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/host_common.sh"
command -v mate-screensaver >/dev/null || skip "mate-screensaver is not installed"
mkdir -p "$OUT"

# The installed files, found the way a desktop finds them: entries through XDG_DATA_DIRS.
# mate-screensaver runs only hacks in XScreenSaver's folder, so the link the package installs
# there is made for the test (as root), unless one is there already.
make -s -C "$SRC" install-files BUILD_DIR="$BUILD" DESTDIR="$WORK/root" PREFIX=/usr >/dev/null || fail "install failed"
chmod -R a+rX "$WORK/root"
HACK_LINK=/usr/libexec/xscreensaver/frostvale
if [[ -e "$HACK_LINK" || -L "$HACK_LINK" ]]; then
  skip "$HACK_LINK exists (an installed frostvale); remove it to test this build"
fi
[[ $(id -u) -eq 0 && -d /usr/libexec/xscreensaver ]] || skip "needs root to place $HACK_LINK"
ln -s "$WORK/root/usr/bin/frostvale" "$HACK_LINK"
trap 'rm -f "$HACK_LINK"; cleanup' EXIT
HACK_PATTERN="^(\S*/)?frostvale --root"
start_x

# Everything of the session shares one session bus (settings live in dconf behind it).
cat >"$WORK/session.sh" <<'SESSION'
set -u
WORK=$1
THEME=${2:-}
export PATH="$WORK/root/usr/bin:$PATH" XDG_DATA_DIRS="$WORK/root/usr/share:/usr/share"
# (XDG_CONFIG_HOME stays the user's: dconf's service, started by the bus, writes there.)
export TMPDIR="$WORK/tmp"
mkdir -p "$TMPDIR"
gsettings set org.mate.screensaver mode single
gsettings set org.mate.screensaver themes "['${THEME:-screensavers-frostvale}']"
gsettings set org.mate.screensaver lock-enabled false
mate-screensaver --no-daemon --debug >"$WORK/daemon.log" 2>&1 &
daemon=$!
for _ in $(seq 1 100); do mate-screensaver-command --query >/dev/null 2>&1 && break; sleep 0.1; done
mate-screensaver-command --activate
echo activated >"$WORK/state"
# The outer test says when to deactivate.
while [[ ! -e "$WORK/deactivate" ]]; do sleep 0.1; done
mate-screensaver-command --deactivate
echo deactivated >"$WORK/state"
while [[ ! -e "$WORK/done" ]]; do sleep 0.1; done
kill "$daemon"
wait "$daemon"
SESSION
chmod 0644 "$WORK/session.sh"
BUS=1 spawn "$WORK/session.out" bash "$WORK/session.sh" "$WORK" "${THEME:-}"

wait_for '[[ "$(cat "$WORK/state" 2>/dev/null)" == activated ]]' 200 || fail "mate-screensaver did not activate: $(tail -3 "$WORK/session.out" "$WORK/daemon.log")"
wait_for '[[ -n "$(hack_pids)" ]]' 100 || fail "mate-screensaver started no frostvale: $(grep -i -E "frostvale|theme|error" "$WORK/daemon.log" | tail -5)"
# The hack's start-up is slow in sanitizer builds: look again until the village shows.
shown=
for _ in $(seq 1 60); do
  read -r mean deviation < <(screenshot "$OUT/mate_activate.png") || fail "no screenshot"
  if looks_like_village "$mean" "$deviation"; then shown=1; break; fi
  sleep 5
done
echo "screenshot $OUT/mate_activate.png: mean $mean, deviation $deviation"
[[ -n "$shown" ]] || fail "mate-screensaver's window does not show the village"

touch "$WORK/deactivate"
wait_for '[[ "$(cat "$WORK/state" 2>/dev/null)" == deactivated ]]' 50 || fail "--deactivate did not return"
wait_for '[[ -z "$(hack_pids)" ]]' "$END_TENTHS" || fail "frostvale still runs $END_TENTHS tenths of a second after --deactivate"
touch "$WORK/done"
echo PASS
