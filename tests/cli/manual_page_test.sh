#!/bin/sh
# Checks the manual page tervane(1).
#   manual_page_test.sh renders PAGE
#     man formats PAGE without a single groff warning.
#   manual_page_test.sh options PAGE TERVANE
#     every option that TERVANE's help and each command's help list has an
#     entry under OPTIONS, and each command's options are in its synopsis.
set -eu

page=$2

if [ "$1" = renders ]; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { printf '%s\n' "$warnings"; exit 1; }
  exit 0
fi

tervane=$3
# The page's source with "\-" as "-": the entries under OPTIONS (the line
# after each .TP), and the synopsis lines of one command.
text=$(sed 's/\\-/-/g' "$page")
entries=$(printf '%s\n' "$text" |
  awk '/^\.SH/ { inside = ($2 == "OPTIONS") } inside && tagged { print } { tagged = /^\.TP/ }')
synopsis() {
  printf '%s\n' "$text" | awk -v command="$1" '
    /^\.SY/ { getline; inside = ($0 == ".B " command) } /^\.YS/ { inside = 0 } inside'
}

failed=0
for command in "" list link check sync; do
  options=$("$tervane" $command --help | grep -o -e '--[a-z][a-z-]*' | sort -u)
  [ -n "$options" ] || { echo "tervane $command --help lists no option"; failed=1; }
  for option in $options; do
    if ! printf '%s\n' "$entries" | grep -Eq -e "$option([^a-z-]|\$)"; then
      echo "$option (tervane $command --help) has no entry under OPTIONS"; failed=1
    fi
    if [ -n "$command" ] && [ "$option" != --help ] &&
       ! synopsis "$command" | grep -Eq -e "$option([^a-z-]|\$)"; then
      echo "$option is missing from the synopsis of tervane $command"; failed=1
    fi
  done
done
exit $failed
