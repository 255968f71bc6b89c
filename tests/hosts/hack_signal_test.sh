#!/usr/bin/env bash
# A hack-mode run under Xvfb ends on SIGTERM within the bound, in order (log closed, no
# temporary file left behind), and dies by that signal; a SIGSTOP of STOP seconds followed
# by SIGCONT leaves no burst of snow: the stopped time spawns nothing.
# Usage: hack_signal_test.sh FROSTVALE END_MS STOP_SECONDS
set -uo pipefail
FROSTVALE=$1
END_MS=$2
STOP=$3
. "$(dirname "$0")/host_common.sh"
# A small screen: the end waits for the frame in flight, whose cost grows with its pixels.
start_x 640x360
root=$(as_user xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
[[ -n "$root" ]] || fail "no root window id"
mkdir -p "$WORK/tmp" && chmod 0777 "$WORK/tmp"

# run NAME: starts a hack-mode run into the root window, with its log and stats.
run() {
  # A shell around the program keeps its exit status.
  BUS=1 spawn "$WORK/$1.out" env TMPDIR="$WORK/tmp" XSCREENSAVER_WINDOW="$root" sh -c \
    '"$@"; echo $? >"$0"' "$WORK/$1.status" "$FROSTVALE" --root --snow small --path frostvalen01.cam \
    --log "$WORK/$1.log" --stats "$WORK/$1.json"
  wait_for 'hack=$(pgrep -P "${PIDS[-1]}")' 50 || fail "$1 did not start"
  log="$WORK/$1.log"
  wait_for 'grep -q "Snow renderer created" "$log" 2>/dev/null' 3000 || fail "$1 did not start: $(cat "$WORK/$1.out")"
}

# ends_by_sigterm: sends SIGTERM, waits, checks the end.
ends_by_sigterm() {
  local start end
  start=$(date +%s%N)
  kill -TERM "$hack"
  # Its shell reaps it at once, so the pid is gone when the process is.
  while kill -0 "$hack" 2>/dev/null; do sleep 0.005; done
  end=$(date +%s%N)
  local ms=$(((end - start) / 1000000))
  echo "$1: ended $ms ms after SIGTERM"
  ((ms <= END_MS)) || fail "$1 ended $ms ms after SIGTERM, more than $END_MS"
  grep -q "Log closed" "$WORK/$1.log" || fail "$1 did not shut down in order"
  status="$WORK/$1.status"
  wait_for '[[ -s "$status" ]]' 50 || fail "$1: no exit status"
  [[ $(cat "$status") -eq 143 ]] || fail "$1 ended with status $(cat "$status"), not by SIGTERM"
  # Our files begin with "bas"; the sound server's client may keep a folder of its own there.
  ! compgen -G "$WORK/tmp/bas*" >/dev/null || fail "$1 left temporary files: $(ls "$WORK/tmp")"
}

run plain
sleep 3
ends_by_sigterm plain

# Small snow holds at most 1000 flakes and spawns 200 a second from 100 at the start: the
# 3 s this run is drawn reach about 700, while a burst for the stopped time would pass 1000.
run paused
sleep 2
kill -STOP "$hack"
sleep "$STOP"
kill -CONT "$hack"
sleep 1
ends_by_sigterm paused
python3 - "$WORK/paused.json" <<'PY' || fail "snow burst after the pause"
import json, sys
flakes = json.load(open(sys.argv[1]))["flakes"]["max"]
print("flakes max after the pause: %d (a burst: 1000 or more)" % flakes)
sys.exit(0 if flakes < 1000 else 1)
PY
echo "PASS"
