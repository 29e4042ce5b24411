#!/usr/bin/env bash
# The text API of the real program, through kavioctl and through raw sockets: requests reach
# the page file byte for byte, misbehaving and too many clients leave the program responsive
# and its files intact, and shut-down says goodbye to a connected client.
# Usage (under an X server, e.g. from xvfb-run): api_test.sh KAVIO KAVIOCTL
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
clients="$e2e_dir/api_clients.py"
prepare_installation

start_kavio
kavio_pid=$last_pid
wait_for_api "$kavio_pid"
page=$(only_file '*.memo')
book=$(only_file '*.book')

[ "$(ctl Noop)" = "Successed" ] || fail "Noop did not reply Successed"
python3 "$clients" "$port" framing || fail "requests were not framed as lines"

# Japanese text travels as code page 932 with CR between lines. "ソ" and "表" end in the byte
# 5C, "ポ" in 7C; the full-width space is 81 40.
text='日本語のメモ
二行目 ソ表ポ　全角空白'
[ "$(ctl SetText "$text")" = "Successed" ] || fail "SetText did not reply Successed"
printf '日本語のメモ\r\n二行目 ソ表ポ　全角空白\r\n' | iconv -f UTF-8 -t CP932 > "$work/expected_body"
file_body "$page" | cmp -s - "$work/expected_body" ||
  fail "the page file body is not the CP932 text: $(file_body "$page" | od -An -tx1 | head -n 3)"
printf '日本語のメモ\r二行目 ソ表ポ　全角空白' | iconv -f UTF-8 -t CP932 > "$work/expected_wire"
python3 "$clients" "$port" gettext "$work/expected_wire" || fail "GetText's wire bytes differ"
[ "$(ctl GetText)" = "$text" ] || fail "kavioctl GetText does not print the text set"

# Misbehaving clients: a line never ended, 100 MiB in one line, random binary lines, and 100
# clients at once. Nothing they send may change a file.
before=$(personal_fingerprint)
python3 "$clients" "$port" hostile || fail "the server mishandled hostile clients"
alive "$kavio_pid" || fail "kavio ended during the hostile clients"
reply=$(timeout 5 "$kavioctl_bin" --port "$port" Noop) || fail "Noop got no answer within 5 s afterwards"
[ "$reply" = "Successed" ] || fail "Noop replied '$reply' after the hostile clients"
[ "$(personal_fingerprint)" = "$before" ] || fail "hostile clients changed files in the personal folder"
[ "$(ctl GetText)" = "$text" ] || fail "hostile clients changed the text"

# A burst of 100 simultaneous connections: every client is greeted or refused; none is left
# waiting for a greeting that never comes.
python3 "$clients" "$port" burst || fail "a burst of 100 clients was not answered"
reply=$(timeout 5 "$kavioctl_bin" --port "$port" Noop) || fail "Noop got no answer after the burst"
[ "$(personal_fingerprint)" = "$before" ] || fail "the burst changed files in the personal folder"

# Shut-down ends a connected client with the goodbye line.
python3 "$clients" "$port" goodbye "$work/ready" &
listener=$!
started_pids+=("$listener")
for _ in $(seq 1 100); do
  [ -e "$work/ready" ] && break
  sleep 0.1
done
[ -e "$work/ready" ] || fail "the goodbye client could not connect"
terminate_kavio "$kavio_pid"
wait "$listener" || fail "the connected client got no goodbye at shut-down"

# The files written at shut-down still read: every settings line is a section, a key=value or
# empty, with CR LF; the book and the library name what they did.
[ -z "$(grep -vE $'^(\\[[A-Za-z]+\\]|[A-Za-z]+=.*|)\r$' "$personal/Kavio.ini")" ] ||
  fail "Kavio.ini holds lines that are not INI lines"
grep -q $'^\\[Window\\]\r$' "$personal/Kavio.ini" || fail "Kavio.ini has no [Window] section"
grep -q $'^PortNumber='"$port"$'\r$' "$personal/Kavio.ini" || fail "Kavio.ini lost PortNumber"
[ "$(head -n 1 "$book")" = $'; Kavio Book File\r' ] || fail "the book file lost its marker line"
grep -q $'^LastIndex=0\r$' "$book" || fail "the book file lost LastIndex"
[ "$(file_body "$book")" = "$(basename "$page")"$'\r' ] || fail "the book file does not list its page"
[ "$(cat "$personal/BookFileList.lst")" = "$(basename "$book")"$'\r' ] ||
  fail "BookFileList.lst does not list the book"
file_body "$page" | cmp -s - "$work/expected_body" || fail "the page file changed at shut-down"

start_kavio
wait_for_api "$last_pid"
[ "$(ctl GetText)" = "$text" ] || fail "the restart does not show the text set through the API"
terminate_kavio "$last_pid"
echo "PASS"
