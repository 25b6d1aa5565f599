"""Whole-program comparisons of `tervane` with the tools a user would pick
instead, plus the micro-benchmarks' medians, printed as one Markdown table.

Usage: compare.py TERVANE MICRO_BENCH DATA_DIR

The data (folders of empty material files and pages) is generated under
DATA_DIR on the first run and reused after. Every command runs once as a
warm-up, then several times; the table gives medians of wall time and the
largest peak resident set size of the measured runs (the process with its
children).
"""

import json
import os
import platform
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import thumbnails

DATA_VERSION = "2"
ENV = dict(os.environ, LC_ALL="C.UTF-8")
PICTURE_EXTENSIONS = [".jpg", ".JPG", ".png", ".gif", ".jpeg", ".PNG", ".Gif"]
STEMS = ["IMG_", "photo-", "夕焼け", "Scan #", "mori & umi ", "DSC", "Été "]


def material_names(count, seed):
    rng = random.Random(seed)
    return [f"{rng.choice(STEMS)}{i:06d}{rng.choice(PICTURE_EXTENSIONS)}" for i in range(count)]


def touch_all(folder, names):
    os.makedirs(folder, exist_ok=True)
    for name in names:
        os.close(os.open(os.path.join(folder, name), os.O_CREAT | os.O_WRONLY, 0o644))


def escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;"))


def address(name):
    return name.replace("%", "%25").replace("#", "%23").replace("?", "%3F")


def page(title, body):
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
            "</title></head>\n<body>\n" + body + "</body>\n</html>\n")


def generate(data):
    """Builds every folder and page the cases use."""
    shutil.rmtree(data, ignore_errors=True)
    os.makedirs(data)
    # 100,000 pictures, and a small page beside them.
    touch_all(os.path.join(data, "many"), material_names(100_000, 1))
    with open(os.path.join(data, "many.html"), "w", encoding="utf-8") as out:
        out.write(page("写真の一覧", "<p>写真</p>\n"))
    # 10,000 files, one in ten a shortcut, and a page of 10,000 links: half
    # to files of the folder, half elsewhere.
    inv = os.path.join(data, "inversion")
    names = material_names(9_000, 2)
    touch_all(os.path.join(inv, "img"), names)
    shortcuts = [f"リンク {i:05d}.url" for i in range(1_000)]
    for i, name in enumerate(shortcuts):
        with open(os.path.join(inv, "img", name), "w", encoding="utf-8", newline="\r\n") as out:
            out.write(f"[InternetShortcut]\nURL=https://www.example.jp/links/{i}/\n")
    rng = random.Random(3)
    targets = [f"img/{address(n)}" for n in names] + [
        f"https://www.example.jp/links/{i}/" for i in range(1_000)]
    hrefs = rng.sample(targets, 5_000) + [f"../archive/{i}.png" for i in range(5_000)]
    rng.shuffle(hrefs)
    with open(os.path.join(inv, "page.html"), "w", encoding="utf-8") as out:
        out.write(page("リンク集", "".join(
            f'<a href="{escape(h)}">{i}</a><br>\n' for i, h in enumerate(hrefs))))
    # A page of 10 MB (text, tables, pictures and links) and 100 pictures.
    big = os.path.join(data, "big")
    touch_all(os.path.join(big, "img"), material_names(100, 4))
    rng = random.Random(5)
    parts = []
    size = 0
    n = 0
    while size < 10 * 1024 * 1024:
        n += 1
        part = (f'<h2 id="s{n}">第{n}章 森と海</h2>\n<p class="text">' +
                "木漏れ日の中を歩く。The path winds along the shore, " * rng.randint(2, 6) +
                f'<a href="chapter{n}.html#top">続き</a></p>\n'
                f'<table><tr><td><img src="img/photo-{n}.jpg" alt="写真 {n}" width="120"></td>'
                f"<td>{n} &amp; {n + 1}</td></tr></table>\n<!-- section {n} -->\n")
        parts.append(part)
        size += len(part.encode("utf-8"))
    with open(os.path.join(big, "pristine.html"), "w", encoding="utf-8") as out:
        out.write(page("大きなページ", "".join(parts)))
    # 10,000 pictures of 2 MiB each, as cameras make them: a JPEG header with
    # 16 KiB of EXIF before the frame header, then a sparse hole.
    pictures = os.path.join(data, "pictures")
    os.makedirs(pictures)
    exif = b"\xff\xe1" + (16 * 1024 + 2).to_bytes(2, "big") + b"Exif\0\0" + bytes(16 * 1024 - 4)
    frame = b"\xff\xc0\x00\x11\x08" + (3000).to_bytes(2, "big") + (4000).to_bytes(2, "big") + bytes(10)
    for i in range(10_000):
        with open(os.path.join(pictures, f"IMG_{i:05d}.jpg"), "wb") as out:
            out.write(b"\xff\xd8" + exif + frame)
            out.truncate(2 * 1024 * 1024)
    with open(os.path.join(data, "pictures.html"), "w", encoding="utf-8") as out:
        out.write(page("写真", ""))
    with open(os.path.join(data, "version"), "w") as out:
        out.write(DATA_VERSION)


def measure(argv, runs, cwd, before=None):
    """Median seconds and peak KiB over `runs` runs after one warm-up.

    GNU time reports the peak: a child of this interpreter would count the
    interpreter's own memory, which it had until it started the program.
    """
    times, peak = [], 0
    with tempfile.NamedTemporaryFile("r") as report:
        for run in range(runs + 1):
            if before:
                before()
            start = time.perf_counter()
            code = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", report.name, *argv],
                                   cwd=cwd, env=ENV, stdout=subprocess.DEVNULL)
            elapsed = time.perf_counter() - start
            if code != 0:
                sys.exit(f"bench: {' '.join(argv)} exited with {code}")
            if run > 0:
                times.append(elapsed)
                report.seek(0)
                peak = max(peak, int(report.read().split()[-1]))
    return statistics.median(times), peak


def micro_medians(binary):
    """Median real time in seconds of each micro-benchmark."""
    report = subprocess.run(
        [binary, "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
         "--benchmark_format=json", "--benchmark_min_time=0.2"],
        check=True, capture_output=True, text=True, env=ENV).stdout
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    medians = {}
    for entry in json.loads(report)["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            medians[entry["run_name"]] = entry["real_time"] * scale[entry["time_unit"]]
    return medians


def duration(seconds):
    if seconds >= 1:
        return f"{seconds:.2f} s"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.1f} ms"
    return f"{seconds * 1e6:.0f} µs"


def main():
    tervane, micro, data = (os.path.abspath(a) for a in sys.argv[1:4])
    try:
        with open(os.path.join(data, "version")) as f:
            fresh = f.read() != DATA_VERSION
    except OSError:
        fresh = True
    if fresh:
        print("Generating the data under", data, file=sys.stderr)
        generate(data)

    rows = []

    def row(case, ours, peer, target, peak=None):
        ratio = "—"
        if peer:
            ratio = f"{ours[0] / peer[0]:.2f}×"
            if ours[0] < peer[0] / 10:
                ratio = f"{ours[0] / peer[0]:.4f}× ({peer[0] / ours[0]:.0f}× faster)"
        rows.append([case, duration(ours[0]), duration(peer[0]) + f" ({peer[1]})" if peer else "—",
                     ratio, target, f"{peak / 1024:.1f} MiB" if peak else "—"])

    print("Running the micro-benchmarks", file=sys.stderr)
    m = micro_medians(micro)
    row("address + markup, 100,000 names", (m["BM_AddressAndMarkup/100000"],), None, "—")
    row("pattern match, 100,000 names", (m["BM_ListPatternMatch/100000"],), None, "—")
    row("list order sort, 100,000 names", (m["BM_ListOrderSort/100000"],), None, "—")
    row("inversion 10,000 × 10,000", (m["BM_InversionLinkMatcher"],),
        (m["BM_InversionNestedLoop"], "nested loop"), "≤ 0.01×")

    print("Running the programs", file=sys.stderr)
    patterns = ["*.jpeg", "*.jpg", "*.gif", "*.png"]
    find = ("find many -maxdepth 1 -type f \\( " +
            " -o ".join(f"-iname '{p}'" for p in patterns) + " \\) | sort -f")
    ours = measure([tervane, "list", "--folder", "many"], 7, data)
    row("list, 100,000 files", ours, (measure(["sh", "-c", find], 7, data)[0], "find + sort"),
        "≤ 1.5×", ours[1])

    ours = measure([tervane, "link", "many.html", "--folder", "many", "--dry-run"], 7, data)
    tree = ["tree", "-H", ".", "-P", "|".join(patterns), "--ignore-case", "--noreport", "many"]
    row("link --dry-run, 100,000 pictures", ours, (measure(tree, 7, data)[0], "tree -H"), "≤ 1.0×",
        ours[1])

    inv = os.path.join(data, "inversion")
    link = [tervane, "link", "page.html", "--folder", "img", "--kinds", "shortcut,jpeg,gif-png",
            "--dry-run"]
    plain = measure(link, 7, inv)
    ours = measure(link + ["--missing"], 7, inv)
    row("link --missing --dry-run, 10,000 links × 10,000 files", ours,
        (plain[0], "link --dry-run"), "< 1.5×", ours[1])

    # sync of a block of 100,000 files: in step (nothing written), and after
    # 1,000 files came and 1,000 went (here: the block lacks 1,000 of the
    # folder's files and lists 1,000 that are not there).
    synced = os.path.join(data, "sync-pristine.html")
    if not os.path.exists(synced):
        shutil.copyfile(os.path.join(data, "many.html"), synced)
        subprocess.run([tervane, "sync", synced, "--folder", os.path.join(data, "many")],
                       check=True, cwd=data)
        with open(synced, encoding="utf-8") as f:
            lines = f.read().split("\n")
        start = next(i for i, line in enumerate(lines) if line.startswith("<!-- tervane")) + 1
        rng = random.Random(6)
        gone = set(rng.sample(range(start, start + 100_000), 1_000))
        stale = [line for i, line in enumerate(lines) if i not in gone]
        for k in range(1_000):
            at = rng.randrange(start, start + 99_000)
            stale.insert(at, f'<a href="many/gone-{k:04d}.jpg">gone-{k:04d}.jpg</a><br>')
        with open(os.path.join(data, "sync-stale.html"), "w", encoding="utf-8") as out:
            out.write("\n".join(stale))

    def copy_to_sync(name):
        return lambda: shutil.copyfile(os.path.join(data, name), os.path.join(data, "sync.html"))

    peer = measure([tervane, "link", "sync.html", "--folder", "many", "--dry-run"], 5, data,
                   copy_to_sync("sync-pristine.html"))
    ours = measure([tervane, "sync", "sync.html"], 5, data, copy_to_sync("sync-pristine.html"))
    row("sync, block of 100,000 files, unchanged", ours, (peer[0], "link --dry-run"), "≤ 2×",
        ours[1])
    ours = measure([tervane, "sync", "sync.html"], 5, data, copy_to_sync("sync-stale.html"))
    row("sync, 100,000 files, 1,000 added and 1,000 removed", ours,
        (peer[0], "link --dry-run"), "≤ 2×", ours[1])

    # --size over 10,000 pictures of 2 MiB, against reading the whole files.
    sized = [tervane, "link", "pictures.html", "--folder", "pictures", "--mode", "image",
             "--dry-run"]
    ours = measure(sized + ["--size"], 5, data)
    peer = measure(["sh", "-c", "cat pictures/* >/dev/null"], 5, data)
    row("link --size --dry-run, 10,000 pictures of 2 MiB", ours, (peer[0], "cat the files"),
        "far less", ours[1])
    plain = measure(sized, 5, data)
    row("  the same without --size", plain, None, "—", plain[1])

    big = os.path.join(data, "big")

    def restore():
        shutil.copyfile(os.path.join(big, "pristine.html"), os.path.join(big, "page.html"))

    ours = measure([tervane, "link", "page.html", "--folder", "img"], 5, big, restore)
    peer = measure(["cp", "pristine.html", "copy.html"], 5, big)
    row("link into a 10 MB page", ours, (peer[0], "cp"), "≤ 3×", ours[1])

    ours = measure([tervane, "link", "written.html", "--folder", "many"], 3, data,
                   lambda: shutil.copyfile(os.path.join(data, "many.html"),
                                           os.path.join(data, "written.html")))
    rows.append(["peak memory, link 100,000 pictures (page written)", duration(ours[0]), "—", "—",
                 "< 64 MiB", f"{ours[1] / 1024:.1f} MiB"])

    print("Running the thumbnail cases", file=sys.stderr)
    rows.extend(thumbnails.rows(tervane, data, measure, row, ENV))

    header = ["Case", "Tervane", "Peer", "Ratio", "Target", "Tervane peak RSS"]
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join(" --- " for _ in header) + "|")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                if line.startswith("model name")), platform.processor())
    load = open("/proc/loadavg").read().split()[:3]
    print(f"\nMachine: {cpu}, {os.cpu_count()} cores, Linux {platform.release()}; "
          f"load average {' '.join(load)} at the end of the run.")


if __name__ == "__main__":
    main()
