#!/usr/bin/env bash
# capture_timing_test.sh - vexa-capture's timing and credits options: bad
# values refused before drawing (status 2 naming the option), bad credits
# files (status 1 naming the file and line), the span following the show's
# length, and the cues of a credits roll at its lines' times.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

# refused STATUS "FIRST LINE OF STDERR" ARGS...: nothing written.
refused() {
  local want=$1 said=$2
  shift 2
  rm -f a.png
  "$VEXA_CAPTURE" --seed 1 --size 16x12 "$@" >/dev/null 2>err.txt
  check "status $want, \"$said\": $*" '[ $? -eq "$want" ] && [ "$(head -n 1 err.txt)" = "$said" ] && [ ! -e a.png ]'
}

refused 2 "vexa-capture: --count-from must be at least --count-to: 1 < 3" --count-from 1 --count-to 3 -t 5 -o a.png
refused 2 "vexa-capture: --count-ms wants a length from 250 to 5000 ms: 249" --count-ms 249 -t 5 -o a.png
refused 2 "vexa-capture: --count-from wants a number from -99 to 99: 100" --count-from 100 -t 5 -o a.png
refused 2 "vexa-capture: --count-to wants a number from -99 to 99: -100" --count-to -100 -t 5 -o a.png
refused 2 "vexa-capture: --card wants flash or hold: wipe" --card wipe -t 5 -o a.png
refused 2 "vexa-capture: --closing-ms wants a length from 4000 to 600000 ms, or music: 3999" --closing-ms 3999 -t 5 -o a.png
refused 2 "vexa-capture: --part wants leader or closing: middle" --part middle -o d/
refused 2 "vexa-capture: --part leader: the show has no leader (--no-leader)" --part leader --no-leader -o d/
refused 2 "vexa-capture: --time wants a show time from 0 to 15999 ms: 16000" -t 16000 -o a.png
refused 2 "vexa-capture: --time wants a show time from 0 to 6999 ms: 7000" --no-leader -t 7000 -o a.png
# An artwork directory whose show.vexa.json closes in 21000 ms: the times are the document's.
mkdir long && ln -s "$VEXA_BUILD"/tex/*.bmp long/ && echo '{"vexa": 1, "timing": {"closing_ms": 21000}}' >long/show.vexa.json
refused 2 "vexa-capture: --time wants a show time from 0 to 29999 ms: 30000" --tex long -t 30000 -o a.png
refused 2 "vexa-capture: --from wants a show time from 0 to 29999 ms: 30000" --tex long --from 30000 -o d/
refused 2 "vexa-capture: --to wants a show time from 1 to 30000 ms: 30001" --tex long --to 30001 -o d/
"$VEXA_CAPTURE" --seed 1 --size 16x12 --tex long -t 29999 -o a.png 2>err.txt
check "a --time inside the document's closing beside --tex is taken" '[ $? -eq 0 ] && [ -s a.png ]'
rm -f a.png
"$VEXA_CAPTURE" --seed 1 --size 16x12 --tex long --from 29000 --fps 2 -o span/ 2>err.txt
check "--from inside it too, the span to its end" '[ $? -eq 0 ] && [ "$(ls span/frame-*.png | wc -l)" -eq 2 ]'

mkfifo fifo.txt
printf 'ok\n\xff\n' >bad.txt
seq 501 >many.txt
printf 'Director of Photography\tSomeone With A Very Long Name\n' >wide.txt
refused 1 "vexa-capture: fifo.txt: not a regular file" --credits fifo.txt -t 5 -o a.png
refused 1 "vexa-capture: bad.txt: line 2: not one line of UTF-8 text" --credits bad.txt -t 5 -o a.png
refused 1 "vexa-capture: many.txt: line 501: more than 500 credits" --credits many.txt -t 5 -o a.png
refused 1 "vexa-capture: wide.txt: line 1: too wide for the frame (aspect 0.562) at the credits' size" \
  --credits wide.txt -t 5 -o a.png

# Three credits lengthen the show to 9000 + 5000 + (3 + 22) * 400 + 2000 ms:
# frames at 5 fps up to its end, and a cue per line from entering the frame
# (14000 + (k + 2) * 400) to leaving it 21 pitches of 400 ms later.
printf 'Ada\nRole\tBea\nCy \xe2\x80\x94 Dee\n' >three.txt
"$VEXA_CAPTURE" --seed 1 --size 16x12 --fps 5 --credits three.txt --cues roll.vtt -o frames/ 2>err.txt
check "the roll's frames and cues are written" '[ $? -eq 0 ]'
check "frames up to the show's end, 26000 ms" '[ "$(ls frames/frame-*.png | wc -l)" -eq 130 ]'
check "a cue per credit line at its time" \
  '[ "$(tail -n 8 roll.vtt)" = "00:00:14.800 --> 00:00:23.200
Ada

00:00:15.200 --> 00:00:23.600
Role — Bea

00:00:15.600 --> 00:00:24.000
Cy — Dee" ]'
"$VEXA_CAPTURE" --seed 1 --size 16x12 --fps 5 --count-from 3 --count-to 1 --count-ms 500 --part leader -o lead/
check "--part leader: the three counts, 1500 ms" '[ "$(ls lead/frame-*.png | wc -l)" -eq 8 ]'

# A show ending with its music: 12.5 s of tone and no leader make a 12500 ms
# show (the default closing is 7000), its fade from 10500 to black at the end.
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=12.5 -ac 2 tone.wav
refused 2 "vexa-capture: --closing-ms music (\"closing_ms\": \"music\") wants a music (--music FILE)" \
  --closing-ms music -t 5 -o a.png
song=(--seed 1 --no-leader --closing-ms music --music tone.wav)
"$VEXA_CAPTURE" "${song[@]}" --size 64x48 --fps 10 -o song.mp4 2>err.txt
check "a video of the show ending with its music" '[ $? -eq 0 ]'
check "its 125 frames, 12.5 s, as the music" \
  '[ "$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 song.mp4)" = 125 ]'
# The brightest luma of a picture at a show time.
brightest() {
  "$VEXA_CAPTURE" "${song[@]}" --size 64x48 -t "$1" -o "at-$1.png" &&
    ffprobe -v error -f lavfi -i "movie=at-$1.png,signalstats" -show_entries frame_tags=lavfi.signalstats.YMAX -of csv=p=0
}
check "the captions before the fade (10000 ms)" '[ "$(brightest 10000)" -gt 150 ]'
check "black at the new end (12490 ms)" '[ "$(brightest 12490)" -lt 24 ]'
report
