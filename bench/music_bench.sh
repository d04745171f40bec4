#!/usr/bin/env bash
# music_bench.sh - what a music bed costs a 720p export: vexa-capture over the
# whole show to a 1280x720 MP4, with and without --music (a three-minute song
# made here as MP3, so decoding is real work), rounds side by side, medians
# of the wall time, and the cost in per cent. Only reports; run by
# script/bench music.
#
#   bench/music_bench.sh BUILD_DIR [ROUNDS]    (BUILD_DIR holds vexa-capture and tex/)
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-3}
cap=$build/vexa-capture
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ln -s "$build/tex" tex
ffmpeg -nostdin -v error -f lavfi -i "sine=f=220:d=180,volume=0.3" -f lavfi -i "anoisesrc=d=180:a=0.05" \
  -filter_complex amix=inputs=2 -ac 2 -b:a 192k song.mp3
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms() { local t0; t0=$(date +%s%N); "$@" >/dev/null; echo $(( ($(date +%s%N) - t0) / 1000000 )); }
plain=() music=()
for _ in $(seq "$rounds"); do
  plain+=("$(ms "$cap" --seed 1 --size 1280x720 --out plain.mp4)")
  music+=("$(ms "$cap" --seed 1 --size 1280x720 --music song.mp3 --out music.mp4)")
done
p=$(median "${plain[@]}") m=$(median "${music[@]}")
echo "720p MP4 of the whole show: ${p} ms without music, ${m} ms with (medians of $rounds: ${plain[*]} / ${music[*]})"
awk -v p="$p" -v m="$m" 'BEGIN { printf "music costs %+.1f%% (goal: at most +10%%)\n", (m - p) * 100 / p }'
