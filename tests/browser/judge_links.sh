#!/usr/bin/env bash
# A real browser judges the links tervane writes: for a folder of awkwardly
# named pictures, links and images are written into a UTF-8 page and into a
# Shift_JIS page; headless Chromium opens each page from disk and checks that
# every link leads to the file it names and every picture loads. A page that
# `tervane sync` writes, with a block of text links and a block of pictures
# with --size and --alt, is judged too: there every picture's width and
# height must be the size the browser finds in it; and again after a hand
# edit and a sync that kept it. Then the pages of the encoding table (every
# encoding, declared every way or not at all), each given its links by
# tervane: the browser, reading the page as it reads it, must find every
# link's text naming the file the link leads to. Then a folder of shortcut
# files that others wrote: no link written runs a script, the rest link.
# Last, a gallery of thumbnails that `tervane sync` makes is judged at one
# and at two device pixels per CSS pixel: every thumbnail loads at the size
# its attributes say, from srcset's picture where the screen takes it, and
# every link opens its original.
# Usage: judge_links.sh TERVANE ENCODING-PAGES
set -euo pipefail
tervane=$1
encoding_pages=$2
chromium=$(command -v chromium) || { echo "chromium is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/site/img"

# Names a browser could misread, each a picture that really decodes. (The
# Shift_JIS page gets those Shift_JIS can hold.)
names=("a b.png" "R&D&copy.gif" "#1.jpg" "50%.png" "q?.jpg" "http:x.png" 'say "hi".gif'
       "it's.png" " lead.png" "写真 1.jpg" "<b>.gif")
width=3
for name in "${names[@]}"; do
  convert -size "${width}x2" xc:orange "$work/picture.${name##*.}"
  mv "$work/picture.${name##*.}" "$work/site/img/$name"
  width=$((width + 1))
done
# A JPEG turned by a quarter in its EXIF block, which browsers apply: 5x9 on
# screen. Chromium's naturalWidth and naturalHeight judge every size below.
convert -size 9x5 xc:orange "$work/turned.jpg"
python3 - "$work/turned.jpg" "$work/site/img/turned.jpg" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
tiff = b'MM\0*' + (8).to_bytes(4, 'big') + (1).to_bytes(2, 'big') + bytes.fromhex('0112 0003 00000001 0006 0000') + bytes(4)
app1 = b'\xff\xe1' + (len(tiff) + 8).to_bytes(2, 'big') + b'Exif\0\0' + tiff
open(sys.argv[2], 'wb').write(data[:2] + app1 + data[2:])
PY
names+=("turned.jpg")
# The eight EXIF orientations, written by exiftool into a JPEG and (as its
# eXIf chunk, before the image data) into a PNG, 11x7 unturned.
convert -size 11x7 xc:teal "$work/o.jpg"
convert -size 11x7 xc:teal "$work/o.png"
for o in 1 2 3 4 5 6 7 8; do
  for ext in jpg png; do
    cp "$work/o.$ext" "$work/site/img/o$o.$ext"
    exiftool -q -q -m -n -overwrite_original -Orientation=$o "$work/site/img/o$o.$ext"
    names+=("o$o.$ext")
  done
done
# What photo editors leave before a JPEG's frame header: an ICC profile of
# 431 KiB and 200 KiB of XMP, beyond what the size reader reads; and a PNG
# whose eXIf chunk comes after the image data, where browsers ignore it.
python3 - "$work/o.jpg" "$work/o.png" "$work/site/img" <<'PY'
import sys, zlib
jpeg, png, folder = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read(), sys.argv[3]
tiff = b'MM\0*' + (8).to_bytes(4, 'big') + (1).to_bytes(2, 'big') + bytes.fromhex('0112 0003 00000001 0006 0000') + bytes(4)
def segment(marker, payload): return bytes([0xFF, marker]) + (len(payload) + 2).to_bytes(2, 'big') + payload
icc = b''.join(segment(0xE2, b'ICC_PROFILE\0' + bytes([i, 8]) + b'c' * 55200) for i in range(1, 9))
xmp = b''.join(segment(0xE1, b'http://ns.adobe.com/xap/1.0/\0' + b'x' * 51200) for _ in range(4))
open(folder + '/metadata.jpg', 'wb').write(jpeg[:2] + icc + xmp + segment(0xE1, b'Exif\0\0' + tiff) + jpeg[2:])
chunk = lambda kind, data: len(data).to_bytes(4, 'big') + kind + data + zlib.crc32(kind + data).to_bytes(4, 'big')
open(folder + '/late-exif.png', 'wb').write(png[:-12] + chunk(b'eXIf', tiff) + png[-12:])
PY
names+=("metadata.jpg" "late-exif.png")

judge() {  # PAGE [FOLDER]
  local page=$1 folder=${2:-$work/site/img}
  # The judging script goes into a copy, so that the page itself is tervane's.
  local copy=${page%.htm}-judged.htm
  python3 - "$page" "$copy" "$folder" <<'PY'
import sys
page, copy, folder = sys.argv[1:4]
data = open(page, 'rb').read()
script = ('<script>window.addEventListener("load", function () {'
  'var bad = [], links = 0, images = 0, sized = 0;'
  'var folder = %s;'
  'document.querySelectorAll("a").forEach(function (a) {'
  '  links++;'
  '  var path = decodeURIComponent(new URL(a.href).pathname);'
  '  if (path !== folder + "/" + a.textContent) bad.push("link " + a.textContent + " -> " + path);'
  '});'
  'document.querySelectorAll("img").forEach(function (img) {'
  '  images++;'
  '  if (!(img.complete && img.naturalWidth > 0)) bad.push("image " + img.getAttribute("src"));'
  '  if (img.hasAttribute("width")) {'
  '    sized++;'
  '    if (img.getAttribute("width") != img.naturalWidth || img.getAttribute("height") != img.naturalHeight)'
  '      bad.push("size " + img.getAttribute("src") + " " + img.getAttribute("width") + "x" +'
  '               img.getAttribute("height") + " is " + img.naturalWidth + "x" + img.naturalHeight);'
  '  }'
  '});'
  'var out = document.createElement("pre"); out.id = "verdict";'
  'out.textContent = (bad.length ? "BAD " + bad.join(" | ") : "GOOD") + " links=" + links + " images=" + images + " sized=" + sized;'
  'document.body.appendChild(out);'
  '});</script>') % ('"' + folder.replace('\\', '\\\\').replace('"', '\\"') + '"')
# The script goes in as the page's own text does: in UTF-16 pages, as UTF-16.
if data.startswith(b'\xff\xfe') or data.startswith(b'\xfe\xff'):
    codec = 'utf-16-le' if data.startswith(b'\xff\xfe') else 'utf-16-be'
    end = '</body>'.encode(codec)
    at = data.rfind(end)
    at -= at % 2
    script = script.encode('ascii', 'backslashreplace').decode('ascii').encode(codec)
else:
    at = data.rfind(b'</body>')
    script = script.encode('ascii', 'backslashreplace')
open(copy, 'wb').write(data[:at] + script + data[at:])
PY
  "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --allow-file-access-from-files \
    --virtual-time-budget=10000 --dump-dom "file://$copy" 2>/dev/null |
    grep -o 'id="verdict">[^<]*' | sed 's/id="verdict">//'
}

status=0
check() {  # PAGE EXPECTED-LINKS EXPECTED-IMAGES [EXPECTED-SIZED [FOLDER]]
  local verdict
  verdict=$(judge "$1" "${5:-}")
  echo "$(basename "$1"): $verdict"
  [ "$verdict" = "GOOD links=$2 images=$3 sized=${4:-0}" ] || status=1
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

# Pages sync writes: a block of text links and a block of pictures with
# their sizes, both of the same folder, in UTF-8, in Shift_JIS, and in
# UTF-16 of either byte order with its byte-order mark and CR LF line ends,
# as Notepad saves "Unicode".
for charset in utf-8 Shift_JIS UTF-16LE UTF-16BE; do
  page=$work/site/sync-$charset.htm
  printf '<!DOCTYPE html>\n<html><head><meta charset="%s"><title>t</title></head>\n<body>\n<!-- tervane folder="img" -->\n<!-- /tervane -->\n<div>\n<!-- tervane folder="./img" mode="image" size alt -->\n<!-- /tervane -->\n</div>\n</body>\n</html>\n' \
    "$charset" > "$page"
  case $charset in
    UTF-16LE) { printf '\377\376'; sed 's/$/\r/' "$page" | iconv -f UTF-8 -t UTF-16LE; } > "$page.new" ;;
    UTF-16BE) { printf '\376\377'; sed 's/$/\r/' "$page" | iconv -f UTF-8 -t UTF-16BE; } > "$page.new" ;;
  esac
  [ ! -e "$page.new" ] || mv "$page.new" "$page"
  "$tervane" sync "$page"
  "$tervane" sync "$page" --check
  check "$page" "${#names[@]}" "${#names[@]}" "${#names[@]}"
done

# An alt text edited by hand stays through a sync that adds a picture, and
# the page still leads everywhere it should.
page=$work/site/sync-utf-8.htm
sed -i 's|alt="a b"|alt="A better text"|' "$page"
convert -size 7x3 xc:orange "$work/site/img/new.png"
"$tervane" sync "$page"
grep -q 'alt="A better text"' "$page" || { echo "the edited alt text is gone"; status=1; }
check "$page" $((${#names[@]} + 1)) $((${#names[@]} + 1)) $((${#names[@]} + 1))

mkdir "$work/encodings"
for page in $("$encoding_pages" "$work/encodings"); do
  "$tervane" link "$work/encodings/$page" >/dev/null
  check "$work/encodings/$page" 4 0 0 "$work/encodings"
done

# Shortcuts that others wrote: no link tervane writes is one the browser
# would run as a script, in any spelling the browser still runs, and every
# other shortcut links to its address.
mkdir -p "$work/site/links"
python3 - "$work/site/links" <<'PY'
import sys
folder = sys.argv[1]
scripts = ['javascript:alert(1)', 'JaVaScRiPt:alert(1)', 'vbscript:msgbox(1)',
           'data:text/html,<script>alert(1)</script>', ' \x01\x1f javascript:alert(1)',
           'java\tscr\tipt:alert(1)']
others = ['http://e.example/', 'mailto:a@e.example', 'ftp://e.example/', 'news:comp.lang',
          'img/a b.png', 'java script:x', 'jav&#x61;script:x', 'javascripts:x']
for prefix, addresses in (('s', scripts), ('o', others)):
    for i, address in enumerate(addresses):
        with open('%s/%s%d.url' % (folder, prefix, i), 'wb') as f:
            f.write(b'[InternetShortcut]\r\nURL=' + address.encode() + b'\r\n')
PY
printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>t</title></head>\n<body>\n</body>\n</html>\n' \
  > "$work/site/links.htm"
"$tervane" link "$work/site/links.htm" --folder "$work/site/links" --kinds shortcut >/dev/null 2>&1
python3 - "$work/site/links.htm" <<'PY'
import sys
page = sys.argv[1]
data = open(page, 'rb').read()
script = (b'<script>window.addEventListener("load", function () {'
  b'var bad = [], links = 0;'
  b'document.querySelectorAll("a").forEach(function (a) {'
  b'  links++;'
  b'  if (["javascript:", "vbscript:", "data:"].indexOf(a.protocol) >= 0) bad.push(a.textContent);'
  b'  if (a.textContent[0] !== "o") bad.push("linked " + a.textContent);'
  b'});'
  b'var out = document.createElement("pre"); out.id = "verdict";'
  b'out.textContent = (bad.length ? "BAD " + bad.join(" | ") : "GOOD") + " links=" + links +'
  b'  " placeholders=" + document.querySelectorAll("p").length;'
  b'document.body.appendChild(out);'
  b'});</script>')
at = data.rfind(b'</body>')
open(page.replace('.htm', '-judged.htm'), 'wb').write(data[:at] + script + data[at:])
PY
verdict=$("$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --virtual-time-budget=10000 \
    --dump-dom "file://$work/site/links-judged.htm" 2>/dev/null |
  grep -o 'id="verdict">[^<]*' | sed 's/id="verdict">//')
echo "links.htm: $verdict"
[ "$verdict" = "GOOD links=8 placeholders=6" ] || status=1


# The gallery: large pictures with awkward names (a comma and a blank break
# an unencoded srcset), one turned by its EXIF block, one too small to shrink.
mkdir -p "$work/site/photos"
gallery=("a b.jpg" "#1.jpg" "50%.png" "R&D&copy.gif" "写真 1.jpg" "x,y 2.jpg" "medium.jpg" "tiny.png")
for name in "${gallery[@]}"; do
  case $name in medium.jpg) size=500x400 ;; tiny.png) size=60x40 ;; *) size=900x700 ;; esac
  convert -size "$size" gradient:orange-blue "$work/photos-tmp.${name##*.}"
  mv "$work/photos-tmp.${name##*.}" "$work/site/photos/$name"
done
convert -size 900x700 gradient:orange-blue "$work/site/photos/turned.jpg"
exiftool -q -overwrite_original -n -Orientation=6 "$work/site/photos/turned.jpg"
gallery+=("turned.jpg")
printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>g</title></head>\n<body>\n<!-- tervane folder="photos" kinds="jpeg,gif-png" mode="image-link" thumbs alt -->\n<!-- /tervane -->\n</body>\n</html>\n' \
  > "$work/site/gallery.htm"
"$tervane" sync "$work/site/gallery.htm"

judge_gallery() {  # PAGE DEVICE-PIXELS-PER-CSS-PIXEL
  local page=$1 density=$2
  local copy=${page%.htm}-judged-$density.htm
  python3 - "$page" "$copy" "$work/site/photos" "$density" "${gallery[@]}" <<'PY'
import json, sys
page, copy, folder, density = sys.argv[1:5]
names = sys.argv[5:]
data = open(page, 'rb').read()
script = ('<script>window.addEventListener("load", function () {'
  'var bad = [], images = 0, twice = 0, originals = [], waits = [];'
  'var folder = %s, names = %s, density = %s;'
  'document.querySelectorAll("img").forEach(function (img) {'
  '  images++;'
  '  var a = img.parentNode;'
  '  if (!(img.complete && img.naturalWidth > 0)) bad.push("thumbnail " + img.getAttribute("src"));'
  '  if (img.getAttribute("width") != img.naturalWidth || img.getAttribute("height") != img.naturalHeight)'
  '    bad.push("size " + img.getAttribute("src") + " " + img.getAttribute("width") + "x" +'
  '             img.getAttribute("height") + " is " + img.naturalWidth + "x" + img.naturalHeight);'
  '  var wanted = img.src;'
  '  if (img.hasAttribute("srcset")) {'
  '    twice++;'
  '    if (density == 2) wanted = new URL(img.getAttribute("srcset").replace(/ 2x$/, ""), document.baseURI).href;'
  '  }'
  '  if (img.currentSrc !== wanted) bad.push("shown " + img.currentSrc + " not " + wanted);'
  '  if (a.tagName !== "A") { bad.push("no link " + img.src); return; }'
  '  var path = decodeURIComponent(new URL(a.href).pathname);'
  '  originals.push(path.substring(folder.length + 1));'
  '  waits.push(new Promise(function (done) {'
  '    var o = new Image();'
  '    o.onload = function () {'
  '      if (o.naturalWidth < img.naturalWidth || o.naturalHeight < img.naturalHeight) bad.push("link to a smaller picture " + path);'
  '      done();'
  '    };'
  '    o.onerror = function () { bad.push("link " + path); done(); };'
  '    o.src = a.href;'
  '  }));'
  '});'
  'originals.sort(); names.sort();'
  'if (JSON.stringify(originals) !== JSON.stringify(names)) bad.push("links " + originals.join(","));'
  'Promise.all(waits).then(function () {'
  '  var out = document.createElement("pre"); out.id = "verdict";'
  '  out.textContent = (bad.length ? "BAD " + bad.join(" | ") : "GOOD") + " images=" + images + " srcset=" + twice;'
  '  document.body.appendChild(out);'
  '});'
  '});</script>') % (json.dumps(folder), json.dumps(names), density)
at = data.rfind(b'</body>')
open(copy, 'wb').write(data[:at] + script.encode('ascii', 'backslashreplace') + data[at:])
PY
  "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile-$density" --allow-file-access-from-files \
    --force-device-scale-factor="$density" \
    --virtual-time-budget=10000 --dump-dom "file://$copy" 2>/dev/null |
    grep -o 'id="verdict">[^<]*' | sed 's/id="verdict">//'
}
for density in 1 2; do
  verdict=$(judge_gallery "$work/site/gallery.htm" "$density")
  echo "gallery.htm at ${density}x: $verdict"
  # Seven large enough for a thumbnail at twice the size; the small one is
  # shown itself.
  [ "$verdict" = "GOOD images=${#gallery[@]} srcset=7" ] || status=1
done

exit $status
