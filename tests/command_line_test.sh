#!/usr/bin/env bash
# command_line_test.sh - what vexa, vexa-capture and vexa-art share on their
# command lines, one row a case: -h and --help give the same text on standard
# output within 80 columns, -V and --version "PROG VERSION"; a usage error is
# "PROG: what is wrong" and "Try 'PROG --help' for more information." on
# standard error, nothing on standard output, status 2. With no display.
# Needs VEXA_BUILD (where the programs are) and VEXA_VERSION.
set -uo pipefail
unset DISPLAY
. "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

run() {  # run PROG ARGS...: status in $status, streams in out.txt, err.txt
  local prog=$1
  shift
  timeout 10 "$VEXA_BUILD/$prog" "$@" >out.txt 2>err.txt
  status=$?
}

refused() {  # refused PROG ARGS...
  local prog=$1
  run "$@"
  check "$*: status 2 (got $status)" '[ "$status" -eq 2 ]'
  check "$*: nothing on standard output" '[ ! -s out.txt ]'
  check "$*: '$prog: ...' on standard error (got: $(head -n 1 err.txt))" \
    '[ "$(wc -l <err.txt)" -eq 2 ] && head -n 1 err.txt | grep -q "^$prog: ."'
  check "$*: the hint to --help" \
    '[ "$(tail -n 1 err.txt)" = "Try '"'"'$prog --help'"'"' for more information." ]'
}

for prog in vexa vexa-capture vexa-art; do
  run "$prog" --help
  cp out.txt help.txt
  check "$prog --help: status 0, nothing on standard error" '[ "$status" -eq 0 ] && [ ! -s err.txt ]'
  check "$prog --help: fits 80 columns" '[ "$(awk "length > 80" help.txt | wc -l)" -eq 0 ] && [ -s help.txt ]'
  run "$prog" -h
  check "$prog -h: the same as --help" '[ "$status" -eq 0 ] && cmp -s out.txt help.txt'
  for v in -V --version; do
    run "$prog" "$v"
    check "$prog $v: '$prog $VEXA_VERSION'" '[ "$status" -eq 0 ] && [ "$(cat out.txt)" = "$prog $VEXA_VERSION" ]'
  done
  refused "$prog" --bogus
  refused "$prog" -x
  refused "$prog" --help=x
done
refused vexa a b
refused vexa-capture --time
refused vexa-capture --out x.png --time 99999
refused vexa-art -o
refused vexa-art -o out extra

report
