#!/usr/bin/env bash
# A real browser judges the links tervane writes: for a folder of awkwardly
# named pictures, links and images are written into a UTF-8 page and into a
# Shift_JIS page; headless Chromium opens each page from disk and checks that
# every link leads to the file it names and every picture loads.
# Usage: judge_links.sh TERVANE
set -euo pipefail
tervane=$1
chromium=$(command -v chromium) || { echo "chromium is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/site/img"

# Names a browser could misread, each a picture that really decodes. (The
# Shift_JIS page gets those Shift_JIS can hold.)
names=("a b.png" "R&D&copy.gif" "#1.jpg" "50%.png" "q?.jpg" "http:x.png" 'say "hi".gif'
       "it's.png" " lead.png" "写真 1.jpg" "<b>.gif")
for name in "${names[@]}"; do
  convert -size 3x2 xc:orange "$work/picture.${name##*.}"
  mv "$work/picture.${name##*.}" "$work/site/img/$name"
done

judge() {  # PAGE CHARSET-META
  local page=$1
  # The judging script goes into a copy, so that the page itself is tervane's.
  local copy=${page%.htm}-judged.htm
  python3 - "$page" "$copy" "$work/site/img" <<'PY'
import sys
page, copy, folder = sys.argv[1:4]
data = open(page, 'rb').read()
script = ('<script>window.addEventListener("load", function () {'
  'var bad = [], links = 0, images = 0;'
  'var folder = %s;'
  'document.querySelectorAll("a").forEach(function (a) {'
  '  links++;'
  '  var path = decodeURIComponent(new URL(a.href).pathname);'
  '  if (path !== folder + "/" + a.textContent) bad.push("link " + a.textContent + " -> " + path);'
  '});'
  'document.querySelectorAll("img").forEach(function (img) {'
  '  images++;'
  '  if (!(img.complete && img.naturalWidth > 0)) bad.push("image " + img.getAttribute("src"));'
  '});'
  'var out = document.createElement("pre"); out.id = "verdict";'
  'out.textContent = (bad.length ? "BAD " + bad.join(" | ") : "GOOD") + " links=" + links + " images=" + images;'
  'document.body.appendChild(out);'
  '});</script>') % ('"' + folder.replace('\\', '\\\\').replace('"', '\\"') + '"')
at = data.rfind(b'</body>')
open(copy, 'wb').write(data[:at] + script.encode('ascii', 'backslashreplace') + data[at:])
PY
  "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --allow-file-access-from-files \
    --virtual-time-budget=10000 --dump-dom "file://$copy" 2>/dev/null |
    grep -o 'id="verdict">[^<]*' | sed 's/id="verdict">//'
}

status=0
check() {  # PAGE EXPECTED-LINKS EXPECTED-IMAGES
  local verdict
  verdict=$(judge "$1")
  echo "$(basename "$1"): $verdict"
  [ "$verdict" = "GOOD links=$2 images=$3" ] || status=1
}

printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>t</title></head>\n<body>\n</body>\n</html>\n' \
  > "$work/site/utf8.htm"
"$tervane" link "$work/site/utf8.htm" --folder "$work/site/img" >/dev/null
"$tervane" link "$work/site/utf8.htm" --folder "$work/site/img" --mode image >/dev/null
check "$work/site/utf8.htm" "${#names[@]}" "${#names[@]}"

printf '<!DOCTYPE html>\n<html><head><meta charset="Shift_JIS"><title>t</title></head>\n<body>\n</body>\n</html>\n' \
  > "$work/site/sjis.htm"
"$tervane" link "$work/site/sjis.htm" --folder "$work/site/img" >/dev/null
"$tervane" link "$work/site/sjis.htm" --folder "$work/site/img" --mode image >/dev/null
check "$work/site/sjis.htm" "${#names[@]}" "${#names[@]}"

exit $status
