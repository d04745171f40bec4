#!/usr/bin/env bash
# program_test.sh - the real program in a real X server: its window, its
# keys, its exits. Needs DISPLAY (script/test provides one), xdotool and
# xwininfo, VEXA_BIN (the program) and VEXA_BUILD (where tex/ is).
set -uo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/program_lib.sh"
program_workdir "vexa-under-test-$$"
link_tex

start() {
  start_program || { echo "FAIL: no window appeared"; cat err.txt; exit 1; }
  settle
}

# The window: titled with the invocation path, full screen.
start
check "title is argv[0]" test "$(xdotool getwindowname "$wid")" = "./$name"
geometry=$(xwininfo -id "$wid")
screen=$(xwininfo -root)
screen_w=$(awk '/Width:/ {print $2}' <<<"$screen")
screen_h=$(awk '/Height:/ {print $2}' <<<"$screen")
check "full-screen width ($screen_w)" grep -q "Width: $screen_w\$" <<<"$geometry"
check "full-screen height ($screen_h)" grep -q "Height: $screen_h\$" <<<"$geometry"

# Reports of unhandled keys, then q quits cleanly.
xdotool key --delay 80 a Q F1 space space
sleep 0.3
xdotool key q
wait_end 5
check "q exits with status 0 (got $status)" test "$status" -eq 0
check "nothing on standard error after q" test ! -s err.txt
expected=$'key: a(97)\nspecial: 112\nkey: Q(81)\nspecial: 1'
check "key reports (got: $(tr '\n' '|' <out.txt))" test "$(cat out.txt)" = "$expected"

# Esc quits cleanly.
start
xdotool key Escape
wait_end 5
check "Esc exits with status 0 (got $status)" test "$status" -eq 0
check "nothing on standard error after Esc" test ! -s err.txt
check "nothing on standard output after Esc" test ! -s out.txt

# Stepping back in the first second stops at zero rather than ending the show.
start
xdotool key --delay 50 Left Left Up
sleep 0.5
check "Left in the first second keeps the show running" kill -0 "$pid"
xdotool key q
wait_end 5
check "q after stepping back exits 0 (got $status)" test "$status" -eq 0

# Stepping past the end ends the show by itself, with status 0.
start
xdotool key --delay 30 $(printf 'Right %.0s' $(seq 17))
wait_end 5
check "the show ends itself with status 0 (got $status)" test "$status" -eq 0
check "nothing on standard error at the end" test ! -s err.txt

report
