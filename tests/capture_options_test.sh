#!/usr/bin/env bash
# capture_options_test.sh - vexa-capture's command line, one row a case: what
# it answers, its status, and whether it wrote its output. Needs
# VEXA_CAPTURE (the tool) and VEXA_BUILD (where tex/ is); no X display.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

# png_size FILE: "WxH" from the PNG header.
png_size() {
  od -An -tu1 -j 16 -N 8 "$1" | awk '{ printf "%dx%d", $1*2^24 + $2*2^16 + $3*2^8 + $4, $5*2^24 + $6*2^16 + $7*2^8 + $8 }'
}

# row STATUS EXPECTED ARGS...: runs the tool with ARGS in a clean directory.
#   status 2: stderr is EXPECTED then the pointer to --help, stdout is empty
#   status 0, EXPECTED a line: stdout starts with it, stderr is empty
#   status 0, EXPECTED "png FILE WxH": FILE is a PNG of that size, nothing said
# No file named *.png is left after a run that fails.
row() {
  local want=$1 expected=$2
  shift 2
  rm -rf -- *.png out.txt err.txt
  "$VEXA_CAPTURE" "$@" >out.txt 2>err.txt
  local status=$? ok=1 file size
  case "$want:$expected" in
    2:*) [ "$(cat err.txt)" = "$expected"$'\n'"Try 'vexa-capture --help' for more information." ] && [ ! -s out.txt ] &&
           ! ls ./*.png >/dev/null 2>&1 || ok=0 ;;
    0:png\ *) file=${expected#png } size=${file#* } file=${file% *}
           [ -f "$file" ] && [ "$(png_size "$file")" = "$size" ] && [ ! -s out.txt ] && [ ! -s err.txt ] || ok=0 ;;
    0:*) [ "$(head -n 1 out.txt)" = "$expected" ] && [ ! -s err.txt ] || ok=0 ;;
  esac
  if [ "$status" -eq "$want" ] && [ $ok -eq 1 ]; then
    passes=$((passes + 1))
  else
    fails=$((fails + 1))
    echo "FAIL: vexa-capture $* (status $status, wanted $want: $expected)"
    sed 's/^/  out: /' out.txt
    sed 's/^/  err: /' err.txt
  fi
}

# Answers.
row 0 "Usage: vexa-capture --time MS --out FRAME.png [OPTION]..." --help
row 0 "Usage: vexa-capture --time MS --out FRAME.png [OPTION]..." -h
row 0 "Usage: vexa-capture --time MS --out FRAME.png [OPTION]..." --time 5 --help --bogus
row 0 "vexa-capture $VEXA_VERSION" --version
row 0 "vexa-capture $VEXA_VERSION" -V

# The ways of giving an option.
row 0 "png a.png 16x8" --time 5 --size 16x8 --out a.png --seed 1
row 0 "png a.png 16x8" --time=5 --size=16x8 --out=a.png --seed 1
row 0 "png a.png 16x8" -t 5 -s 16x8 -o a.png --seed 1
row 0 "png a.png 16x8" -t5 -s16x8 -oa.png --seed 1
row 0 "png a.png 16x8" -o a.png --time 5 -s 16x8 --seed=3 --photo
row 0 "png a.png 16x8" --time 5 --si 16x8 --ou a.png --seed 1
row 0 "png a.png 16x8" --time 5 --size 0000016x8 --out a.png --seed 1
row 0 "png a.png 16x8" --time 5 --size 16x0000000000008 --out a.png --seed 1

# Refusals: one line, then the pointer to --help.
# The layouts: one of --adapt, --fit and --crop at most (a repeat is fine).
row 2 "vexa-capture: --fit and --crop exclude each other" --time 5 --fit --crop --out a.png
row 2 "vexa-capture: --adapt and --fit exclude each other" --time 5 --adapt --fit --out a.png
row 2 "vexa-capture: --crop and --fit exclude each other" --time 5 --crop --fit --adapt --out a.png
row 0 "png a.png 16x9" --time 5 --size 16x9 --crop --crop --seed 1 --out a.png

row 2 "vexa-capture: --out is required"
row 2 "vexa-capture: unknown option: --bogus" --time 5 --out x.png --bogus
row 2 "vexa-capture: unknown option: -x" --time 5 --out x.png -x
row 2 "vexa-capture: unknown option: -f" -f 5 --out dir
row 2 "vexa-capture: unknown option: --s" --s 5 --time 5 --out x.png
row 2 "vexa-capture: unexpected argument: x.png" --time 5 x.png
row 2 "vexa-capture: option takes no value: --photo=1" --photo=1 --time 5 --out x.png
row 2 "vexa-capture: --time wants a show time from 0 to 15999 ms: 16000" --time 16000 --out x.png
row 2 "vexa-capture: --time wants a show time from 0 to 15999 ms: 5s" --time 5s --out x.png
row 2 "vexa-capture: --time wants a show time from 0 to 15999 ms: -5" --time -5 --out x.png
row 2 "vexa-capture: --time wants a show time from 0 to 15999 ms: " --time= --out x.png
row 2 "vexa-capture: --time wants a show time from 0 to 15999 ms" --out x.png --time
row 2 "vexa-capture: --time wants a show time from 0 to 15999 ms" --out x.png -t
row 2 "vexa-capture: --out wants a path" --time 5 --out
row 2 "vexa-capture: --out wants a path: " --time 5 --out=
row 2 "vexa-capture: --tex wants a directory: " --time 5 --out x.png --tex ""
row 2 "vexa-capture: --fps wants a rate from 1 to 1000 (60, 12.5, 29.97, 30000/1001): 0" --fps 0 --out dir/
row 2 "vexa-capture: --fps wants a rate from 1 to 1000 (60, 12.5, 29.97, 30000/1001): 1001" --fps 1001 --out x.mp4
row 2 "vexa-capture: --fps wants a rate from 1 to 1000 (60, 12.5, 29.97, 30000/1001): 30/0" --fps 30/0 --out x.mp4
row 2 "vexa-capture: --from wants a show time from 0 to 15999 ms: 16000" --from 16000 --out x.mp4
row 2 "vexa-capture: --to wants a show time from 1 to 16000 ms: 16001" --to 16001 --out x.mp4
row 2 "vexa-capture: --from must come before --to" --from 9000 --to 9000 --out x.mp4
row 2 "vexa-capture: --crf wants a number from 0 to 63: 64" --crf 64 --out x.webm
row 2 "vexa-capture: --crf for H.264 is 0 to 51: 52" --crf 52 --out x.mkv
row 2 "vexa-capture: --crf is for .mp4, .mkv and .webm, not: x.mov" --crf 20 --out x.mov
row 2 "vexa-capture: --crf is for .mp4, .mkv and .webm, not: dir/" --crf 20 --out dir/
row 2 "vexa-capture: --jobs is for a directory of frames, not: x.mp4" --jobs 2 --out x.mp4
row 2 "vexa-capture: --jobs wants a number from 1 to 64: 0" --jobs 0 --out dir/
row 2 "vexa-capture: --pop is for a directory or a video, not: x.png" --pop --time 5 --out x.png
row 2 "vexa-capture: --to is for a directory or a video, not: x.png" --to 500 --sheet --out x.png
row 2 "vexa-capture: --size wants WIDTHxHEIGHT, each from 1 to 8192: 640x" --size 640x --time 5 --out x.png
row 2 "vexa-capture: --size wants WIDTHxHEIGHT, each from 1 to 8192: 0x480" --size 0x480 --time 5 --out x.png
row 2 "vexa-capture: --size wants WIDTHxHEIGHT, each from 1 to 8192: 8193x2" -s 8193x2 --time 5 --out x.png
for size in 2x8193 99999999999999999999x2 2x99999999999999999999 2x+2 2x-2 2x2x2 " 2x2"; do
  row 2 "vexa-capture: --size wants WIDTHxHEIGHT, each from 1 to 8192: $size" -s "$size" --time 5 --out x.png
done
row 2 "vexa-capture: --seed wants a number from 0 to 4294967295: 4294967296" --seed 4294967296 --time 5 --out x.png
row 2 "vexa-capture: a .png output wants exactly one of --time and --sheet" --out x.png
row 2 "vexa-capture: a .png output wants exactly one of --time and --sheet" --time 5 --sheet --out x.png
row 2 "vexa-capture: --fps is for a directory or a video, not: x.png" --fps 5 --time 5 --out x.png
row 2 "vexa-capture: --time and --sheet write a .png, not: dir/" --time 5 --out dir/
row 2 "vexa-capture: a video wants an even width and height" --size 99x64 --out x.mp4
row 2 "vexa-capture: --tex and the artwork options (--title, --line, --photo-image ...) exclude each other" \
  --title x --tex . --time 5 --out x.png
row 2 "vexa-capture: at most 7 lines are shown, 8 given" \
  --line 1 --line 2 --line 3 --line 4 --line 5 --line 6 --line 7 --line 8 --time 5 --out x.png
row 2 "vexa-capture: --photo-image wants a PNG or JPEG file: " --photo-image= --time 5 --out x.png

# Artwork built on the fly: the same picture as the artwork vexa-art makes from the
# same words and photo, its temporary directory gone afterwards, and a failure to
# build it said in one line before anything is written.
own_art() {
  local ok=1
  mkdir -p tmp own
  "$VEXA_ART" -o own/tex --title Danke --line hallo --line "bis bald" --photo "$VEXA_BUILD/tex/5.bmp" || ok=0
  printf 'hallo\nbis bald\n' >lines.txt
  local frame=(--seed 3 --time 12500 -s 96x72)
  "$VEXA_CAPTURE" "${frame[@]}" --tex own --photo -o made.png || ok=0
  "$VEXA_CAPTURE" "${frame[@]}" --photo -o default.png || ok=0
  TMPDIR=$work/tmp "$VEXA_CAPTURE" "${frame[@]}" --title Danke --lines - \
    --photo-image "$VEXA_BUILD/tex/5.bmp" -o fly.png <lines.txt 2>err.txt || ok=0
  cmp -s made.png fly.png && ! cmp -s made.png default.png && [ ! -s err.txt ] || ok=0
  [ -z "$(ls -A tmp)" ] || ok=0
  TMPDIR=$work/tmp "$VEXA_CAPTURE" "${frame[@]}" --photo-image none.jpg -o none.png 2>err.txt
  [ $? -eq 1 ] && [ "$(cat err.txt)" = "vexa-capture: none.jpg: No such file or directory" ] && [ ! -e none.png ] &&
    [ -z "$(ls -A tmp)" ] || ok=0
  if [ $ok -eq 1 ]; then
    passes=$((passes + 1))
  else
    fails=$((fails + 1))
    echo "FAIL: artwork built on the fly"
    sed 's/^/  err: /' err.txt
  fi
}
own_art
row 2 "vexa-capture: --force is for a directory of frames, not: x.png" --force --time 5 --out x.png
row 2 "vexa-capture: --force is for a directory of frames, not: x.mp4" --force --out x.mp4

report
