#!/usr/bin/env bash
# scripts/setup.sh against apt's locks: it waits while another run holds one, says so once and goes
# on; it gives up when its time is up; apt's other failures stop it with apt's own message. apt is a
# stub and the locks are files in a scratch folder, so the package database is never touched.
set -uo pipefail
setup="$(cd "$(dirname "$0")/../.." && pwd)/scripts/setup.sh"
work=$(mktemp -d)
holder=
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
lock=$work/lock-frontend
other=$work/lists-lock
touch "$lock" "$other"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The stub notes each call and whether the holder was still alive; STUB_SCRIPT lists, per call,
# "ok" or an exit code and a message for stderr.
cat >"$work/apt-get" <<'EOF'
#!/usr/bin/env bash
n=1
[ -f "$STUB_DIR/calls" ] && n=$(( $(wc -l <"$STUB_DIR/calls") + 1 ))
alive=dead
[ -n "${HOLDER_PID:-}" ] && kill -0 "$HOLDER_PID" 2>/dev/null && alive=alive
echo "$1 $alive" >>"$STUB_DIR/calls"
step=$(sed -n "${n}p" "$STUB_DIR/script" 2>/dev/null)
if [ -n "$step" ] && [ "$step" != ok ]; then
  echo "${step#* }" >&2
  exit "${step%% *}"
fi
exit 0
EOF
chmod +x "$work/apt-get"

# Holds the given lock file for the given seconds in the background, the way named; returns once held.
hold() {
  local kind=$1 file=$2 seconds=$3
  rm -f "$work/ready"
  case $kind in
    flock) flock -o "$file" bash -c "touch '$work/ready'; sleep $seconds" & ;;
    fcntl) python3 -c 'import fcntl, sys, time
f = open(sys.argv[1], "w"); fcntl.lockf(f, fcntl.LOCK_EX)
open(sys.argv[2], "w").close(); time.sleep(float(sys.argv[3]))' "$file" "$work/ready" "$seconds" & ;;
  esac
  holder=$!
  for _ in $(seq 100); do [ -e "$work/ready" ] && return 0; sleep 0.05; done
  fail "$kind holder never took $file"
}

# Runs setup.sh with one package to install; sets code, out (stdout + stderr) and calls.
runSetup() {
  rm -f "$work/calls"
  code=0
  out=$(STUB_DIR=$work HOLDER_PID=$holder ORVELLA_APT_GET="$work/apt-get" \
    ORVELLA_APT_LOCKS="$lock $other" ORVELLA_EXTRA_PACKAGES=${EXTRA-orvella-test-package} \
    bash "$setup" 2>&1) || code=$?
  calls=$(cat "$work/calls" 2>/dev/null)
}

count() { grep -c -- "$1" <<<"$out"; }

# 1. A lock held a few seconds, by either kind of lock and on either file: one note, then apt
#    runs once the holder is gone.
kinds=(flock)
if command -v python3 >/dev/null 2>&1; then kinds+=(fcntl); else echo "note: python3 missing, fcntl holder left out"; fi
for kind in "${kinds[@]}"; do
  for file in "$lock" "$other"; do
    : >"$work/script"
    hold "$kind" "$file" 2
    start=$SECONDS
    runSetup
    what="$kind on $(basename "$file")"
    [ $code -eq 0 ] || fail "$what: exit $code: $out"
    [ "$(count 'waiting up to')" -eq 1 ] || fail "$what: the wait is not announced exactly once: $out"
    grep -q "holds $file" <<<"$out" || fail "$what: the note does not name the lock: $out"
    [ "$calls" = $'update dead\ninstall dead' ] || fail "$what: apt ran while the lock was held: $calls"
    [ $((SECONDS - start)) -ge 1 ] || fail "$what: setup did not wait"
    wait "$holder"; holder=
  done
done

# 2. A lock held past the wait: setup gives up with a message and never calls apt.
hold flock "$lock" 10
ORVELLA_APT_WAIT=1 runSetup
[ $code -eq 1 ] || fail "time up: exit $code, expected 1"
grep -q "still held" <<<"$out" || fail "time up: no message: $out"
[ -z "$calls" ] || fail "time up: apt was called: $calls"
kill "$holder"; wait "$holder" 2>/dev/null; holder=

# 3. apt's own failures stop setup with apt's message and status, without any wait.
printf '%s\n' ok "100 E: Unable to locate package orvella-test-package" >"$work/script"
runSetup
[ $code -eq 100 ] || fail "apt failure: exit $code, expected 100"
grep -q "E: Unable to locate package orvella-test-package" <<<"$out" || fail "apt failure: apt's message lost: $out"
grep -q "waiting" <<<"$out" && fail "apt failure: taken for a lock: $out"

# 4. A lock taken between the wait and apt's start: apt names it, setup waits and tries again.
printf '%s\n' "100 E: Could not get lock $lock. It is held by process 1 (apt-get)" ok ok >"$work/script"
runSetup
[ $code -eq 0 ] || fail "late lock: exit $code: $out"
[ "$(printf '%s\n' "$calls" | cut -d' ' -f1 | tr '\n' ' ')" = "update update install " ] ||
  fail "late lock: calls were $calls"
[ "$(count 'waiting for it')" -eq 1 ] || fail "late lock: no single note: $out"
grep -q "Could not get lock" <<<"$out" && fail "late lock: apt's lock message shown as a failure: $out"

# 5. Nothing to install: apt is never called, even with a lock held.
hold flock "$lock" 3
EXTRA= runSetup
if grep -q '^install' <<<"$calls"; then
  echo "note: this machine lacks some of Orvella's packages; the nothing-to-do case is left out"
else
  [ $code -eq 0 ] && [ -z "$calls" ] && [ -z "$out" ] || fail "nothing to do: exit $code, calls '$calls', output '$out'"
fi
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; holder=

[ $failures -eq 0 ] && echo "setup lock tests: all passed"
exit $((failures > 0))
