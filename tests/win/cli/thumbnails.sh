#!/usr/bin/env bash
# tervane.exe makes under Wine the gallery tervane makes on Linux, with the
# Windows Imaging Component: the same page, thumbnails of the same sizes and
# formats, turned upright as ImageMagick's -auto-orient turns the originals,
# without metadata; the picture that cannot be decoded is named and shown
# as before.
# Usage: thumbnails.sh WINE-RUN TERVANE.EXE
set -euo pipefail
emulator=$1
exe=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
img=$work/site/img
mkdir -p "$img"
cd "$img"

# A red block at the top left of a blue picture shows which way it is turned.
marked() {  # WIDTH HEIGHT FILE [OPTIONS...]
  local w=$1 h=$2 file=$3
  shift 3
  convert -size "${w}x$h" xc:blue -fill red -draw "rectangle 0,0 $((w / 4)),$((h / 4))" "$@" "$file"
}
marked 800 600 landscape.jpg
exiftool -q -overwrite_original -GPSLatitude=35.6 -GPSLatitudeRef=N -Artist=me landscape.jpg
marked 600 800 'portrait #1.jpg'
marked 700 350 progressive.jpg -interlace JPEG
marked 500 500 cmyk.jpg -colorspace CMYK
convert -size 500x400 xc:none -fill red -draw 'circle 250,200 250,50' alpha.png
convert -size 400x300 xc:red xc:blue anim.gif
convert -size 100x80 xc:red small.png
echo 'not a picture' > text.jpg
for o in 1 2 3 4 5 6 7 8; do
  marked 400 200 "turned$o.jpg"
  exiftool -q -overwrite_original -n -Orientation=$o "turned$o.jpg"
done
printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>g</title></head>\n<body>\n</body>\n</html>\n' \
  > "$work/site/p.htm"

cd "$work/site"
status=0
"$emulator" "$exe" sync p.htm --folder img --mode image-link --thumbs --kinds jpeg,gif-png \
  2> "$work/err" || status=$?
[ $status -eq 77 ] && exit 77
cat "$work/err"
[ $status -eq 0 ] || { echo "tervane.exe sync exited with $status"; exit 1; }

item() {  # NAME THUMBNAIL SIZE [THUMBNAIL-2X]
  local address=${1//#/%23} src=img/${2//#/%23} w=${3%x*} h=${3#*x} srcset=""
  [ -n "$2" ] || src=img/$address
  if [ -n "${4:-}" ]; then
    local twice=${4//#/%23}
    srcset=" srcset=\"img/thumbs/${twice// /%20} 2x\""
    src=img/thumbs/${2//#/%23}
  elif [ -n "$2" ]; then
    src=img/thumbs/${2//#/%23}
  fi
  if [ -z "$3" ]; then
    echo "<a href=\"img/$address\"><img src=\"$src\"></a>"
  else
    echo "<a href=\"img/$address\"><img src=\"$src\"$srcset width=\"$w\" height=\"$h\"></a>"
  fi
}
expected=$({
  printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>g</title></head>\n<body>\n'
  echo '<!-- tervane folder="img" kinds="jpeg,gif-png" mode="image-link" thumbs -->'
  item alpha.png alpha.png.320x256.png 320x256
  item anim.gif anim.gif.320x240.png 320x240
  item cmyk.jpg cmyk.jpg.320x320.jpg 320x320
  item landscape.jpg landscape.jpg.320x240.jpg 320x240 landscape.jpg.640x480.jpg
  item 'portrait #1.jpg' 'portrait #1.jpg.240x320.jpg' 240x320 'portrait #1.jpg.480x640.jpg'
  item progressive.jpg progressive.jpg.320x160.jpg 320x160 progressive.jpg.640x320.jpg
  item small.png "" 100x80
  item text.jpg "" ""
  for o in 1 2 3 4; do item "turned$o.jpg" "turned$o.jpg.320x160.jpg" 320x160; done
  for o in 5 6 7 8; do item "turned$o.jpg" "turned$o.jpg.160x320.jpg" 160x320; done
  echo '<!-- /tervane -->'
  printf '</body>\n</html>\n'
})
if [ "$(cat p.htm)" != "$expected" ]; then
  echo "The page differs:"; diff -u <(echo "$expected") p.htm || true; status=1
fi

corners() {  # FILE: where it is red near its four corners, as shown
  local file=$1 at out=""
  for at in "w*0.1,h*0.1" "w*0.9,h*0.1" "w*0.1,h*0.9" "w*0.9,h*0.9"; do
    if [ "$(convert "$file[0]" -auto-orient -colorspace sRGB \
          -format "%[fx:p{$at}.r > 0.5 && p{$at}.b < 0.5]" info:)" = 1 ]; then
      out+=R
    else
      out+=-
    fi
  done
  echo "$out"
}
for thumbnail in img/thumbs/*.jpg img/thumbs/*.png; do
  name=$(basename "$thumbnail")
  original=img/${name%.*.*}
  size=${name%.*}
  size=${size##*.}
  format=JPEG
  case $name in *.png) format=PNG ;; esac
  got=$(identify -format '%m %wx%h %[colorspace]' "$thumbnail[0]")
  [ "$got" = "$format $size sRGB" ] || { echo "$name: $got"; status=1; }
  case $name in
    alpha.*) ;;
    *) [ "$(corners "$thumbnail")" = "$(corners "$original")" ] ||
         { echo "$name: turned $(corners "$thumbnail"), not $(corners "$original")"; status=1; } ;;
  esac
  meta=$(exiftool -q -q -s3 -EXIF:all -XMP:all -IPTC:all "$thumbnail" | wc -l)
  [ "$meta" = 0 ] || { echo "$name carries metadata"; status=1; }
done
[ "$(ls img/thumbs | wc -l)" = 17 ] || { echo "thumbnails: $(ls img/thumbs)"; status=1; }
grep -q 'text.jpg' "$work/err" || { echo "text.jpg is not named"; status=1; }
[ $status -eq 0 ] && echo "tervane.exe made the gallery"
exit $status
