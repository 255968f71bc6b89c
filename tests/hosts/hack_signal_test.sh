#!/usr/bin/env bash
# A hack-mode run under Xvfb ends on SIGTERM within the bound, in order (log closed, no
# temporary file left behind), and dies by that signal; a SIGSTOP of STOP seconds followed
# by SIGCONT leaves no burst of snow.
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
    '"$@"; echo $? >"$0"' "$WORK/$1.status" "$FROSTVALE" --root --log "$WORK/$1.log" --stats "$WORK/$1.json"
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
  [[ -z "$(ls -A "$WORK/tmp")" ]] || fail "$1 left temporary files: $(ls "$WORK/tmp")"
}

# As long on screen as the paused run, so both build up the same amount of snow.
run plain
sleep 8
ends_by_sigterm plain

run paused
sleep 4
kill -STOP "$hack"
sleep "$STOP"
kill -CONT "$hack"
sleep 4
ends_by_sigterm paused
python3 - "$WORK/paused.json" "$WORK/plain.json" <<'PY' || fail "snow burst after the pause"
import json, sys
paused, plain = (json.load(open(p)) for p in sys.argv[1:3])
print("flakes max: paused %d, plain %d" % (paused["flakes"]["max"], plain["flakes"]["max"]))
# Snow keeps falling at its steady rate: a burst would fill the scene with the maximum at once.
sys.exit(0 if paused["flakes"]["max"] <= plain["flakes"]["max"] * 1.25 + 50 else 1)
PY
echo "PASS"
