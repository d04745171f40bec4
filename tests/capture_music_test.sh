#!/usr/bin/env bash
# capture_music_test.sh - vexa-capture's music bed as sound, read back from
# the files it writes: the loudness asked (ffmpeg's ebur128 filter), the
# fade-out reaching silence at the show's end, the loop's join without a
# click, the start offset's marker landing on its sample, the pop and the
# beeps where and as loud as without music, the music in every kind of
# output, --from/--to trimming it to the sample, a batch list's music
# column, and the refusals. Needs VEXA_CAPTURE, VEXA_BUILD, ffmpeg; no X display.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

cap() { "$VEXA_CAPTURE" --seed 3 --size 64x48 --fps 10 "$@"; }
gen() { ffmpeg -nostdin -v error -y "$@"; }
# lufs FILE: the integrated loudness ffmpeg reads from its sound.
lufs() { ffmpeg -nostdin -i "$1" -map 0:a -af ebur128 -f null - 2>&1 | awk '/I:/ { v = $2 } END { print v }'; }
# pcm FILE: the left channel as 16-bit samples, one a line.
pcm() { ffmpeg -nostdin -v error -i "$1" -map 0:a -f s16le -ac 1 -af pan="mono|c0=c0" - | od -An -v -td2 -w2; }
near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }

gen -f lavfi -i "sine=f=440:d=20" tone.wav                                # 20 s: no loop in a 16 s show
gen -f lavfi -i "aevalsrc=exprs=0.3*sin(2*PI*442*t):s=48000:d=0.5" loop.wav  # 221 whole periods
gen -f lavfi -i "aevalsrc=exprs='if(eq(n\,72000)\,0.9\,0.001*sin(2*PI*100*t))':s=48000:d=20" marker.wav

# The asked loudness, no fades, no tones: every kind that has sound.
for out in a.mp4 a.mkv a.mov a.webm; do
  cap --music tone.wav --music-level -23 --fade-out 0 --out "$out" 2>>cap.err
  l=$(lufs "$out")
  check "$out: the music at -23 LUFS ($l)" 'near "$l" -23 0.5'
done
cap --music tone.wav --music-level -23 --fade-out 0 --out frames/ 2>>cap.err
l=$(lufs frames/audio.wav)
check "frames/audio.wav: the music at -23 LUFS ($l)" 'near "$l" -23 0.5'
cap --music tone.wav --out default.mov 2>>cap.err
l=$(lufs default.mov)
check "the default level: -16 LUFS, the fade-out counted ($l)" 'near "$l" -16.3 0.5'

# The default fade-out (2000 ms) ends with the show: the last 10 ms silent,
# half way down a second before the end; the join of a looped 0.5 s tone is
# a sine like any other sample (no step larger than the tone's own).
pcm default.mov >default.txt
tail_peak=$(tail -n 480 default.txt | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }')
full=$(awk 'NR > 48000 * 12 && NR <= 48000 * 13 { v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }' default.txt)
half=$(awk 'NR > 48000 * 15 - 240 && NR <= 48000 * 15 + 240 { v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }' default.txt)
check "faded out: the last 10 ms at most $tail_peak of $full, half way ($half) at 15 s" \
  '[ "$tail_peak" -le $((full / 50)) ] && near "$half" $((full / 2)) $((full / 20))'
cap --music loop.wav --fade-out 0 --out loop.mov 2>>cap.err
jump=$(pcm loop.mov | awk 'NR > 1 { d = $1 - p; if (d < 0) d = -d; if (d > m) m = d } { p = $1; v = $1 < 0 ? -$1 : $1; if (v > a) a = v } END { printf "%d %d\n", m, a }')
read -r step amp <<<"$jump"
check "looped: no step larger than the tone's own ($step at amplitude $amp)" \
  'awk -v s="$step" -v a="$amp" "BEGIN { exit !(a > 1000 && s <= a * 2 * 3.1416 * 442 / 48000 * 1.05 + 2) }"'

# The start offset: the click at 1.5 s of the file, started at 1000 ms, is
# heard 0.5 s into the show; from 200 ms on, at sample 14400.
peak_at() { pcm "$1" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) { m = v; at = NR - 1 } } END { print at }'; }
cap --music marker.wav --music-start 1000 --fade-out 0 --out m.mov 2>>cap.err
cap --music marker.wav --music-start 1000 --fade-out 0 --from 200 --to 3000 --out m2.mov 2>>cap.err
check "the marker at sample 24000 ($(peak_at m.mov)), trimmed at 14400 ($(peak_at m2.mov))" \
  '[ "$(peak_at m.mov)" = 24000 ] && [ "$(peak_at m2.mov)" = 14400 ]'

# --from/--to trims the show's sound to the sample: the span's samples are
# the whole show's, from 2000 ms (sample 96000) on.
cap --music tone.wav --from 2000 --to 4000 --out span.mov 2>>cap.err
pcm span.mov >span.txt
check "the span 2000-4000 is samples 96000-191999 of the whole show ($(wc -l <span.txt))" \
  '[ "$(wc -l <span.txt)" = 96000 ] && cmp -s span.txt <(sed -n 96001,192000p default.txt)'

# The pop and the beeps keep their frames and their level under the music:
# the mix less the music alone is the tones alone, to a sample's rounding.
cap --pop --beep --to 9000 --out tones.mov 2>>cap.err
cap --to 9000 --music tone.wav --music-level -30 --out music_only.mov 2>>cap.err
cap --pop --beep --to 9000 --music tone.wav --music-level -30 --out tones_music.mov 2>>cap.err
rest=$(paste <(pcm tones_music.mov) <(pcm music_only.mov) <(pcm tones.mov) |
  awk '{ d = $1 - $2 - $3; if (d < 0) d = -d; if (d > m) m = d; if ($3 > 3000) loud++ } END { print m + 0, loud + 0 }')
read -r worst loud <<<"$rest"
check "the tones as without music: the mix less the music off by at most $worst, $loud tone samples near their peak" \
  '[ "$worst" -le 2 ] && [ "$loud" -gt 1000 ]'

# A batch list's music column, relative to the list.
mkdir -p list/songs && cp tone.wav list/songs/ && printf 'out,music,music-level\nb.mp4,songs/tone.wav,-20\n' >list/l.csv
"$VEXA_CAPTURE" --batch list/l.csv --size 64x48 --fps 10 --fade-out 0 >/dev/null 2>batch.err
l=$(lufs list/b.mp4)
check "the batch's music column: -20 LUFS ($l)" 'near "$l" -20 0.5'

# Refusals: one line naming the file (status 1) or the option (status 2, and
# the pointer to --help), nothing written.
echo hello >text.wav
: >empty.wav
head -c 100000 tone.wav >cut.wav
mkfifo fifo.wav
mkdir nopath && ln -s "$(command -v ffprobe)" nopath/ffprobe
while read -r status args; do
  # shellcheck disable=SC2086
  cap $args --out r.mp4 >/dev/null 2>r.err
  st=$?
  check "$args: status $st ($(head -c 120 r.err))" \
    '[ $st = "$status" ] && [ "$(wc -l <r.err)" = "$status" ] && head -1 r.err | grep -q "^vexa-capture: " && [ ! -e r.mp4 ]'
done <<'TABLE'
1 --music text.wav
1 --music empty.wav
1 --music cut.wav
1 --music fifo.wav
1 --music missing.wav
1 --music http://example.org/a.mp3
1 --music concat:tone.wav|tone.wav
1 --music tone.wav --music-start 30000
2 --music tone.wav --music-level -50
2 --music tone.wav --music-level loud
2 --music tone.wav --fade-in 10001
2 --music tone.wav --fade-out -1
2 --music tone.wav --music-start 1.5
2 --music-level -20
TABLE
PATH=$PWD/nopath cap --music tone.wav --out r.mp4 >/dev/null 2>r.err
st=$?
check "without ffmpeg: refused ($(cat r.err))" '[ $st = 1 ] && [ ! -e r.mp4 ] && grep -q "cannot run ffmpeg" r.err'
check "nothing said on the runs that worked: $(head -3 cap.err)" '[ ! -s cap.err ]'
report
