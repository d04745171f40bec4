#!/usr/bin/env bash
# capture_editor_test.sh - vexa-capture's exports for an edit suite, checked
# with ffprobe and by decoding: the closing with alpha (ProRes 4444, VP9,
# RGBA PNG), timecode tracks, ProRes frame headers, the leader's beeps and
# their level, the words as WebVTT / SubRip cues, and the refusals. Needs
# VEXA_CAPTURE, VEXA_BUILD, ffmpeg and ffprobe; no X display.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

cap() { "$VEXA_CAPTURE" --seed 3 --size 320x240 "$@" 2>>cap.err; }
# alpha_at FILE FRAME X Y [DECODER...]: the alpha of one pixel of a decoded frame.
alpha_at() {
  local f=$1 n=$2 x=$3 y=$4
  shift 4
  ffmpeg -v error "$@" -i "$f" -vf "select=eq(n\,$n)" -frames:v 1 -f rawvideo -pix_fmt rgba - |
    od -An -v -tu1 -w4 | awk -v at=$((y * 320 + x)) 'NR - 1 == at { print $4 }'
}
# rgb FILE: the picture as raw RGB, composited over black first when it has alpha.
rgb() {
  ffmpeg -v error -i "$1" -filter_complex "color=black:s=320x240[b];[b][0]overlay=format=rgb" -frames:v 1 \
    -f rawvideo -pix_fmt rgb24 -
}
maxdiff() { paste <(rgb "$1" | od -An -v -tu1 -w1) <(rgb "$2" | od -An -v -tu1 -w1) |
  awk '{ d = $1 - $2; if (d < 0) d = -d; if (d > m) m = d } END { print m + 0 }'; }

# Alpha in both video kinds at 10500 ms (frame 30 from 9000 at 20 fps): the
# stem of the caption's F is opaque, the corner where nothing is drawn clear.
# ffmpeg's own VP9 decoder drops alpha, so libvpx decodes the WebM.
cap --from 9000 --alpha --timecode 01:00:00:00 --fps 20 --to 11000 --out credits.mov
check "ProRes 4444 with alpha and a 01:00:00:00 timecode track" \
  '[ "$(ffprobe -v error -show_entries stream=codec_tag_string,profile,pix_fmt:stream_tags=timecode -of csv=p=0 credits.mov | tr "\n" " ")" = \
     "4444,ap4h,yuva444p12le,01:00:00:00 unknown,tmcd,01:00:00:00 " ]'
cap --from 9000 --alpha --fps 20 --to 11000 --out credits.webm
for f in "credits.mov" "credits.webm -c:v libvpx-vp9"; do
  read -r video decoder <<<"$f"
  stem=$(alpha_at $video 30 113 110 $decoder) corner=$(alpha_at $video 30 5 5 $decoder)
  check "$video: caption opaque ($stem), corner clear ($corner) at 10500 ms" '[ "$stem" -ge 250 ] && [ "$corner" -le 3 ]'
done

# An RGBA frame over black is the opaque frame without the photo, to a level
# everywhere: straight colour, coverage as drawn, the fade as transparency.
cap --alpha --fps 1 --from 12500 --to 12501 --out frames/
cap --time 12500 --out o12500.png
cap --alpha --time 15000 --out a15000.png
cap --time 15000 --out o15000.png
check "RGBA PNGs" '[ "$(for f in frames/frame-00000.png a15000.png; do ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 $f; done | sort -u)" = rgba ]'
check "12500 ms over black = the opaque frame ($(maxdiff frames/frame-00000.png o12500.png))" \
  '[ "$(maxdiff frames/frame-00000.png o12500.png)" -le 1 ]'
check "15000 ms, the fade, over black = the opaque frame ($(maxdiff a15000.png o15000.png))" \
  '[ "$(maxdiff a15000.png o15000.png)" -le 1 ]'
check "the fade leaves nothing where nothing is drawn" '[ "$(alpha_at a15000.png 0 5 5)" = 0 ]'
# The leader is opaque; --fit's bars beside it are not: 240x180 of 320x180.
cap --alpha --fit --size 320x180 --time 5000 --out leader.png
opaque=$(ffmpeg -v error -i leader.png -f rawvideo -pix_fmt rgba - | od -An -v -tu1 -w4 |
  awk '$4 == 255 { o++ } $4 == 0 { c++ } END { print o + 0, c + 0 }')
check "the leader opaque, the bars clear ($opaque)" '[ "$opaque" = "43200 14400" ]'

# Timecode: drop-frame at 29.97 as written, at the video's own rate; the
# default start elsewhere; a tag in Matroska. ProRes frame headers say BT.709.
cap --fps 29.97 --to 200 --timecode '01:00:00;00' --out df.mov
cap --fps 25 --to 200 --out plain.mov
cap --fps 25 --to 200 --timecode 10:00:00:00 --out tc.mkv
check "drop-frame 01:00:00;00 at 30000/1001" '[ "$(ffprobe -v error -show_entries stream=codec_tag_string,r_frame_rate:stream_tags=timecode -of csv=p=0 df.mov | tr "\n" " ")" = \
  "apch,30000/1001,01:00:00;00 tmcd,0/0,01:00:00;00 " ]'
# At 59.94 a minute not divisible by ten starts at label 04 (00 to 03 are
# skipped); every tenth starts at 00.
for tc in '00:01:00;04' '00:10:00;00'; do
  cap --fps 59.94 --to 100 --timecode "$tc" --size 64x48 --out "df60-${tc%%:*}${tc:3:2}.mov"
  check "drop-frame $tc at 60000/1001" \
    '[ "$(ffprobe -v error -select_streams d -show_entries stream_tags=timecode -of csv=p=0 "df60-${tc%%:*}${tc:3:2}.mov")" = "$tc" ]'
done
check "00:00:00:00 by default" '[ "$(ffprobe -v error -select_streams d -show_entries stream_tags=timecode -of csv=p=0 plain.mov)" = 00:00:00:00 ]'
# An MP4 has a timecode track only when asked: a data track would keep
# ffmpeg from copying every stream into Matroska.
cap --fps 25 --to 200 --size 64x48 --out plain.mp4
cap --fps 25 --to 200 --size 64x48 --timecode 01:00:00:00 --out tc.mp4
check "no timecode track in a plain MP4, which copies whole into Matroska" \
  '[ -z "$(ffprobe -v error -select_streams d -show_entries stream=index -of csv=p=0 plain.mp4)" ] &&
   ffmpeg -v error -i plain.mp4 -map 0 -c copy plain-copy.mkv'
check "a timecode track in an MP4 when asked" \
  '[ "$(ffprobe -v error -select_streams d -show_entries stream_tags=timecode -of csv=p=0 tc.mp4)" = 01:00:00:00 ]'
check "a TIMECODE tag in Matroska" '[ "$(ffprobe -v error -show_entries format_tags=timecode -of csv=p=0 tc.mkv)" = 10:00:00:00 ]'
for f in plain.mov credits.mov; do
  check "$f: BT.709 in the ProRes frame headers" '[ "$(ffprobe -v error -select_streams v:0 -show_entries frame=color_primaries,color_transfer,color_space \
    -of csv=p=0 "$f" | sort -u)" = bt709,bt709,bt709 ]'
done

# Beeps at the first frame of each second of the leader, the pop on the same
# frame as the 3 s beep giving one tone, at -20 dBFS; stereo PCM.
# tones FILE: onset sample, length and peak of each tone, on one line.
tones() {
  ffmpeg -v error -i "$1" -map 0:a -f s16le -ac 1 - | od -An -v -td2 -w2 |
    awk '{ a = $1 < 0 ? -$1 : $1 }
         a > 30 { if (!on) { s = NR - 1; on = 1; p = 0 } last = NR - 1; if (a > p) p = a }
         a <= 30 && on && NR - 1 - last > 100 { printf "%d %d %d ", s, last - s + 1, p; on = 0 }
         END { if (on) printf "%d %d %d ", s, last - s + 1, p }'
}
cap --fps 29.97 --to 9500 --beep --pop --size 64x48 --out beep.mov
read -r -a t <<<"$(tones beep.mov)"
frames="" dbfs=""
for ((i = 0; i < ${#t[@]}; i += 3)); do
  frames+="$(((t[i] * 30000 + 24000 * 1001 - 1) / (48000 * 1001))) "   # the frame the onset starts, to a sample
  dbfs+="$(awk -v p="${t[i + 2]}" 'BEGIN { printf "%.1f", 20 * log(p / 32768) / log(10) }') "
done
check "beeps at frames 0 30 ... 240, one frame long ($frames; ${t[1]:-} samples)" \
  '[ "$frames" = "0 30 60 90 120 150 180 210 240 " ] && [ "${t[1]}" -ge 1600 ] && [ "${t[1]}" -le 1602 ]'
check "each at -20 dBFS to 0.5 dB ($dbfs)" \
  '[ -n "$dbfs" ] && [ -z "$(echo $dbfs | tr " " "\n" | awk "\$1 < -20.5 || \$1 > -19.5")" ]'
check "stereo PCM" '[ "$(ffprobe -v error -select_streams a -show_entries stream=codec_name,channels -of csv=p=0 beep.mov)" = pcm_s16le,2 ]'
# Every kind, read back (beep.mov above, the others over the first four
# seconds): the tones (those longer than half a frame; a lossy codec adds
# faint crumbs), each at its frame's first sample to a millisecond, its peak
# at -20 dBFS to 0.5 dB.
for out in beep.mov tone.mp4 tone.mkv tone.webm tone/; do
  [ "$out" = beep.mov ] || cap --fps 29.97 --to 3100 --beep --pop --size 16x16 --out $out
  file=$out
  [ "${out%/}" = "$out" ] || file=${out}audio.wav
  got=$(tones "$file" | awk '{ for (i = 1; i < NF; i += 3) if ($(i + 1) > 800) {
    d = $i - 48048 * n++; if (d < 0) d = -d
    if (d > 48 || $(i + 2) < 3094 || $(i + 2) > 3471) bad = bad " " n - 1 ":" $i "," $(i + 2) } }
    END { print n + 0 bad }')
  want=$([ "$out" = beep.mov ] && echo 9 || echo 4)
  check "$out: $want tones on their frames at -20 dBFS (count, then the tones off: $got)" '[ "$got" = "$want" ]'
done
# -70 dBFS, the floor, holds in 16 bits to 0.5 dB.
cap --fps 25 --from 2900 --to 3100 --pop --tone-level -70 --size 32x24 --out quiet/
peak=$(ffmpeg -v error -i quiet/audio.wav -f s16le -ac 1 - | od -An -v -td2 -w2 |
  awk '{ a = $1 < 0 ? -$1 : $1; if (a > p) p = a } END { printf "%.2f", 20 * log(p / 32768) / log(10) }')
check "--tone-level -70 peaks at $peak dBFS" '[ "$(awk -v l="$peak" "BEGIN { print (l >= -70.5 && l <= -69.5) }")" = 1 ]'
cap --fps 25 --from 2900 --to 3100 --pop --tone-level -6.5 --size 32x24 --out wav/
read -r -a t <<<"$(tones wav/audio.wav)"
level=$(awk -v p="${t[2]:-1}" 'BEGIN { printf "%.2f", 20 * log(p / 32768) / log(10) }')
check "--tone-level -6.5: audio.wav peaks at $level dBFS, stereo" \
  '[ "$(awk -v l=$level "BEGIN { print (l >= -7 && l <= -6) }")" = 1 ] && [ "$(ffprobe -v error -show_entries stream=channels -of csv=p=0 wav/audio.wav)" = 2 ]'

# Cues: ffmpeg reads them; each span is the show's timeline (literals here),
# from 9000 ms, clipped at --to 15000, to one frame (40 ms at 25 fps).
cap --fps 25 --from 9000 --to 15000 --cues cues.srt --out cued.mkv
cap --fps 25 --from 9000 --to 15000 --title 'Ende & <aus>' --cues cues.vtt --out cued/
spans() { ffprobe -v error -show_entries packet=pts_time,duration_time -of csv=p=0 "$1" | tr '\n' ' '; }
timeline="1 6 2 6 2.6 4 2.7 4 2.8 4 2.9 4 3 4 3.1 4 3.2 4"
for f in cues.vtt cues.srt; do
  got=$(spans $f)
  check "$f: the show's timeline to a frame ($got)" '[ "$(awk -v got="$got" -v want="$timeline" "BEGIN {
    n = split(got, g, \"[ ,]+\"); m = split(want, w, \" \"); if (n - 1 != m) exit
    for (i = 1; i <= m; i += 2) { d1 = g[i] - w[i]; d2 = g[i] + g[i + 1] - w[i + 1]
      if (d1 < 0 || d1 >= 0.04 || d2 < 0 || d2 >= 0.04) exit }
    print \"ok\" }")" = ok ]'
done
check "the words: default artwork, own title (escaped in WebVTT)" \
  '[ "$(sed -n 3p cues.srt)" = FIN ] && [ "$(sed -n 4p cues.vtt)" = "Ende &amp; &lt;aus&gt;" ]'

# Bad input: one line, status 2, nothing written; each row in a directory
# of its own, so that one that writes does not fail the rows after it.
row=0
while read -r args; do
  row=$((row + 1))
  mkdir "bad$row" && cd "bad$row" || exit 1
  "$VEXA_CAPTURE" --size 64x48 $args 2>err
  st=$?
  check "refused: $args (status $st: $(head -1 err))" \
    '[ $st = 2 ] && [ "$(grep -c "^vexa-capture: " err)" = 1 ] && [ "$(ls)" = err ]'
  cd ..
done <<'TABLE'
--timecode 25:00:00:00 -o x.mov
--timecode 24:00:00:00 -o x.mov
--timecode 01:00:00:30 -o x.mov
--fps 25 --timecode 01:00:00;00 -o x.mov
--fps 29.97 --timecode 01:01:00;01 -o x.mov
--fps 59.94 --timecode 01:01:00;03 -o x.mov
--fps 23.976 --timecode 01:00:00;00 -o x.mov
--fps 90000/1001 --timecode 01:00:00;00 -o x.mov
--fps 12.5 --timecode 00:00:00:00 -o x.mov
--timecode 01:00:00:00 -o x.webm
--alpha -o x.mp4
--alpha -o x.mkv
--alpha --photo -o x.mov
--alpha --sheet -o x.png
--beep --tone-level 0.5 -o x.mov
--beep --tone-level -70.5 -o x.mov
--cues x.txt -o x.mov
--cues x.vtt --tex ../tex -o x.mov
TABLE

report
