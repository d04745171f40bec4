#!/usr/bin/env bash
# capture_export_test.sh - what vexa-capture exports, checked with ffprobe and
# by decoding: the kind of output its name asks for, a video's container
# (index first, BT.709 conversion and tags, exact rate, span), the sync pop's
# place in the sound track, and the seed it reports. Needs VEXA_CAPTURE (the
# tool), VEXA_BUILD (where tex/ is), ffmpeg and ffprobe; no X display.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

cap() { "$VEXA_CAPTURE" --seed 5 "$@"; }
probe() {  # probe FILE ENTRIES: ffprobe's values for the first video stream, one line
  ffprobe -v error -select_streams v:0 -show_entries "$2" -of csv=p=0 "$1"
}

# The kind of output from the name, in any case; anything else refused with
# status 2 before anything is drawn. KIND is what the file turns out to be:
# the video codec, "png", "frames" (a directory of numbered PNGs) or "refused".
mkdir existing
while read -r name kind; do
  rm -rf out.err -- *.png *.PNG *.mp4 *.MP4 *.mkv *.webm *.MoV *.avi frames/ existing/* -
  case "$name" in *.png | *.PNG) set -- --time 100 ;; *) set -- --fps 10 --to 200 ;; esac
  cap "$@" --size 32x24 --out "$name" 2>out.err
  st=$?
  case "$kind" in
    refused) got=$([ $st -eq 2 ] && grep -q "^vexa-capture: " out.err && [ ! -e "$name" ] && echo refused) ;;
    png) got=$([ $st -eq 0 ] && [ "$(od -An -c -j 1 -N 3 "$name" | tr -d ' ')" = PNG ] && echo png) ;;
    frames) got=$([ $st -eq 0 ] && [ "$(ls "$name")" = "$(printf 'frame-00000.png\nframe-00001.png')" ] && echo frames) ;;
    *) got=$([ $st -eq 0 ] && probe "$name" stream=codec_name) ;;
  esac
  check "--out $name makes $kind (got '$got', status $st: $(head -c 200 out.err))" '[ "$got" = "$kind" ]'
done <<'TABLE'
x.png png
X.PNG png
v.mp4 h264
V.MP4 h264
v.mkv h264
v.webm vp9
v.MoV prores
frames/ frames
existing frames
show.avi refused
frames refused
- refused
v.mp4.txt refused
.mp4 refused
TABLE

# A short MP4 at 29.97: the index before the data, BT.709 throughout, the
# exact NTSC rate, and the span's length. Lossless (--crf 0), so the first
# frame's luma is exactly the BT.709 conversion of the same show time's PNG.
cap --fps 29.97 --from 2000 --to 4000 --crf 0 --size 64x48 --out v.mp4
check "the index comes before the media data" \
  '[ "$(grep -obUa -m1 moov v.mp4 | cut -d: -f1)" -lt "$(grep -obUa -m1 mdat v.mp4 | cut -d: -f1)" ]'
tags=$(probe v.mp4 stream=pix_fmt,color_range,color_space,color_transfer,color_primaries)
check "yuv420p tagged BT.709, limited range ($tags)" '[ "$tags" = "yuv420p,tv,bt709,bt709,bt709" ]'
rate=$(probe v.mp4 stream=r_frame_rate,avg_frame_rate,nb_frames,duration)
check "30000/1001 exactly, 60 frames in 2.002 s ($rate)" '[ "$rate" = "30000/1001,30000/1001,2.002000,60" ]'
cap --time 2000 --size 64x48 --out f.png
luma() { head -c $((64 * 48)) | md5sum; }
check "converted with the BT.709 matrix to limited range" '[ "$(ffmpeg -v error -i v.mp4 -frames:v 1 -f rawvideo -pix_fmt yuv420p - | luma)" = \
  "$(ffmpeg -v error -i f.png -vf scale=out_color_matrix=bt709:out_range=tv,format=yuv420p -f rawvideo - | luma)" ]'
cap --fps 10 --from 15500 --size 64x48 --out end.webm
check "--to defaults to the end of the show" '[ "$(probe end.webm stream=color_space,color_primaries):$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 end.webm)" = "bt709,bt709:5" ]'

# The sync pop: one frame of 1 kHz at the first frame at or after 3000 ms.
# tone FILE: the first and last sample louder than a third of the tone's
# peak (-20 dBFS, 3277), at 48 kHz.
tone() {
  ffmpeg -v error -i "$1" -map 0:a -f s16le -ac 1 -ar 48000 - | od -An -v -td2 -w2 |
    awk '{ if ($1 > 1092 || $1 < -1092) { if (first == "") first = NR - 1; last = NR - 1 } }
         END { print (first == "" ? "none" : first " " last) " " NR }'
}
# 29.97 from 2000: frame 30 is the first at 3001 ms, 1.001 s into the video.
cap --pop --fps 29.97 --from 2000 --to 4000 --size 64x48 --out pop.mp4
read -r first last total <<<"$(tone pop.mp4)"
check "AAC track, the tone starts at 1001 ms (sample $first)" '[ "$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate -of csv=p=0 pop.mp4)" = aac,48000 ] && [ $((first / 48)) -eq 1001 ]'
check "and lasts one frame, 33 ms (to sample $last)" '[ $(((last - first) / 48)) -eq 33 ]'
# 24 fps from 2990: frame 1 (3031 ms) is the first; the WAV is exact (the
# tone eased in over its first 8 samples).
cap --pop --fps 24 --from 2990 --to 3100 --size 32x24 --out popframes/
read -r first last total <<<"$(tone popframes/audio.wav)"
check "audio.wav beside the frames: samples 2000-3999 of 3 frames' 6000 ($first $last $total)" \
  '[ "$first" -ge 2000 ] && [ "$first" -lt 2008 ] && [ "$total" = 6000 ] && [ "$last" -ge 3990 ] && [ "$last" -lt 4000 ]'
cap --pop --fps 24 --from 5000 --to 5100 --size 32x24 --out silent.mov
check "a span without the pop gets a silent PCM track" \
  '[ "$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_name -of csv=p=0 silent.mov)" = pcm_s16le ] && [ "$(tone silent.mov)" = "none 6000" ]'
cap --pop --fps 30 --from 2900 --to 3100 --size 32x24 --out pop.webm
check "Opus in WebM" '[ "$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_name -of csv=p=0 pop.webm)" = opus ]'

# Without --seed, the seed used is reported, and gives the same picture again.
"$VEXA_CAPTURE" --time 12500 --size 64x48 --out s1.png 2>seed.err
seed=$(sed -n 's/^vexa-capture: seed \([0-9][0-9]*\)$/\1/p' seed.err)
"$VEXA_CAPTURE" --time 12500 --size 64x48 --seed "${seed:-x}" --out s2.png 2>/dev/null
check "the seed is reported on one line ($(head -c 100 seed.err)) and repeats the picture" \
  '[ -n "$seed" ] && [ "$(wc -l <seed.err)" -eq 1 ] && cmp -s s1.png s2.png'

report
