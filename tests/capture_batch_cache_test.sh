#!/usr/bin/env bash
# capture_batch_cache_test.sh - the artwork a batch's rows share (the cards,
# the painted photo, the strips; .vexa-cache in the list's directory): rows
# painted from the cache give the same frames, byte for byte, as rows run
# alone; a changed font or changed lines find no stale entry; rows with lines
# of their own keep no sheet; an entry cut short and a temporary left by a
# write that never ended are not used.
# Needs VEXA_CAPTURE and VEXA_BUILD (where tex/ is).
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

cap() { "$VEXA_CAPTURE" "$@"; }
common=(--size 96x72 --photo)  # a card flashes at 50, 1050 ... ms, the photo and the strips at 12000 ms
rows=("a.png Alpha 2050" "b.png Beta 12000" "c.png Gamma 1050")
mkdir list
{ echo out,title,time,seed; for r in "${rows[@]}"; do set -- $r; echo "$1,$2,$3,1"; done; } >list/l.csv
# run_alone DIR: every row run alone (no cache), its frame into DIR.
run_alone() {
  local r
  mkdir "$1"
  for r in "${rows[@]}"; do
    set -- "$1" $r
    cap "${common[@]}" --title "$3" --time "$4" --seed 1 --out "$1/$2"
  done
}
# same_as ALONE: every row's frame in list/ equals its run alone.
same_as() {
  local r
  for r in "${rows[@]}"; do
    set -- $r
    cmp -s "$ALONE/$1" "list/$1" || return 1
  done
}
run_alone alone
entries() { find list/.vexa-cache -name '*.art' | wc -l; }

cap --batch list/l.csv "${common[@]}" 2>err
check "the first batch keeps the cards, the photo and the strips: three entries ($(entries))" '[ "$(entries)" = 3 ]'
cap --batch list/l.csv "${common[@]}" --force 2>>err
check "rows read from the cache equal rows run alone" 'ALONE=alone same_as'

# A write cut short: a temporary never renamed, and the entries cut to half.
sizes() { stat -c %s list/.vexa-cache/*.art | sort -n | xargs; }
whole=$(sizes)
for f in list/.vexa-cache/*.art; do truncate -s $(( $(stat -c %s "$f") / 2 )) "$f"; done
head -c 1000 /dev/urandom >list/.vexa-cache/.tmp-cutoff
cap --batch list/l.csv "${common[@]}" --force 2>>err
check "entries cut short are painted again: the rows equal rows run alone" 'ALONE=alone same_as'
check "entries cut short are whole again, the stale temporary gone" \
  '[ "$(sizes)" = "$whole" ] && [ ! -e list/.vexa-cache/.tmp-cutoff ]'

# Another bold face under the same name: the cards change, the entry with them.
mkdir fonts && cp /usr/share/fonts/truetype/dejavu/*.ttf fonts/
cp fonts/DejaVuSans.ttf fonts/DejaVuSans-Bold.ttf
VEXA_ART_FONT_DIR=$PWD/fonts run_alone alone-font
VEXA_ART_FONT_DIR=$PWD/fonts cap --batch list/l.csv "${common[@]}" --force 2>>err
check "a changed font: new cards and strips entries ($(entries) in all)" '[ "$(entries)" = 5 ]'
check "a changed font: the rows equal rows run alone with it, not the old cards" \
  '! cmp -s alone/a.png list/a.png && ALONE=alone-font same_as'

# Lines the same in every row (the batch's own): kept as the default strips
# are, never found under the default's key; lines of each row's own: none kept.
printf 'see you soon\nbye\n' >lines
plain=("${common[@]}") && common+=(--lines "$PWD/lines")
run_alone alone-lines
cap --batch list/l.csv "${common[@]}" --force 2>>err
check "the batch's own lines: a new strips entry ($(entries) in all), rows equal rows run alone with them" \
  '[ "$(entries)" = 6 ] && ALONE=alone-lines same_as'
{ echo out,line,time,seed; for i in 1 2 3; do echo "own$i.png,line $i,12000,1"; done; } >list/own.csv
cap --batch list/own.csv "${common[@]}" 2>>err
check "rows with lines of their own keep no sheet ($(entries) entries)" '[ "$(entries)" = 6 ]'
common=("${plain[@]}")

# A cache that leads out of the list's directory is not used.
rm -rf list/.vexa-cache && mkdir outside && ln -s "$PWD/outside" list/.vexa-cache
cap --batch list/l.csv "${common[@]}" --force 2>err2
check "a cache linked outside the list's directory: not used, said so" \
  '[ -z "$(ls outside)" ] && grep -q "outside the list" err2 && ALONE=alone same_as'
report
