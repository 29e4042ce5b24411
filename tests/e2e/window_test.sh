#!/usr/bin/env bash
# The main window of the real program as a user meets it: the first start, typing that reaches
# the page file at once, a restart that shows the page again, a second copy that is refused
# without disturbing the first, and SIGTERM that saves the settings and the selected page.
# Usage (under an X server, e.g. from xvfb-run): window_test.sh KAVIO KAVIOCTL
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
prepare_installation

# No window manager runs here: give the window the input focus ourselves, then click into the
# memo pad, which lies right of the page list.
focus_memo_pad() {
  local win=$1 WIDTH HEIGHT
  timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null || true
  eval "$(xdotool getwindowgeometry --shell "$win" | grep -E '^(WIDTH|HEIGHT)=')"
  xdotool mousemove --window "$win" $((WIDTH * 2 / 3)) $((HEIGHT / 2)) click 1
  sleep 0.3
}

# Waits until the body of page file $1 holds exactly the bytes of file $2.
wait_for_body() {
  for _ in $(seq 1 100); do
    file_body "$1" | cmp -s - "$2" && return 0
    sleep 0.1
  done
  echo "expected body:"; od -c "$2" | head -n 10
  echo "actual body:"; file_body "$1" | od -c | head -n 10
  fail "$(basename "$1") did not get the typed text"
}

start_main_window() {
  start_kavio
  wait_for_api "$last_pid"
  main_window=$(find_window "$last_pid" "Kavio" 50)
  [ -n "$main_window" ] || fail "no viewable window titled Kavio"
  [ -z "$(find_window "$last_pid" "エラー" 1)" ] || fail "an error box appeared at start-up"
}

# --- First start: the library, a book and a page are made; typing is written at once.
start_main_window
first=$last_pid
[ -e "$personal/BookFileList.lst" ] || fail "no BookFileList.lst after the first start"
book=$(only_file '*.book')
page=$(only_file '*.memo')
grep -q '^\[Window\]' "$personal/Kavio.ini" && fail "settings written before shut-down"

focus_memo_pad "$main_window"
xdotool type --delay 20 'Hello Kavio'
xdotool key Return
xdotool type --delay 20 'second line'
printf 'Hello Kavio\r\nsecond line\r\n' > "$work/expected1"
wait_for_body "$page" "$work/expected1"
[ "$(head -n 1 "$page")" = $'; Kavio Page File\r' ] || fail "the page file lost its marker line"
[ "$(ctl GetText)" = $'Hello Kavio\nsecond line' ] || fail "GetText does not show the typed text"

# --- A second copy while the first runs: only its information box, then it ends.
before=$(personal_fingerprint)
start_kavio
second=$last_pid
box=$(find_window "$second" "情報" 100)
[ -n "$box" ] || fail "the second copy showed no information box"
[ -z "$(find_window "$second" "Kavio" 1)" ] || fail "the second copy opened a main window"
for _ in $(seq 1 20); do
  alive "$second" || break
  xdotool windowfocus "$box" 2>/dev/null || true
  xdotool key Return
  sleep 0.5
done
alive "$second" && fail "the second copy did not end after Enter in its box"
wait "$second" || true
alive "$first" || fail "the first copy ended when the second started"
[ "$(ctl Noop)" = "Successed" ] || fail "the first copy stopped answering after the second start"
[ "$(personal_fingerprint)" = "$before" ] || fail "the second start changed files of the first"
[ -n "$(find_window "$first" "Kavio" 1)" ] || fail "the first copy's window is gone"

# --- SIGTERM: the settings file gets the window state; the page stays as typed.
terminate_kavio "$first"
for key in TopMost Shade ToolBarPos ClipListSize FormSize; do
  grep -q "^$key=" "$personal/Kavio.ini" || fail "Kavio.ini lacks [Window] $key after shut-down"
done
grep -q '^\[Window\]' "$personal/Kavio.ini" || fail "Kavio.ini has no [Window] section"
grep -q $'^PortNumber='"$port"$'\r$' "$personal/Kavio.ini" || fail "shut-down lost PortNumber"
grep -q $'^LastIndex=0\r$' "$book" || fail "LastIndex is not 0 with the first page selected"
wait_for_body "$page" "$work/expected1"

# --- Restart: the page is shown again.
start_main_window
[ "$(ctl GetText)" = $'Hello Kavio\nsecond line' ] || fail "the restart does not show the page"

# --- Ctrl+N adds a page and selects it; shut-down remembers it in the book file.
focus_memo_pad "$main_window"
xdotool key ctrl+n
for _ in $(seq 1 50); do
  pages=("$personal"/*.memo)
  [ "${#pages[@]}" -eq 2 ] && break
  sleep 0.1
done
[ "${#pages[@]}" -eq 2 ] || fail "Ctrl+N made no second page file"
page2=""
for p in "${pages[@]}"; do
  if [ "$p" != "$page" ]; then page2=$p; fi
done
focus_memo_pad "$main_window"
xdotool type --delay 20 'page two'
printf 'page two\r\n' > "$work/expected2"
wait_for_body "$page2" "$work/expected2"
[ "$(ctl GetText)" = "page two" ] || fail "GetText does not show the new page"
terminate_kavio "$last_pid"
grep -q $'^LastIndex=1\r$' "$book" || fail "LastIndex is not 1 with the second page selected"
printf '%s\r\n%s\r\n' "$(basename "$page")" "$(basename "$page2")" > "$work/expected_pages"
file_body "$book" | cmp -s - "$work/expected_pages" || fail "the book file does not list both pages in order"
wait_for_body "$page" "$work/expected1"

# --- The next start shows the page that was selected.
start_main_window
[ "$(ctl GetText)" = "page two" ] || fail "the restart does not show the page selected at shut-down"
terminate_kavio "$last_pid"
echo "PASS"
