#!/usr/bin/env bash
# capture_batch_test.sh - vexa-capture --batch: a list with one bad row
# fails that row alone; a rerun renders nothing new; two shards make the
# list exactly; faults of the list's shape render nothing (status 2); an
# interrupted batch keeps its finished rows and resumes; a rerun redoes what
# is unfinished; what a batch refuses at once. (The plan itself, row by row:
# batch_test.cpp.)
# Needs VEXA_CAPTURE, VEXA_BUILD (where tex/ is), ffmpeg and ffprobe.
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

cap() { "$VEXA_CAPTURE" "$@"; }
small=(--size 64x48 --to 500 --fps 10)  # five frames
frames_in() {
  ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "file:$1" 2>/dev/null
}
# rows RESULTS STATUS: the row numbers with that status, in order, on one line.
rows() { grep "\"status\":\"$2\"" "$1" | sed 's/^{"row":\([0-9]*\),.*/\1/' | sort -n | xargs; }
stamp() { stat -c '%i %Y' "$@"; }

# Six rows, CRLF line ends and a byte-order mark, quotes holding a comma and
# quotes, a cell of two lines, a subdirectory, a switch; row 3's photo is
# missing.
mkdir list
{ printf '\xEF\xBB\xBF'; printf '%s\r\n' 'out,title,line,size,pop,photo-image,seed' \
  'a.mp4,,,,,,' 'b.mp4,"Hi, ""you""",,,true,,' 'c.mp4,,,32x24,,,' 'd.mp4,,,,,no-such.jpg,' \
  'e.mp4,,"one' 'two",,,,42' 'sub/f.mp4,,,,0,,'; } >list/people.csv
cap --batch list/people.csv "${small[@]}" 2>err; st=$?
results=list/people.csv.results.jsonl
check "one bad row: status 1, saying 1 failed ($st)" '[ $st -eq 1 ] && grep -q " 1 failed" err'
check "one bad row: the other five videos, whole" \
  '[ "$(for v in a b c e sub/f; do frames_in list/$v.mp4; done | xargs)" = "5 5 5 5 5" ] && [ ! -e list/d.mp4 ]'
check "results: rows done and failed" '[ "$(rows $results done)" = "0 1 2 4 5" ] && [ "$(rows $results failed)" = 3 ]'
check "results: the failure's message names the photo" 'grep "\"row\":3," $results | grep -q "no-such.jpg"'
check "results: seeds used (the row's, else its number)" \
  'grep -q "\"row\":4,.*\"seed\":42" $results && grep -q "\"row\":2,.*\"seed\":2" $results'
# sound FILE: "audio" when the file has a sound track.
sound() { ffprobe -v error -select_streams a -show_entries stream=codec_type -of csv=p=0 "$1"; }
check "row values reach the run: a size, a switch on" \
  '[ "$(ffprobe -v error -show_entries stream=width -of csv=p=0 list/c.mp4)" = 32 ] && [ "$(sound list/b.mp4)" = audio ]'

before=$(stamp list/*.mp4 list/sub/f.mp4)
cap --batch list/people.csv "${small[@]}" 2>err; st=$?
check "rerun: renders nothing new, the bad row fails again ($st)" \
  '[ $st -eq 1 ] && [ "$(stamp list/*.mp4 list/sub/f.mp4)" = "$before" ] &&
   [ "$(rows $results skipped)" = "0 1 2 4 5" ] && [ "$(rows $results failed)" = 3 ]'

# A line cell's line breaks (CSV) or a line array (JSON Lines) give one strip
# each: eight are one too many, and the row says so.
printf 'out,line\nx.mp4,"1\n2\n3\n4\n5\n6\n7\n8"\n' >eight.csv
printf '{"out":"x.mp4","line":["1","2","3","4","5","6","7","8"]}\n' >eight.jsonl
for l in eight.csv eight.jsonl; do
  cap --batch $l "${small[@]}" 2>/dev/null; st=$?
  check "$l: eight lines fail the row ($st)" '[ $st -eq 1 ] && grep -q "8 given" $l.results.jsonl'
done

# Two shards of one JSON Lines list make exactly its outputs, each shard
# with a results file of its own; --allow-paths lets a row write above it.
mkdir -p shard/in
cat >shard/in/l.jsonl <<'JSON'
{"out": "r0.mp4", "seed": 7, "pop": true}
{"out": "r1.mp4", "line": ["a", "b"], "title": null, "pop": "FALSE"}

{"out": "../r2.mp4", "size": "32x24"}
{"out": "r3/", "fit": false}
JSON
for k in 0 1; do cap --batch shard/in/l.jsonl --shard $k/2 --allow-paths --pop "${small[@]}" 2>/dev/null; done
check "shards 0/2 and 1/2: exactly the list's outputs" \
  '[ "$(cd shard && find . -name "r*" | sort | xargs)" = "./in/r0.mp4 ./in/r1.mp4 ./in/r3 ./r2.mp4" ] &&
   [ "$(ls shard/in/r3 | xargs)" = "audio.wav frame-00000.png frame-00001.png frame-00002.png frame-00003.png frame-00004.png" ]'
check "shards: a row's false turns the command line's --pop off" \
  '[ "$(sound shard/in/r0.mp4)" = audio ] && [ -z "$(sound shard/in/r1.mp4)" ]'
check "shards: results K-of-N, each its rows" \
  '[ "$(rows shard/in/l.jsonl.results.0-of-2.jsonl done)" = "0 2" ] &&
   [ "$(rows shard/in/l.jsonl.results.1-of-2.jsonl done)" = "1 3" ]'
before=$(stamp shard/in/r1.mp4)
cap --batch shard/in/l.jsonl --shard 1/4 --allow-paths --force --results forced.jsonl "${small[@]}" 2>/dev/null; st=$?
check "--force renders a complete row again ($st)" \
  '[ $st -eq 0 ] && [ "$(rows forced.jsonl done)" = 1 ] && [ "$(stamp shard/in/r1.mp4)" != "$before" ]'

# Faults of the list's shape: status 2, one line naming the list, nothing
# written.
faults=(
  'unknown column|out,colour\nx.mp4,red\n|unknown column colour'
  'a batch option as a column|out,jobs\nx.mp4,2\n|--jobs is for the whole batch'
  'two rows, one output|out\nsub/x.mp4\nsub//./x.mp4\n|rows 0 and 1 both write'
  'a name above the list|out\nok.mp4\n../x.mp4\n|outside the list'
  'an absolute name|out\n/tmp/x.mp4\n|outside the list'
  'no out column|title\nHi\n|no out column'
  'a name twice in the header|out,title,title\nx.mp4,a,b\n|names title twice'
  'a row of the wrong width|out,title\nx.mp4\n|1 cells where the header has 2'
  'a quote left open|out\n"x.mp4\n|not valid CSV'
)
mkdir shape
for f in "${faults[@]}"; do
  IFS='|' read -r what list says <<<"$f"
  printf "$list" >shape/l.csv
  cap --batch shape/l.csv "${small[@]}" 2>err; st=$?
  check "$what: status 2 ($st), saying so, nothing written" \
    '[ $st -eq 2 ] && grep -q "^vexa-capture: shape/l.csv.*$says" err && [ "$(ls shape)" = l.csv ]'
done
printf '{"out":"x.mp4"}\n["x"]\n' >shape/l.jsonl
cap --batch shape/l.jsonl 2>err; st=$?
check "a JSON line not an object: status 2 naming its line" '[ $st -eq 2 ] && grep -q "shape/l.jsonl:2: " err'

# An interrupt stops the runs under way, keeps the finished row and leaves
# no part-written file; the next run renders only the rest.
mkdir stop
printf 'out\ns0.mp4\nx/s1.mp4\ny/s2.mp4\n' >stop/l.csv  # x/ made for a row that is stopped
"$VEXA_CAPTURE" --batch stop/l.csv --jobs 1 --size 64x48 --to 4000 --fps 10 2>/dev/null &
pid=$!
for _ in $(seq 600); do [ -s stop/l.csv.results.jsonl ] && break; sleep 0.1; done
kill -TERM $pid
wait $pid; st=$?
check "interrupted: ends by the signal ($st), one row kept whole, nothing else" \
  '[ $st -eq 143 ] && [ "$(ls -A stop | xargs)" = "l.csv l.csv.results.jsonl s0.mp4" ] && [ "$(frames_in stop/s0.mp4)" = 40 ]'
cap --batch stop/l.csv --size 64x48 --to 4000 --fps 10 2>/dev/null; st=$?
check "resumed: the rest rendered ($st)" \
  '[ $st -eq 0 ] && [ "$(rows stop/l.csv.results.jsonl skipped)" = 0 ] && [ "$(rows stop/l.csv.results.jsonl done)" = "1 2" ]'

# A rerun goes on where the last stopped, for every kind of output: a frame
# directory whose sound was lost or whose span grew, cues lost after the video.
mkdir again
printf 'out,cues,size\nq/,,\nv.mp4,sub/v.vtt,\nbad.mp4,,big\n' >again/l.csv
cap --batch again/l.csv --pop "${small[@]}" 2>/dev/null
check "cues: the directories above them made" '[ -s again/sub/v.vtt ]'
rm again/q/audio.wav again/sub/v.vtt
cap --batch again/l.csv --pop "${small[@]}" 2>err; st=$?
check "rerun: the frames without their sound and the video without its cues rendered again ($st)" \
  '[ $st -eq 1 ] && [ "$(rows again/l.csv.results.jsonl done)" = "0 1" ] && [ -s again/q/audio.wav ] && [ -s again/sub/v.vtt ]'
check "a row's usage error: its message without the pointer to --help" \
  'grep -q "size wants" again/l.csv.results.jsonl && ! grep -q "Try " err again/l.csv.results.jsonl'
cap --batch again/l.csv --pop --size 64x48 --to 700 --fps 10 2>err; st=$?
check "rerun with a longer span: the frames go on ($st, $(ls again/q | wc -l) files)" \
  '[ "$(rows again/l.csv.results.jsonl done)" = "0 1" ] && [ "$(ls again/q | wc -l)" -eq 8 ]'

# A credits roll lengthens the show: the rerun's check works the span out as
# the run does, and finds the row complete.
mkdir credits
printf 'Ada\nBob\n' >credits/c.txt
printf 'out,credits\na.mp4,c.txt\n' >credits/l.csv
cap --batch credits/l.csv --size 64x48 --fps 5 2>/dev/null
cap --batch credits/l.csv --size 64x48 --fps 5 2>/dev/null; st=$?
check "a credits row, rerun: complete already ($st)" '[ $st -eq 0 ] && [ "$(rows credits/l.csv.results.jsonl skipped)" = 0 ]'

# Refused at once: a results file that is the list, a FIFO as the list, a
# second batch writing the same results.
mkdir once
printf 'out\na.mp4\nb.mp4\n' >once/l.csv
cp once/l.csv once/l.kept
cap --batch once/l.csv --results once/l.csv "${small[@]}" 2>err; st=$?
check "--results naming the list: status 2 ($st), the list kept" \
  '[ $st -eq 2 ] && grep -q "would replace the list" err && cmp -s once/l.csv once/l.kept'
mkfifo once/fifo.csv
timeout 10 "$VEXA_CAPTURE" --batch once/fifo.csv 2>err; st=$?
check "a FIFO as the list: refused at once ($st)" '[ $st -eq 2 ] && grep -q "not a regular file" err'
cap --batch once/l.csv --jobs 1 --size 64x48 --to 4000 --fps 10 2>/dev/null & pid=$!
for _ in $(seq 100); do [ -e once/l.csv.results.jsonl ] && break; sleep 0.05; done
cap --batch once/l.csv --jobs 1 --size 64x48 --to 4000 --fps 10 2>err; st=$?
wait $pid
check "a second batch on one list: refused at once ($st), the first's results whole" \
  '[ $st -eq 1 ] && grep -q "another batch" err && [ "$(rows once/l.csv.results.jsonl done)" = "0 1" ] &&
   [ "$(wc -l <once/l.csv.results.jsonl)" -eq 2 ]'

# A cell longer than a command line's word (128 KiB) reaches the row's run,
# and a name is shown quoted, its escape sequence never reaching the terminal.
mkdir big
{ printf 'out,title\n'; printf '"a\033[31m.mp4",'; head -c 140000 /dev/zero | tr '\0' x; printf '\n'; } >big/l.csv
cap --batch big/l.csv "${small[@]}" 2>err; st=$?
check "a 140 KB cell: the run itself refuses the title ($st)" \
  '[ $st -eq 1 ] && grep -q "does not fit" err && ! grep -q "Argument list too long" err'
esc=$'\033' want="\$'a\\033[31m.mp4'"
check "a name with an escape sequence: quoted ($want), no ESC on standard error" \
  '! grep -q "$esc" err && grep -qF -- "$want" err'

report
