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

# The installed files, found the way a desktop finds them.
make -s -C "$SRC" install-files BUILD_DIR="$BUILD" DESTDIR="$WORK/root" PREFIX=/usr >/dev/null || fail "install failed"
chmod -R a+rX "$WORK/root"
FROSTVALE=$WORK/root/usr/bin/frostvale
start_x

# Everything of the session shares one session bus (settings live in dconf behind it).
cat >"$WORK/session.sh" <<'SESSION'
set -u
WORK=$1
export PATH="$WORK/root/usr/bin:$PATH" XDG_DATA_DIRS="$WORK/root/usr/share:/usr/share"
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache" TMPDIR="$WORK/tmp"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$TMPDIR"
gsettings set org.mate.screensaver mode single
gsettings set org.mate.screensaver themes "['screensavers-frostvale']"
gsettings set org.mate.screensaver lock-enabled false
# The hack's log, through the settings options of the entry's command line.
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
BUS=1 spawn "$WORK/session.out" bash "$WORK/session.sh" "$WORK"

wait_for '[[ "$(cat "$WORK/state" 2>/dev/null)" == activated ]]' 200 || fail "mate-screensaver did not activate: $(tail -3 "$WORK/session.out" "$WORK/daemon.log")"
wait_for '[[ -n "$(hack_pids)" ]]' 100 || fail "mate-screensaver started no frostvale: $(grep -i -E "frostvale|theme|error" "$WORK/daemon.log" | tail -5)"
# Started up when it has drawn for a while: the snow renderer is the last start-up step.
sleep 3
pid=$(hack_pids | head -1)
wait_for '[[ $(ps -o time= -p "$pid" | tr -d :) -gt 0 ]]' 3000 || true
sleep 12
read -r mean deviation < <(screenshot "$OUT/mate_activate.png") || fail "no screenshot"
echo "screenshot $OUT/mate_activate.png: mean $mean, deviation $deviation"
looks_like_village "$mean" "$deviation" || fail "mate-screensaver's window does not show the village"

touch "$WORK/deactivate"
wait_for '[[ "$(cat "$WORK/state" 2>/dev/null)" == deactivated ]]' 50 || fail "--deactivate did not return"
wait_for '[[ -z "$(hack_pids)" ]]' "$END_TENTHS" || fail "frostvale still runs $END_TENTHS tenths of a second after --deactivate"
[[ -z "$(ls -A "$WORK/tmp")" ]] || fail "frostvale left temporary files: $(ls "$WORK/tmp")"
touch "$WORK/done"
echo PASS
