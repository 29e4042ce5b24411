#!/usr/bin/env bash
# Runs the real program as a user would, from a copy in a folder of its own, with a home folder
# of its own, under the X server that xvfb-run gave this script.
set -euo pipefail
kavio_bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work/app" "$work/home/Documents"
cp "$kavio_bin" "$work/app/kavio"
mkdir -p "$work/run" && chmod 700 "$work/run"
# A runtime folder of its own: the single-instance lock of another running copy is not ours.
run() { exec env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" USER="$(id -un)" "$@"; }

# First start: the personal folder is made in the documents folder, the scheme folder beside the
# program; the window runs until it is told to end, and then ends well.
mkdir -p "$work/home/Documents/Kavio"
printf '[KavioAPI]\r\nAcceptAPI=0\r\n' > "$work/home/Documents/Kavio/Kavio.ini"
run "$work/app/kavio" & pid=$!
for _ in $(seq 1 300); do
  [ -e "$work/home/Documents/Kavio/BookFileList.lst" ] && break
  sleep 0.1
done
[ -e "$work/home/Documents/Kavio/BookFileList.lst" ] || { kill "$pid"; fail "no library written"; }
[ -d "$work/app/scheme" ] || { kill "$pid"; fail "scheme folder not created"; }
kill -TERM "$pid"
wait "$pid" || fail "first start exited with $?"

# A location entry whose parent folder does not exist: the error box appears, the program ends
# with a failure once it is closed, and nothing is created.
printf '[PersonalDirectory]\r\n%s=%%PROFILE%%/missing/Notes\r\n' "$(id -un)" > "$work/app/Kavio.ini"
run "$work/app/kavio" & pid=$!
win=""
for _ in $(seq 1 300); do
  # xdotool's name search does not match multibyte titles in every locale: compare the names
  # of the program's own windows instead.
  for w in $(xdotool search --pid "$pid" 2>/dev/null || true); do
    if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "エラー" ] &&
       xwininfo -id "$w" 2>/dev/null | grep -q 'IsViewable'; then win=$w; fi
  done
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { kill "$pid" 2>/dev/null; fail "no error box"; }
# No window manager runs here: give the box the focus ourselves and press Enter as a user would.
sleep 0.3
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key Return
status=0
wait "$pid" || status=$?
[ "$status" -ne 0 ] || fail "a start that could not make its folder reported success"
[ ! -e "$work/home/missing" ] || fail "something was created"
echo "PASS"
