#!/usr/bin/env bash
# capture_whole_test.sh - vexa-capture's outputs whole or not at all when a
# run fails, is interrupted or meets another: a frame directory keeps its old
# set (frames and audio.wav) until a new one is complete, two runs into one
# directory never mix, an existing file outlives a failed capture; and the
# runs that must work: closed standard streams, the same bytes twice, an
# existing directory with a video's name. Needs VEXA_CAPTURE, VEXA_BUILD
# (where tex/ is), ffmpeg and ffprobe.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

cap() { "$VEXA_CAPTURE" --seed 4 "$@"; }
# snap DIR: every name in DIR (hidden ones too) with its bytes' digest.
snap() { (cd "$1" 2>/dev/null && find . -mindepth 1 | sort | while read -r f; do echo "$f $(md5sum <"$f" 2>/dev/null)"; done); }
frames_in() {
  ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "file:$1" 2>/dev/null
}
# old_set DIR: DIR holding a finished set with its sound, and a file of the user's.
old_set() { rm -rf "$1" && cap --fps 10 --to 1000 --size 32x24 --pop -o "$1/" && echo mine >"$1/notes.txt"; }
# started PATTERN: waits (up to 8 s) until a file matching PATTERN exists.
started() { for _ in $(seq 400); do compgen -G "$1" >/dev/null && return 0; sleep 0.02; done; return 1; }

mkdir -p broken/tex && cp "$VEXA_BUILD"/tex/*.bmp broken/tex/ && head -c 100 "$VEXA_BUILD/tex/3.bmp" >broken/tex/3.bmp

# A failed --force run: the old set stays as it was, nothing is left beside
# it (and a new directory does not appear).
# Each row: a name, then how the run fails.
while IFS='|' read -r name how; do
  : >fail.err && old_set d && before=$(snap d) && beside=$(ls -A)
  (eval "$how") 2>fail.err; st=$?
  check "$name: status 1 with a line ($st: $(head -c 200 fail.err))" '[ $st -eq 1 ] && grep -q "^vexa-capture: " fail.err'
  check "$name: the old set is as it was" '[ "$(snap d)" = "$before" ] && [ "$(ls -A)" = "$beside" ]'
done <<'TABLE'
no artwork|cap --force --tex /nonexistent --fps 10 -o d/
broken artwork, two jobs|cap --force --tex broken --jobs 2 --fps 10 -o d/
broken artwork into a new directory|cap --tex broken --jobs 2 --fps 10 -o new/
the disk full midway|trap '' XFSZ; ulimit -f 8; cap --force --jobs 2 --from 9000 --size 320x240 -o d/
TABLE

# SIGINT, SIGTERM, SIGHUP while a sequence is drawn: the directory as before
# (with its old set, or not there at all), nothing beside it.
for sig in INT TERM HUP; do
  for target in d fresh; do
    # the new set is drawn inside an existing directory, beside a new one
    if [ $target = d ]; then old_set d && drawing=d/; else rm -rf fresh && drawing=; fi
    before=$(snap $target) beside=$(ls -A)
    env --default-signal=INT "$VEXA_CAPTURE" --seed 4 --force --jobs 2 --fps 60 --size 160x120 -o $target/ 2>/dev/null &
    pid=$!
    started "${drawing}vexa-capture.*/frame-*.png" || echo "note: no frame seen before $sig"
    kill -s $sig $pid
    { wait $pid; } 2>/dev/null
    st=$?
    check "$sig into $target: ends by the signal ($st)" '[ $st -eq $((128 + $(kill -l $sig))) ]'
    check "$sig into $target: the directory as before" '[ "$(snap $target)" = "$before" ] && [ "$(ls -A)" = "$beside" ]'
  done
done

# Two runs into one directory: the second is refused while the first draws;
# the first's set alone comes out.
mkdir -p two
cap --jobs 1 --fps 60 --size 160x120 -o two/ 2>first.err &
pid=$!
started "two/vexa-capture.*/frame-*.png" || echo "note: the first run was not seen drawing"
cap --fps 1 --size 16x16 -o two/ 2>second.err; second=$?
wait $pid; first=$?
check "a second run into a directory being written: refused ($second: $(cat second.err))" \
  '[ $second -eq 1 ] && grep -q "^vexa-capture: two: another vexa-capture" second.err'
check "the first run's set alone ($first, $(ls two | wc -l) files)" '[ $first -eq 0 ] && [ "$(ls -A two | wc -l)" -eq 960 ]'
# Two runs into a directory that is not there yet: one set, whole.
cap --fps 3 --size 16x16 -o race/ 2>/dev/null & a=$!
cap --fps 5 --size 16x16 -o race/ 2>/dev/null & b=$!
wait $a; sa=$?; wait $b; sb=$?
check "two runs into a new directory: one wins, whole ($sa $sb: $(ls race | wc -l) files)" \
  '[ $((sa + sb)) -eq 1 ] && [ "$(ls -A race | wc -l)" -eq $((sa == 0 ? 48 : 80)) ] && [ "$(ls -A | grep -c vexa-capture)" -eq 0 ]'

# A second run into a new directory while the first draws its set beside it:
# refused at once, not after drawing its own.
cap --jobs 1 --fps 60 --size 160x120 -o fresh2/ 2>/dev/null & pid=$!
started "vexa-capture.*.new/frame-*.png" || echo "note: the first run was not seen drawing"
cap --fps 1 --size 16x16 -o fresh2/ 2>second.err; second=$?
running=$(kill -0 $pid 2>/dev/null && echo yes)
wait $pid; first=$?
check "a second run into a new directory being written: refused at once ($second, $running: $(cat second.err))" \
  '[ $second -eq 1 ] && [ "$running" = yes ] && grep -q "^vexa-capture: fresh2: another vexa-capture" second.err'
check "the first run's new set alone ($first, $(ls fresh2 | wc -l) files)" '[ $first -eq 0 ] && [ "$(ls -A fresh2 | wc -l)" -eq 960 ]'

# The set is frames and sound: a --force run without --pop takes audio.wav away.
old_set d
cap --force --fps 2 --to 1000 --size 32x24 -o d/
check "--force without --pop: no audio.wav left, the user's file stays ($(ls d | tr '\n' ' '))" \
  '[ "$(ls -A d | tr "\n" " ")" = "frame-00000.png frame-00001.png notes.txt " ]'

# An existing file outlives a capture that fails or is interrupted.
mkdir -p bin && printf '#!/bin/sh\nhead -c 100000 >/dev/null; exit 1\n' >bin/ffmpeg && chmod +x bin/ffmpeg
echo old >kept.mp4 && echo old >kept.png
PATH="$PWD/bin:$PATH" cap --fps 4 --size 64x48 -o kept.mp4 2>kept.err; st=$?
check "ffmpeg failing midway: status 1, one line, the old file kept ($st: $(cat kept.err))" \
  '[ $st -eq 1 ] && [ "$(cat kept.err)" = "vexa-capture: kept.mp4: ffmpeg failed with status 1" ] && [ "$(cat kept.mp4)" = old ]'
(trap '' XFSZ; ulimit -f 8; cap --time 12500 --size 512x384 -o kept.png 2>kept.err); st=$?
check "a picture that cannot be written: status 1, the old file kept ($st)" '[ $st -eq 1 ] && [ "$(cat kept.png)" = old ]'
cap --fps 30 --size 320x240 -o kept.mp4 2>/dev/null & pid=$!
started "vexa-capture.*.tmp" || echo "note: the video was not seen being written"
kill -TERM $pid; { wait $pid; } 2>/dev/null; st=$?
check "SIGTERM during a video: the old file kept ($st)" '[ $st -eq 143 ] && [ "$(cat kept.mp4)" = old ]'
PATH=$PWD/nobody cap --fps 4 --size 64x48 -o none.mp4 2>none.err; st=$?
check "no ffmpeg: one line, before anything is drawn ($(cat none.err))" \
  '[ $st -eq 1 ] && [ "$(cat none.err)" = "vexa-capture: cannot run ffmpeg: No such file or directory" ]'

# Closed standard streams: ffmpeg's pipe must not land on them.
for closed in '<&-' '>&-' '2>&-'; do
  eval "cap --fps 4 --to 2000 --size 32x24 -o closed.mp4 $closed"; st=$?
  check "standard stream closed ($closed): status 0, every frame" '[ $st -eq 0 ] && [ "$(frames_in closed.mp4)" = 8 ]'
  rm -f closed.mp4
done
cap --title x --lines - --time 5 --size 16x16 -o closed.png <&-; st=$?
check "standard input closed: --lines - reads nothing ($st)" '[ $st -eq 0 ] && [ -s closed.png ]'

# The same run twice gives the same bytes, in every container.
for kind in mkv webm mp4 mov; do
  cap --fps 10 --to 500 --size 32x24 --pop -o once.$kind && cap --fps 10 --to 500 --size 32x24 --pop -o twice.$kind
  check "$kind: the same bytes twice" 'cmp -s once.$kind twice.$kind'
done

# An existing directory means frames, whatever its name ends in, and a
# picture asked into one is refused before anything is drawn.
for name in shots.mp4 shots.mp4/ shots.PNG; do
  rm -rf shots.*; mkdir "${name%/}"
  cap --fps 1 --to 2000 --size 16x16 -o "$name" 2>shots.err; st=$?
  check "existing directory $name: frames in it ($st: $(cat shots.err))" '[ $st -eq 0 ] && [ "$(ls "$name" | tr "\n" " ")" = "frame-00000.png frame-00001.png " ]'
done
cap --time 5 --size 16x16 -o shots.PNG 2>shots.err; st=$?
check "a frame into an existing directory: refused, status 2 ($(head -n 1 shots.err))" '[ $st -eq 2 ] && [ "$(ls shots.PNG | wc -l)" -eq 2 ]'

report
