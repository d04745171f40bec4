#!/usr/bin/env bash
# program_test.sh - the real program in a real X server: its window, its
# keys, its exits, its first picture, its clock. Needs DISPLAY (script/test
# provides one), xdotool, xwininfo and ffmpeg (to grab the window),
# VEXA_BIN (the program) and VEXA_BUILD (where tex/ and vexa-capture are).
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

# Space during the settling pause: the first frame is the t = 0 picture with
# the pause caption, as vexa-capture draws t = 0 plus the caption's letters.
# Pixels are compared in grey, counted where they differ by more than 8.
start_program || { echo "FAIL: no window appeared"; exit 1; }
xdotool key space
settle
# The window's part of the screen (a full-screen window with no window
# manager sits at (1, 1), its last row and column off the screen).
read -r x0 y0 w h < <(xwininfo -id "$wid" | awk '/Absolute upper-left X:/ { x = $4 }
  /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
screen_w=$(xwininfo -root | awk '/Width:/ { print $2 }')
screen_h=$(xwininfo -root | awk '/Height:/ { print $2 }')
vw=$((w < screen_w - x0 ? w : screen_w - x0))
vh=$((h < screen_h - y0 ? h : screen_h - y0))
grey() { ffmpeg -loglevel error -y "$@" -frames:v 1 -f rawvideo -pix_fmt gray -; }
env -u DISPLAY "$VEXA_BUILD/vexa-capture" --tex tex --seed 1 --time 0 --size "${w}x$h" --out t0.png 2>>err.txt
grey -i t0.png -vf "crop=$vw:$vh:0:0" >t0.raw
# A slow start (the sanitized build) may not have drawn yet: look a few times.
for _ in $(seq 20); do
  grey -f x11grab -draw_mouse 0 -grab_x "$x0" -grab_y "$y0" -video_size "${vw}x$vh" -i "$DISPLAY" >shown.raw
  read -r all caption < <(cmp -l shown.raw t0.raw | awk -v w="$vw" -v h="$h" '
    function oct(s,  v, i) { v = 0; for (i = 1; i <= length(s); i++) v = v * 8 + substr(s, i, 1); return v }
    { d = oct($2) - oct($3); if (d < -8 || d > 8) { n++; x = ($1 - 1) % w; y = int(($1 - 1) / w)
        if (x >= 455 && x < 525 && y >= h / 2 - 14 && y < h / 2 + 6) c++ } }
    END { print n + 0, c + 0 }')
  [ $((all - caption)) -le 100 ] && break
  sleep 0.25
done
check "paused in the settling pause: the pause caption is drawn ($caption pixels)" test "$caption" -ge 20 -a "$caption" -le 400
check "paused in the settling pause: the rest is the t = 0 picture ($((all - caption)) pixels differ)" \
  test $((all - caption)) -le 100
xdotool key q
wait_end 5

# Show time runs on the clock: an unmapped window (freeglut draws nothing)
# still ends the show on time, and not before it has played.
started=$(date +%s)
start_program || { echo "FAIL: no window appeared"; exit 1; }
settle
xdotool windowunmap --sync "$wid"
wait_end 25
took=$(($(date +%s) - started))
check "unmapped: the show ends with status 0 (got $status)" test "$status" -eq 0
check "unmapped: it ended at the show's end, not before (after $took s)" test "$took" -ge 15

report
