#!/usr/bin/env bash
# Headless Chromium reads the same pages as our HTML parser: for every page of
# the given folders, the links it finds (document.links, each href as
# written) must be ours, in the same order, and so must the title.
# Usage: judge_parser.sh OUTLINE-DUMP FOLDER...
set -euo pipefail
dump=$1
shift
chromium=$(command -v chromium) || { echo "chromium is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pages"

# Each page goes in with a UTF-8 byte-order mark, so that the browser reads
# it as UTF-8 whatever it declares, as the dump does.
for folder in "$@"; do
  for page in "$folder"/*; do
    name=$(basename "$page")
    { printf '\xef\xbb\xbf'; cat "$page"; } > "$work/pages/$name.htm"
  done
done
(cd "$work/pages" && "$dump" *) | sed 's/\.htm",/",/' > "$work/ours.json"

python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
names = sorted(n[:-4] for n in os.listdir(work + '/pages'))
script = '''
var names = %s, out = [], i = 0;
function next() {
  if (i >= names.length) {
    var pre = document.createElement("pre"); pre.id = "verdict";
    pre.textContent = JSON.stringify(out); document.body.appendChild(pre); return;
  }
  var frame = document.createElement("iframe");
  frame.src = "pages/" + encodeURIComponent(names[i]) + ".htm";
  frame.onload = function () {
    var d = frame.contentDocument, links = [];
    for (var k = 0; k < d.links.length; k++) links.push(d.links[k].getAttribute("href"));
    out.push({name: names[i], title: d.title, links: links});
    frame.remove(); i++; next();
  };
  document.body.appendChild(frame);
}
next();
''' % json.dumps(names)
open(work + '/judge.html', 'w').write('<!DOCTYPE html><html><body><script>' + script +
                                      '</script></body></html>')
PY
"$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --allow-file-access-from-files \
  --virtual-time-budget=600000 --dump-dom "file://$work/judge.html" 2>/dev/null > "$work/dom.html"

python3 - "$work" <<'PY'
import html, json, re, sys
work = sys.argv[1]
dom = open(work + '/dom.html', encoding='utf-8', errors='replace').read()
found = re.search(r'<pre id="verdict">(.*?)</pre>', dom, re.S)
if not found:
    sys.exit('the browser gave no verdict')
browser = {page['name']: page for page in json.loads(html.unescape(found.group(1)))}

def same_title(text):
    # The browser's title treats every control character as a blank.
    return ' '.join(re.sub('[\x00-\x20]+', ' ', text).split())

bad = 0
pages = 0
for line in open(work + '/ours.json', encoding='utf-8', errors='replace'):
    ours = json.loads(line)
    theirs = browser.get(ours['name'])
    pages += 1
    if theirs is None:
        print('%s: the browser did not read it' % ours['name']); bad += 1; continue
    if ours['links'] != theirs['links']:
        print('%s: links %r, browser %r' % (ours['name'], ours['links'], theirs['links'])); bad += 1
    elif same_title(ours['title']) != same_title(theirs['title']):
        print('%s: title %r, browser %r' % (ours['name'], ours['title'], theirs['title'])); bad += 1
print('%d pages, %d read differently from the browser' % (pages, bad))
sys.exit(1 if bad else 0)
PY
