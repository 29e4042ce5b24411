# Helpers shared by the end-to-end scripts; sourced, not run. Each script runs the real program
# from a copy in a folder of its own, with a home folder, a runtime folder (where the
# single-instance lock lives) and an API port of its own, so that several scripts can run at
# once under their own X servers. Every process started through here is killed on exit.

kavio_bin=$1
kavioctl_bin=$2
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
app="$work/app"
home="$work/home"
personal="$home/Documents/Kavio"
started_pids=()

cleanup() {
  local pid
  for pid in "${started_pids[@]}"; do
    { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -s "$work/kavio.log" ]; then
    echo "--- output of kavio:"
    tail -n 40 "$work/kavio.log"
  fi
  exit 1
}

# A port the API may use: the settings accept 1024..32767, below the system's ephemeral range,
# so a free one is picked at random from that range rather than by binding port 0.
pick_free_port() {
  python3 - <<'EOF'
import random, socket
for _ in range(200):
    port = random.randint(10000, 32767)
    s = socket.socket()
    try:
        s.bind(("0.0.0.0", port))
    except OSError:
        continue
    finally:
        s.close()
    print(port)
    break
else:
    raise SystemExit("no free port")
EOF
}

# A fresh installation: the program copied, an empty personal folder whose settings file names
# only the API port.
prepare_installation() {
  mkdir -p "$app" "$personal" "$work/run"
  chmod 700 "$work/run"
  cp "$kavio_bin" "$app/kavio"
  port=$(pick_free_port)
  printf '[KavioAPI]\r\nPortNumber=%s\r\n' "$port" > "$personal/Kavio.ini"
}

# Starts the copy with a clean environment; the process id is left in $last_pid.
start_kavio() {
  env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" HOME="$home" \
    USER="$(id -un)" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
    "$app/kavio" >>"$work/kavio.log" 2>&1 &
  last_pid=$!
  started_pids+=("$last_pid")
}

# A request through kavioctl; a program that accepts but never answers fails it in 10 s.
ctl() {
  timeout 10 "$kavioctl_bin" --port "$port" "$@"
}

# Whether the process runs (a zombie that is not yet waited for does not).
alive() {
  [ -e "/proc/$1" ] && ! grep -q '^[0-9]* (.*) Z' "/proc/$1/stat" 2>/dev/null
}

# Waits until the API answers Noop; the program has then finished starting.
wait_for_api() {
  local pid=$1
  for _ in $(seq 1 150); do
    alive "$pid" || fail "kavio (pid $pid) ended during start-up"
    [ "$(ctl Noop 2>/dev/null)" = "Successed" ] && return 0
    sleep 0.1
  done
  fail "the API on port $port did not answer Noop within 15 s"
}

# Prints the id of a viewable window of process $1 named $2, waiting up to $3 tenths of a
# second; prints nothing when none appears. xdotool's name search does not match multibyte
# titles in every locale, so the names of the process's own windows are compared instead.
find_window() {
  local pid=$1 name=$2 tries=${3:-100} w
  for _ in $(seq 1 "$tries"); do
    for w in $(xdotool search --pid "$pid" 2>/dev/null || true); do
      if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$name" ] &&
         xwininfo -id "$w" 2>/dev/null | grep -q 'IsViewable'; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
  done
}

# Ends process $1 with SIGTERM as the desktop would and requires a clean exit within 10 s.
terminate_kavio() {
  local pid=$1 status=0
  kill -TERM "$pid"
  for _ in $(seq 1 100); do
    alive "$pid" || break
    sleep 0.1
  done
  alive "$pid" && fail "kavio (pid $pid) did not end within 10 s of SIGTERM"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "kavio ended with status $status after SIGTERM"
}

# The bytes of a page or book file after its "[EOH]" line.
file_body() {
  python3 - "$1" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
head, sep, body = data.partition(b"\r\n[EOH]\r\n")
if not sep:
    raise SystemExit(f"{sys.argv[1]}: no [EOH] line")
sys.stdout.buffer.write(body)
EOF
}

# A fingerprint of every file in the personal folder: names, sizes and contents.
personal_fingerprint() {
  (cd "$personal" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
}

# The one file in the personal folder matching the pattern $1; fails unless there is exactly one.
only_file() {
  local found=("$personal"/$1)
  [ "${#found[@]}" -eq 1 ] && [ -e "${found[0]}" ] ||
    fail "expected exactly one $1 in the personal folder, found: $(ls "$personal")"
  echo "${found[0]}"
}
