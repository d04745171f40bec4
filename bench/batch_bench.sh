#!/usr/bin/env bash
# batch_bench.sh - vexa-capture --batch against the same videos made by
# separate runs one after another: 16 short videos (320x240, 1 s of the
# closing sequence at 30 fps, each with a title of its own), three rounds
# side by side, medians; with the CPU time the separate runs take (how many
# cores they keep busy alone: the batch can gain at most the cores left
# idle, and nothing on a machine that other work keeps busy). Then the fixed
# cost of one video in ms, wall and CPU (medians of five): start-up
# (process, GL context, artwork loaded, one frame written), building the
# artwork from a title, starting ffmpeg and finishing a video, and the
# ffprobe check alone. Then the artwork part of a row in a batch: a one-row
# list with a title of its own (the cards, the photo and the strips from the
# batch's cache, warm) against the same row with no artwork work. Only reports; run
# by script/bench.
#
#   bench/batch_bench.sh BUILD_DIR       (BUILD_DIR holds vexa-capture and tex/)
set -euo pipefail
build=$(cd "$1" && pwd)
cap=$build/vexa-capture
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ln -s "$build/tex" tex
video=(--size 320x240 --from 9000 --to 10000 --fps 30)
rows=16
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

mkdir list
{ echo out,title,seed; for i in $(seq 0 $((rows - 1))); do echo "v$i.mp4,Guest $i,$i"; done; } >list/l.csv
# wall_cpu CMD...: "WALL_MS CPU_MS" of a run and its children.
TIMEFORMAT='%R %U %S'
wall_cpu() { { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }'; }
separately() { for i in $(seq 0 $((rows - 1))); do "$cap" "${video[@]}" --title "Guest $i" --seed "$i" --out "sep/v$i.mp4"; done; }
batch=() separate=() cpu=()
for _ in 1 2 3; do
  rm -f list/*.mp4 && mkdir -p sep && rm -f sep/*
  read -r wall used < <(wall_cpu separately)
  separate+=("$wall") cpu+=("$used")
  read -r wall used < <(wall_cpu "$cap" --batch list/l.csv "${video[@]}")
  batch+=("$wall")
done
cmp -s list/v7.mp4 sep/v7.mp4 || echo "batch_bench: the batch's v7.mp4 differs from the separate run's" >&2
b=$(median "${batch[@]}") s=$(median "${separate[@]}") c=$(median "${cpu[@]}")
awk -v b="$b" -v s="$s" -v c="$c" -v n="$rows" -v j="$(nproc)" -v l="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
  printf "  %d videos: batch (--jobs %d) %.1f s, separate runs %.1f s = %.2f x faster\n", n, j, b / 1000, s / 1000, s / b
  printf "  the separate runs: %.1f CPU-s, %.2f cores busy; load average at the end %s\n", c / 1000, c / s, l }'

# Fixed costs, wall and CPU (the CPU time holds on a busy machine too).
startup=() art=() encoder=() check=() startup_cpu=() art_cpu=() encoder_cpu=() check_cpu=()
for _ in 1 2 3 4 5; do
  read -r w c < <(wall_cpu "$cap" --seed 1 --size 64x48 --time 9000 --out f.png)
  startup+=("$w") startup_cpu+=("$c")
  read -r w c < <(wall_cpu "$cap" --seed 1 --size 64x48 --time 9000 --title Guest --out f.png)
  art+=("$w") art_cpu+=("$c")
  read -r w c < <(wall_cpu "$cap" --seed 1 --size 64x48 --from 9000 --to 9001 --out one.mp4)
  encoder+=("$w") encoder_cpu+=("$c")
  read -r w c < <(wall_cpu ffprobe -v quiet -select_streams v:0 -count_packets -show_entries stream=nb_read_packets \
                    -of csv=p=0 file:one.mp4)
  check+=("$w") check_cpu+=("$c")
done
st=$(median "${startup[@]}") stc=$(median "${startup_cpu[@]}")
ch=$(median "${check[@]}") chc=$(median "${check_cpu[@]}")
ar=$(median "${art[@]}") arc=$(median "${art_cpu[@]}")
en=$(median "${encoder[@]}") enc=$(median "${encoder_cpu[@]}")
echo "  fixed cost of one video, wall (CPU) in ms: start-up $st ($stc), artwork from a title $((ar - st)) ($((arc - stc))),"
echo "  ffmpeg start to a finished one-frame video $((en - st - ch)) ($((enc - stc - chc))), the ffprobe check $ch ($chc)"

# The artwork part of a row in a batch, the shared pictures in the cache.
mkdir one
printf 'out,title\nr.png,Guest\n' >one/title.csv
printf 'out\nr.png\n' >one/none.csv
row=(--seed 1 --size 64x48 --time 9000 --force)
for _ in 1 2; do  # fills the cache: the strips are kept once a second run asks
  "$cap" --batch one/title.csv "${row[@]}" >/dev/null 2>&1
done
titled=() plain=() titled_cpu=() plain_cpu=()
for _ in 1 2 3 4 5; do
  read -r w c < <(wall_cpu "$cap" --batch one/title.csv "${row[@]}")
  titled+=("$w") titled_cpu+=("$c")
  read -r w c < <(wall_cpu "$cap" --batch one/none.csv "${row[@]}")
  plain+=("$w") plain_cpu+=("$c")
done
ti=$(median "${titled[@]}") tic=$(median "${titled_cpu[@]}") pl=$(median "${plain[@]}") plc=$(median "${plain_cpu[@]}")
echo "  the artwork part of a batch row with its own title (cache warm), wall (CPU): $((ti - pl)) ms ($((tic - plc)) ms);"
echo "  the row $ti ms against $pl ms with no artwork work"
