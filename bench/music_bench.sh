#!/usr/bin/env bash
# music_bench.sh - what a music bed costs a 720p export: vexa-capture over the
# whole show to a 1280x720 MP4, with and without --music (a three-minute song
# made here as MP3, so decoding is real work), rounds side by side, medians
# of the wall time and of the CPU time (the program and its ffmpeg children:
# steadier than the wall time on a busy machine), and the cost in per cent.
# Only reports.
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
TIMEFORMAT='%R %U %S'
# run CMD...: "WALL_MS CPU_MS" of a run and its children.
run() { { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }'; }
pw=() pc=() mw=() mc=()
for _ in $(seq "$rounds"); do
  read -r w c < <(run "$cap" --seed 1 --size 1280x720 --out plain.mp4)
  pw+=("$w") pc+=("$c")
  read -r w c < <(run "$cap" --seed 1 --size 1280x720 --music song.mp3 --out music.mp4)
  mw+=("$w") mc+=("$c")
done
cost() { awk -v p="$1" -v m="$2" 'BEGIN { printf "%+.1f%%", (m - p) * 100 / p }'; }
echo "720p MP4 of the whole show, medians of $rounds (goal: music costs at most +10%):"
echo "  wall: $(median "${pw[@]}") ms without music, $(median "${mw[@]}") ms with: $(cost "$(median "${pw[@]}")" "$(median "${mw[@]}")")"
echo "  CPU:  $(median "${pc[@]}") ms without music, $(median "${mc[@]}") ms with: $(cost "$(median "${pc[@]}")" "$(median "${mc[@]}")")"
