#!/usr/bin/env bash
# program_args_test.sh - vexa's command line, one row a case. Answers and
# refusals run with no display at all (they must come before any window);
# the rows that play run in an X server of the test's own, 1280x1024, so that
# full screen and the 1024x768 window differ. Needs Xvfb, xdotool, xwininfo,
# xdpyinfo, VEXA_BIN (the program), VEXA_BUILD (where tex/ is) and
# VEXA_VERSION.
set -uo pipefail
unset DISPLAY VEXA_PHOTO VEXA_SHOW_FPS

. "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
pid=""
xvfb=""
work=$(mktemp -d)
# The X server is waited for: until it has gone, its socket is not yet free.
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb"; rm -rf "$work"' EXIT
cd "$work" || exit 1

verdict() {  # verdict OK WHAT: counts a pass or prints the failure
  if [ "$1" -eq 1 ]; then
    passes=$((passes + 1))
  else
    fails=$((fails + 1))
    echo "FAIL: $2"
    sed 's/^/  out: /' out.txt | head -n 5
    sed 's/^/  err: /' err.txt | head -n 5
  fi
}

# says STATUS LINE ARGS...: vexa ARGS ($bin, with $display when set) ends
# with STATUS and LINE as the first line of standard output (status 0) or as
# the first of standard error (otherwise; a refusal, 2, is that line and
# the hint to --help), and nothing on the other stream.
bin=$VEXA_BIN
display=""
says() {
  local want=$1 line=$2 ok=1
  shift 2
  DISPLAY=$display timeout 10 "$bin" "$@" >out.txt 2>err.txt
  local status=$?
  if [ "$want" -eq 0 ]; then
    [ "$(head -n 1 out.txt)" = "$line" ] && [ ! -s err.txt ] || ok=0
  else
    [ "$(head -n 1 err.txt)" = "$line" ] && [ ! -s out.txt ] || ok=0
    [ "$want" -ne 2 ] || [ "$(tail -n +2 err.txt)" = "Try 'vexa --help' for more information." ] || ok=0
  fi
  [ "$status" -eq "$want" ] || ok=0
  verdict $ok "$bin $* (status $status, wanted $want: $line)"
}

# plays SIZE PROGRAM ARGS...: PROGRAM opens a window of SIZE (WxH) in the
# test's X server and is still playing once its images are loaded and the
# show has started.
plays() {
  local size=$1 program=$2 ok=1 wid="" geometry=""
  shift 2
  DISPLAY=$display "$program" "$@" >out.txt 2>err.txt &
  pid=$!
  for _ in $(seq 100); do
    wid=$(DISPLAY=$display xdotool search --name "vexa" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  # GLUT sizes a full-screen window once its main loop runs, after the
  # images are loaded and the one-second settling pause: look after that.
  sleep 2.5
  for _ in $(seq 30); do
    [ -n "$wid" ] && kill -0 "$pid" 2>/dev/null || break
    geometry=$(DISPLAY=$display xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [ "$geometry" = "$size" ] && break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && [ "$geometry" = "$size" ] || ok=0
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
  verdict $ok "$program $* plays in a $size window (got '$geometry', window '$wid')"
}

usage="Usage: vexa [--window] [--adapt] [DIR | --show FILE]"

# Answers, with no display to open.
says 0 "$usage" --help
says 0 "$usage" --window --help
says 0 "vexa $VEXA_VERSION" --version
says 0 "vexa $VEXA_VERSION" some-dir --version
says 0 "$usage" -h
says 0 "vexa $VEXA_VERSION" -V

# Refusals: one line, before any window.
says 2 "vexa: unknown option '--bogus'" --bogus
says 2 "vexa: unknown option '-x'" -x
says 2 "vexa: unknown option '-d'" -display :0
says 2 "vexa: unknown option '-'" -
says 2 "vexa: unknown option '--window=1'" --window=1
says 2 "vexa: unknown option '--adapt=1'" --adapt=1
says 2 "vexa: unknown option '--help=x'" --help=x
says 2 "vexa: one directory at most, not also 'b'" a b
says 2 "vexa: an empty directory name ''" ""

# No artwork anywhere: the paths tried, before any window.
mkdir lone empty
cp "$VEXA_BIN" lone/vexa
bin=$work/lone/vexa
cd "$work/empty" && says 1 "vexa: no artwork directory; tried tex, $work/lone/tex, $work/lone/../share/vexa/tex"
cd "$work" || exit 1
bin=$VEXA_BIN

# Playing, in an X server of the test's own.
exec 3>"$work/display"
# -noreset: a server that resets as its last client leaves refuses the next one for a moment.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
display=":$(cat "$work/display")"
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
ln -s "$VEXA_BUILD/tex" tex
plays 1280x1024 "$VEXA_BIN"
plays 1024x768 "$VEXA_BIN" --window
plays 1280x1024 "$VEXA_BIN" --adapt

# Where the artwork comes from: ./tex first, as it always was; then beside
# the program; DIR/tex or DIR itself, named as typed.
mkdir -p broken/tex holder mytex
ln -s "$VEXA_BUILD/tex" holder/tex
cd "$work/broken" && says 1 "tex/5.bmp:can't open file."
cd "$work/empty" && plays 1024x768 "$VEXA_BIN" --window
plays 1024x768 "$VEXA_BIN" --window ../holder
plays 1024x768 "$VEXA_BIN" --window "$VEXA_BUILD/tex"
cd "$work" || exit 1
says 1 "mytex/5.bmp:can't open file." mytex
says 1 "broken/tex/5.bmp:can't open file." broken

report
