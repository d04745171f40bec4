#!/usr/bin/env bash
# exit_paths_test.sh - every way the real program ends, each checked for its
# status and, in the sanitized build, for leaks: LeakSanitizer runs at exit()
# and turns a definite leak into a report on standard error and exit status
# 23, so a path that forgets a buffer or a file fails here. (Memory still
# reachable from globals at exit is not a leak.) In the normal build the same
# runs check the statuses only.
#
# Paths: each way a load can fail (at the first image, mid-way, the photo,
# the last image), Esc, q, quitting while paused, and the show's own end.
# Needs DISPLAY, xdotool, VEXA_BIN and VEXA_BUILD (where tex/ is).
set -uo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/program_lib.sh"
program_workdir "vexa-exits-$$"

no_leak_report() { ! grep -q "Sanitizer" err.txt; }

# A fresh tex/ of copies of the generated artwork.
fresh_tex() {
  rm -rf tex
  mkdir tex
  cp "$VEXA_BUILD"/tex/*.bmp tex/
}

# Overwrites bytes of FILE at OFFSET with the hex string BYTES.
patch() {
  printf "$(sed 's/\(..\)/\\x\1/g' <<<"$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# run_failing DESCRIPTION EXPECTED-MESSAGE: the program must refuse its
# images with status 1, the message on standard error, and nothing leaked.
run_failing() {
  timeout 60 "./$name" >out.txt 2>err.txt
  local status=$?
  check "$1: status 1 (got $status)" test "$status" -eq 1
  check "$1: message '$2'" grep -qF "$2" err.txt
  check "$1: no sanitizer report" no_leak_report
}

# --- load failures, in the order the checks run in the loader -------------
fresh_tex; rm tex/5.bmp
run_failing "missing first image" "tex/5.bmp:can't open file."

fresh_tex; rm tex/5.bmp; mkdir tex/5.bmp
run_failing "a directory in place of an image" "tex/5.bmp:not a regular file."

fresh_tex; rm tex/4.bmp; mkfifo tex/4.bmp  # nothing ever writes it: a wait would hang
run_failing "a FIFO in place of an image" "tex/4.bmp:not a regular file."

fresh_tex; patch tex/5.bmp 18 0080000004000000  # a 32768 x 4 card: wider than GL takes
run_failing "an image wider than GL's largest texture" "tex/5.bmp:32768x4 is larger than the largest texture"

fresh_tex; head -c 10 "$VEXA_BUILD/tex/3.bmp" >tex/3.bmp
run_failing "file header cut short" "tex/3.bmp:bmfh read fail."

fresh_tex; printf '\x89PNG\r\n\x1a\n0000000000000000000000000000000000000000000000' >tex/0.bmp
run_failing "not a BMP" "tex/0.bmp:this file is not BMP."

fresh_tex; head -c 30 "$VEXA_BUILD/tex/-1.bmp" >tex/-1.bmp
run_failing "information header cut short" "tex/-1.bmp:bmih read fail."

fresh_tex; patch tex/-2.bmp 30 01000000
run_failing "compressed" "tex/-2.bmp:Compression mode is not supported."

fresh_tex; patch tex/-3.bmp 22 ffffffff
run_failing "top-down (negative height)" "tex/-3.bmp:"

fresh_tex; patch tex/string.bmp 18 00400000  # 16384 x 1024 x 1 byte: more than the file holds
run_failing "pixel data cut short (after the buffer exists)" "tex/string.bmp:size illegal"

fresh_tex; size=$(stat -c %s "$VEXA_BUILD/tex/string2.bmp")
head -c $((size - 1)) "$VEXA_BUILD/tex/string2.bmp" >tex/string2.bmp
run_failing "last image one byte short" "tex/string2.bmp:size illegal"

fresh_tex; rm tex/photo.bmp
VEXA_PHOTO=1 run_failing "missing photo when asked for" "tex/photo.bmp:can't open file."

# --- exits from the running show -------------------------------------------
fresh_tex

# start: the show is still playing once the settling pause is over (a
# program that ended there would pass every status check below).
start() {
  start_program
  settle
  check "playing after the settling pause" kill -0 "$pid"
}

# finish DESCRIPTION: waits up to 20 s for the end, then checks status 0 and
# no report.
finish() {
  wait_end 20
  check "$1: status 0 (got $status)" test "$status" -eq 0
  check "$1: no sanitizer report" no_leak_report
}

start; xdotool key Escape; finish "Esc"
start; xdotool key q; finish "q"
start; xdotool key --delay 50 space Right Right; xdotool key q; finish "q while paused"
start; xdotool key --delay 30 $(printf 'Right %.0s' $(seq 10)); sleep 0.5; xdotool key Escape
finish "Esc in the closing sequence"
VEXA_PHOTO=1 start; xdotool key --delay 30 $(printf 'Right %.0s' $(seq 17)); finish "end of the show"

report
