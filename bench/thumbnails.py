"""The thumbnail cases of `make bench`: 200 photos of 12 megapixels, made
from the real photos of Debian's mate-backgrounds (nothing large is kept in
the repository), thumbnailed by `tervane link --thumbs` and by libvips' own
`vipsthumbnail`; a `sync` with nothing to do; the size of a 320 px JPEG.
"""

import glob
import os
import shutil
import subprocess
import sys

PHOTOS = 200
SOURCES = "/usr/share/backgrounds/mate"


DISTINCT = 40


def generate(data):
    """DATA/photos: 200 JPEGs of 4000x3000 at quality 90: 40 cropped or
    mirrored from the backgrounds in turn, the others copies of those (a
    copy costs as much to decode, and much less to make)."""
    folder = os.path.join(data, "photos")
    os.makedirs(folder, exist_ok=True)
    sources = sorted(glob.glob(os.path.join(SOURCES, "*", "*.jpg")))
    if not sources:
        raise SystemExit("bench: no photos in " + SOURCES + " (install mate-backgrounds)")
    for i in range(PHOTOS):
        target = os.path.join(folder, f"IMG_{i:04d}.jpg")
        if os.path.exists(target):
            continue
        if i >= DISTINCT:
            shutil.copyfile(os.path.join(folder, f"IMG_{i % DISTINCT:04d}.jpg"), target)
            continue
        source = sources[i % len(sources)]
        crop = ["centre", "attention", "entropy", "low", "high"][(i // len(sources)) % 5]
        subprocess.run(["vips", "thumbnail", source, target + ".tmp.jpg[Q=90,strip]", "4000",
                        "--height", "3000", "--size", "both", "--crop", crop], check=True)
        if (i // len(sources)) % 2:
            subprocess.run(["vips", "flip", target + ".tmp.jpg", target + "[Q=90]", "horizontal"],
                           check=True)
            os.remove(target + ".tmp.jpg")
        else:
            os.replace(target + ".tmp.jpg", target)
    with open(os.path.join(data, "photos.html"), "w", encoding="utf-8") as out:
        out.write('<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>photos</title>'
                  '</head>\n<body>\n<!-- tervane folder="photos" kinds="jpeg" mode="image-link" '
                  'thumbs -->\n<!-- /tervane -->\n</body>\n</html>\n')


def read_bytes(argv, cwd, env):
    """Bytes the program read (rchar of the shell that waited for it)."""
    script = '"$@" >/dev/null && grep ^rchar: /proc/$$/io'
    out = subprocess.run(["sh", "-c", script, "sh", *argv], cwd=cwd, env=env, check=True,
                         capture_output=True, text=True).stdout
    return int(out.split()[-1])


def rows(tervane, data, measure, row, env):
    if not os.path.exists(os.path.join(data, "photos.html")):
        print("Generating 200 photos of 12 MP", flush=True, file=sys.stderr)
        generate(data)
    photos = os.path.join(data, "photos")
    thumbs = os.path.join(photos, "thumbs")
    peer_out = os.path.join(data, "vipsthumbnail-out")

    def clear():
        shutil.rmtree(thumbs, ignore_errors=True)
        shutil.rmtree(peer_out, ignore_errors=True)
        os.makedirs(peer_out)

    # Ours makes two thumbnails of each photo from one decode, 640 px (for
    # two device pixels a CSS pixel) and 320 px; the peer one at 640 px
    # (the size that is decoded) and, in a second row, both.
    subprocess.run(["cat", *glob.glob(photos + "/*.jpg")], stdout=subprocess.DEVNULL, check=True)
    ours = measure([tervane, "sync", "photos.html"], 3, data, clear)
    options = "[Q=80,strip,optimize_coding]"
    peer640 = measure(["vipsthumbnail", "-s", "640", "-o", peer_out + "/%s-640.jpg" + options,
                       *sorted(glob.glob(photos + "/*.jpg"))], 3, data, clear)
    row("thumbnails, 200 photos of 12 MP (320 + 640 px)", ours,
        (peer640[0], "vipsthumbnail -s 640"), "≤ 1.2×", ours[1])
    both = measure(["sh", "-c", 'vipsthumbnail -s 320 -o "$0/%s-320.jpg' + options + '" "$@" && '
                    'vipsthumbnail -s 640 -o "$0/%s-640.jpg' + options + '" "$@"', peer_out,
                    *sorted(glob.glob(photos + "/*.jpg"))], 3, data, clear)
    row("  the same against vipsthumbnail at both sizes", ours, (both[0], "vipsthumbnail ×2"),
        "≤ 1.2×", ours[1])

    # Unchanged: only the pictures' headers are read.
    subprocess.run([tervane, "sync", "photos.html"], cwd=data, env=env, check=True)
    ours = measure([tervane, "sync", "photos.html"], 5, data)
    peer = measure([tervane, "link", "photos.html", "--folder", "photos", "--mode", "image-link",
                    "--dry-run"], 5, data)
    row("sync with thumbnails, 200 photos, unchanged", ours, (peer[0], "link --dry-run"), "≤ 2×",
        ours[1])
    total = sum(os.path.getsize(p) for p in glob.glob(photos + "/*.jpg"))
    read = read_bytes([tervane, "sync", "photos.html"], data, env)
    rows_read = f"{read / 2**20:.1f} MiB of {total / 2**20:.0f} MiB"
    sizes = sorted(os.path.getsize(p) for p in glob.glob(thumbs + "/*.320x*.jpg"))
    return [
        ["  read by that sync (no picture decoded)", rows_read, "—", "—", "headers only", "—"],
        ["320 px JPEG thumbnail, median and largest of 200",
         f"{sizes[len(sizes) // 2] / 1024:.1f} KiB, {sizes[-1] / 1024:.1f} KiB", "—", "—",
         "≤ 40 KiB", "—"],
    ]
