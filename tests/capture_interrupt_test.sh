#!/usr/bin/env bash
# capture_interrupt_test.sh - vexa-capture ended by SIGINT, SIGTERM or SIGHUP
# while it writes a video or a frame: it ends by that signal (128 + its
# number), leaves nothing half-written, no ffmpeg behind and no unpacked
# .vexa package. Needs
# VEXA_CAPTURE, VEXA_BUILD (where tex/ is) and ffmpeg.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"


# interrupt SIGNAL KIND ARGS...: starts the tool writing into a fresh
# directory out-SIGNAL-KIND (with its own TMPDIR inside), waits until a
# file is being written in either (and, for a video, ffmpeg runs), then
# sends the signal. Sets dir, status, encoder (ffmpeg's pid, or empty).
interrupt() {
  local sig=$1 kind=$2
  shift 2
  dir=out-$sig-$kind
  mkdir -p "$dir/tmp"
  # A shell without job control starts background jobs with SIGINT ignored.
  TMPDIR=$PWD/$dir/tmp env --default-signal=INT "$VEXA_CAPTURE" "$@" --out "$dir/$kind" 2>"$dir.err" &
  local pid=$! seen=""
  encoder=""
  for _ in $(seq 400); do
    [ "$kind" = show.mp4 ] && encoder=$(pgrep -P "$pid" ffmpeg)
    if [ -n "$(find "$dir" -type f)" ] &&
      { [ "$kind" != show.mp4 ] || [ -n "$encoder" ]; }; then
      seen=1
      break
    fi
    sleep 0.02
  done
  kill -s "$sig" "$pid"
  { wait "$pid"; } 2>/dev/null  # no "Hangup" notice from the shell
  status=$?
  [ -n "$seen" ] || echo "note: nothing was being written in $dir when $sig was sent"
}

# left: what the last interrupt left in its directory.
left() { (cd "$dir" && find . -mindepth 1 ! -path ./tmp); }

# A show in a .vexa package, unpacked into TMPDIR for the run.
cp "$VEXA_BUILD/tex/5.bmp" own.bmp
"$VEXA_CAPTURE" --title Danke --line hallo --photo-image own.bmp --save-show pkg.vexa 2>/dev/null

for sig in INT TERM HUP; do
  number=$(kill -l "$sig")
  interrupt "$sig" show.mp4 --fps 30 --size 320x240
  check "$sig during a video: status $((128 + number)) (got $status)" '[ $status -eq $((128 + number)) ]'
  check "$sig during a video: nothing left ($(left))" '[ -z "$(left)" ]'
  check "$sig during a video: ffmpeg does not outlive the tool" '[ -n "$encoder" ] && ! kill -0 "$encoder" 2>/dev/null'
  check "$sig during a video: nothing said but the seed ($(grep -v "^vexa-capture: seed " "$dir.err"))" \
    '! grep -qv "^vexa-capture: seed " "$dir.err"'
  interrupt "$sig" frame.png --time 12000 --size 4096x4096
  check "$sig during a frame: status $((128 + number)) (got $status)" '[ $status -eq $((128 + number)) ]'
  check "$sig during a frame: nothing left ($(left))" '[ -z "$(left)" ]'
  interrupt "$sig" art.png --time 12000 --size 4096x4096 --title Danke --line hallo  # large: still busy when the signal comes
  check "$sig while the artwork is built: status $((128 + number)) (got $status)" '[ $status -eq $((128 + number)) ]'
  check "$sig while the artwork is built: nothing left ($(left))" '[ -z "$(left)" ]'
  interrupt "$sig" pkg.png --time 12000 --size 4096x4096 --show pkg.vexa
  check "$sig during a run of a .vexa package: status $((128 + number)) (got $status)" '[ $status -eq $((128 + number)) ]'
  check "$sig during a run of a .vexa package: its unpacked files go too ($(left))" '[ -z "$(left)" ]'
done

report
