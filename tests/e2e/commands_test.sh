#!/usr/bin/env bash
# The notebook commands and a user tool from the keyboard, as a user works: a new page with
# Ctrl+N, typing, a priority, a second book, moving the page into it through the page list's
# menu, and a registered tool whose output lands in the page.
# Usage (under an X server, e.g. from xvfb-run): commands_test.sh KAVIO KAVIOCTL
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
prepare_installation
printf '[Tools]\r\nEcho\t/bin/echo|tool output #WAIT #REDIR\r\n' >> "$personal/Kavio.ini"

key() {
  xdotool key --clearmodifiers "$@"
  sleep 0.4
}

# The body of the page file holding `text`, by file name; empty when none does.
page_with() {
  grep -l -a -- "$1" "$personal"/*.memo 2>/dev/null | head -n 1
}

wait_for() {
  local what=$1; shift
  for _ in $(seq 1 50); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}

start_kavio
pid=$last_pid
wait_for_api "$pid"
win=$(find_window "$pid" "Kavio" 50)
[ -n "$win" ] || fail "no main window"
xdotool windowfocus --sync "$win" 2>/dev/null || true
eval "$(xdotool getwindowgeometry --shell "$win" | grep -E '^(WIDTH|HEIGHT)=')"
xdotool mousemove --window "$win" $((WIDTH * 2 / 3)) $((HEIGHT / 2)) click 1
sleep 0.3

# A second page with Ctrl+N, its text typed, then the highest priority with Ctrl+1.
xdotool type --delay 20 'first page'
key ctrl+n
xdotool type --delay 20 'travelling page'
key ctrl+1
wait_for "the typed page was not written" test -n "$(page_with 'travelling page')"
moved=$(page_with 'travelling page')
wait_for "Ctrl+1 did not reach the page file" grep -q -a $'^Priority=1\r$' "$moved"
[ "$(ls "$personal"/*.memo | wc -l)" -eq 2 ] || fail "expected two pages after Ctrl+N"
first_book=$(only_file '*.book')
moved_name=$(basename "$moved")
file_body "$first_book" | grep -q -a "$moved_name" || fail "the book does not list the new page"

# A second book (Ctrl+Shift+N opens it), then back to the first through the book list (F9, Up,
# F10 back to the pad), and to the travelling page.
key ctrl+shift+n
wait_for "Ctrl+Shift+N made no second book" test "$(ls "$personal"/*.book | wc -l)" -eq 2
second_book=$(ls "$personal"/*.book | grep -v -F "$first_book")
key F9
key Up
key F10
[ "$(ctl GetText)" = "travelling page" ] || key ctrl+Tab
[ "$(ctl GetText)" = "travelling page" ] || fail "could not get back to the travelling page"

# The page list's menu (Ctrl+F8): "ページの移動(&Y)", then the second book (the first, open
# one is disabled).
key ctrl+F8
key y
key Down
key Return
wait_for "the page did not move to the second book" \
  bash -c "grep -q -a -F '$moved_name' '$second_book'"
file_body "$first_book" | grep -q -a -F "$moved_name" && fail "the first book still lists the moved page"
[ -e "$moved" ] || fail "the moved page's file is gone"

# The tool from the main menu (F11, "ツール(&T)", its last item): its output lands in the page.
ctl SetText 'before tool' >/dev/null
ctl SetSelStart 11 >/dev/null
key F11
key t
key Up
key Return
shown=$(ctl GetText)
wait_for "the tool's output did not reach the page file" \
  bash -c "grep -q -a 'tool output' \"\$(grep -l -a 'before tool' '$personal'/*.memo)\""
case "$(ctl GetText)" in
  *'before tool'*'tool output'*) ;;
  *) fail "the page shows: $shown" ;;
esac

terminate_kavio "$pid"
echo PASS
