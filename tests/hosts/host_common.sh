# Shared by the host tests: a plain user, an X server, screenshots.
# The hosts launch no hack for root, so a root session runs them as a user made for the
# tests; any other user runs them as itself.

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

TEST_USER=frostvale-test
if [[ $(id -u) -eq 0 ]]; then
  id "$TEST_USER" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$TEST_USER" ||
    skip "cannot create the user $TEST_USER"
  as_user() { runuser -u "$TEST_USER" -- env HOME="$(getent passwd "$TEST_USER" | cut -d: -f6)" "$@"; }
  USER_HOME=$(getent passwd "$TEST_USER" | cut -d: -f6)
else
  as_user() { "$@"; }
  USER_HOME=$HOME
fi

# WORK: a folder the user can write; removed at the end with every process started here.
WORK=$(mktemp -d /tmp/frostvale-host.XXXXXX)
chmod 0777 "$WORK"
PIDS=()
# spawn LOG COMMAND…: runs COMMAND as the test's user in the background, output to LOG,
# and remembers the pid of COMMAND itself (not of the runuser around it). With BUS=1 the
# command runs inside a session bus of its own, which ends with it.
spawn() {
  local log=$1 pidfile
  shift
  pidfile=$(mktemp "$WORK/pid.XXXXXX")
  chmod 0666 "$pidfile"
  local bus=()
  [[ -n "${BUS:-}" ]] && bus=(dbus-run-session --)
  as_user "${bus[@]}" sh -c 'echo $$ >"$0"; shift; exec "$@"' "$pidfile" - "$@" >"$log" 2>&1 &
  local i
  for i in $(seq 1 50); do
    [[ -s "$pidfile" ]] && break
    sleep 0.1
  done
  PIDS+=("$(cat "$pidfile")")
}
cleanup() {
  local pid
  # Newest first: the hosts end their hacks, the X server goes last.
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null; done
  sleep 1
  for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
  [[ -n "${KEEP:-}" ]] || rm -rf "$WORK"
}
trap cleanup EXIT

# Starts Xvfb with GLX on a free display number (screen size $1, default 1280x720); sets DISPLAY.
start_x() {
  local size=${1:-1280x720}
  command -v Xvfb >/dev/null || skip "Xvfb is not installed"
  local n
  for n in $(seq 140 199); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    spawn "$WORK/xvfb.log" Xvfb ":$n" -screen 0 "${size}x24" +extension GLX -nolisten tcp
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      as_user xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    skip "Xvfb did not start: $(tail -1 "$WORK/xvfb.log")"
  done
  skip "no free X display number"
}

RUN_UID=$(as_user id -u)
# The frostvale processes of the test user ($FROSTVALE: the program's path, or HACK_PATTERN).
hack_pids() { pgrep -u "$RUN_UID" -f "${HACK_PATTERN:-^$FROSTVALE( |$)}" || true; }

# Waits up to $2 tenths of a second for condition $1 (a command) to hold.
wait_for() {
  local i
  for i in $(seq 1 "$2"); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

# Mean brightness (0 … 1) and the standard deviation of a screenshot of the root window.
# screenshot FILE [WINDOW]: FILE is written by the test's user into WORK, then copied.
screenshot() {
  local shot
  shot="$WORK/$(basename "$1")"
  as_user import -window "${2:-root}" "$shot" 2>/dev/null || return 1
  cp "$shot" "$1" || return 1
  convert "$1" -colorspace Gray -format "%[fx:mean] %[fx:standard_deviation]\n" info:
}

# The village is neither black nor one flat colour (a fade at a path end darkens it).
looks_like_village() {
  awk -v m="$1" -v s="$2" 'BEGIN { exit !(m > 0.08 && s > 0.015) }'
}
