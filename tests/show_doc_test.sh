#!/usr/bin/env bash
# show_doc_test.sh - a show document from the command line to every host: the
# options written with --save-show (a .vexa.json and a .vexa package, moved away
# from the photo it names) draw the same frame through --show; vexa-art --show
# writes artwork whose show.vexa.json --tex then plays alike; options beside
# --show override it; a bad document is refused in one line, status 2, nothing
# written, by vexa-capture, vexa-art and vexa (before any window).
. "$(dirname "${BASH_SOURCE[0]}")/capture_lib.sh"

photo=$VEXA_BUILD/tex/5.bmp
frame=(--time 12500 -s 128x72)  # not 4:3, so that --fit shows
cp "$photo" own.bmp
"$VEXA_CAPTURE" "${frame[@]}" --title Mia --line "one" --line "two" --photo-image own.bmp --seed 9 --fit \
  --save-show saved.vexa.json -o direct.png 2>err.txt
check "--save-show beside --out writes both, quietly" '[ -s saved.vexa.json ] && [ -s direct.png ] && [ ! -s err.txt ]'
"$VEXA_CAPTURE" "${frame[@]}" --seed 9 --fit -o plain.png
check "the options changed the picture" '! cmp -s direct.png plain.png'
"$VEXA_CAPTURE" "${frame[@]}" --show saved.vexa.json -o shown.png
check "--show on the saved document draws the same frame" 'cmp -s direct.png shown.png'

mkdir -p away
"$VEXA_CAPTURE" --title Mia --line "one" --line "two" --photo-image own.bmp --seed 9 --fit --save-show away/party.vexa
rm own.bmp
"$VEXA_CAPTURE" "${frame[@]}" --show away/party.vexa -o packed.png
check "a .vexa package carries the photo: the same frame without the original" 'cmp -s direct.png packed.png'

"$VEXA_CAPTURE" "${frame[@]}" --show away/party.vexa --seed 10 -o reseeded.png
"$VEXA_CAPTURE" "${frame[@]}" --show away/party.vexa --seed 9 -o same-seed.png
check "an option beside --show overrides the document" '! cmp -s direct.png reseeded.png && cmp -s direct.png same-seed.png'

"$VEXA_ART" --show away/party.vexa -o art 2>err.txt
"$VEXA_CAPTURE" "${frame[@]}" --tex art -o from-art.png
check "vexa-art --show writes the document beside the artwork, and --tex plays that show" \
  '[ -s art/show.vexa.json ] && cmp -s direct.png from-art.png'

# A batch row's show column: the row's seed cell, else its document's seed.
printf 'show,seed,out\naway/party.vexa,,b0.png\naway/party.vexa,10,b1.png\n' >rows.csv
"$VEXA_CAPTURE" --batch rows.csv "${frame[@]}" --jobs 1 2>/dev/null
check "a batch row plays its show document, its seed cell before the document's" \
  'cmp -s direct.png b0.png && cmp -s reseeded.png b1.png'

refused() {  # refused PROGRAM... : status 2, one line, nothing written
  local status
  "$@" 2>err.txt >/dev/null
  status=$?
  [ $status -eq 2 ] && [ "$(wc -l <err.txt)" -eq 1 ] && [ ! -e bad.png ] && [ ! -e bad-art ]
}
printf '{"vexa": 1, "look": {"title": {"colour": "#ggg"}}}' >bad.vexa.json
line='bad.vexa.json: look.title.colour: "#ggg" is not a colour'
check "vexa-capture refuses a bad colour in one line naming the key" \
  'refused "$VEXA_CAPTURE" "${frame[@]}" --show bad.vexa.json -o bad.png &&
   [ "$(cat err.txt)" = "vexa-capture: $line" ]'
check "vexa-art refuses it alike" \
  'refused "$VEXA_ART" --show bad.vexa.json -o bad-art && [ "$(cat err.txt)" = "vexa-art: $line" ]'
check "vexa refuses it before any window (no display here)" \
  'refused "$VEXA" --show bad.vexa.json && [ "$(cat err.txt)" = "vexa: $line" ]'
report
