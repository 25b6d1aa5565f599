#!/usr/bin/env python3
"""The Japanese guide (Markdown) as a plain text that reads well in Notepad.

Notepad shows Markdown as it stands (fences, pipe tables, image links) and,
on Windows XP, does not wrap long lines unless asked. The text keeps every
word of the guide: headings become marked lines, a table becomes one entry
per row with the column names, a fenced block is indented, a picture names
its file beside the guide, and lines are wrapped at 76 columns (a full-width
character takes two), never before a closing mark or inside a word.

guide_text.py GUIDE.md OUTPUT.txt   writes the text (UTF-8, LF line ends)
guide_text.py --check GUIDE.md      converts and fails if Markdown is left
                                    or a line is too wide
"""
import re
import sys
import unicodedata

WIDTH = 76
# Not at the start of a line (kinsoku): closing marks and small kana.
NO_START = set("、。，．：；？！）」』】〕〉》”’ゝゞーぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ,.:;?!)]}%")
# Not at the end of a line: opening marks.
NO_END = set("（「『【〔〈《“‘([{")


def width(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def inline(text):
    text = re.sub(r"!\[([^\]]*)\]\(([^)]*)\)", r"［図: \1（このテキストと同じフォルダの \2）］", text)
    text = re.sub(r"\[([^\]]*)\]\(([^)]*)\)", r"\1（\2）", text)
    text = re.sub(r"\*\*([^*]+)\*\*", r"\1", text)
    text = re.sub(r"`([^`]*)`", r"\1", text)
    return text


def tokens(text):
    """Pieces that a line may not be broken inside: an ASCII word with the
    blank before it, or one other character."""
    return re.findall(r" *[!-~]+| +|.", text)


def wrap(text, indent, hanging):
    lines, line = [], []  # the current line as tokens
    lead = indent
    for token in tokens(text):
        used = width(lead + "".join(line))
        if used + width(token) > WIDTH and "".join(line).strip():
            # The next line must not start with a closing mark, and this one
            # must not end with an opening one: whole tokens move down.
            carry = []
            while len(line) > 1 and ((carry or [token])[0].lstrip()[:1] in NO_START or
                                     line[-1][-1:] in NO_END):
                carry.insert(0, line.pop())
            lines.append((lead + "".join(line)).rstrip())
            lead = hanging
            line = carry + [token] if carry else [token.lstrip()]
            if carry:
                line[0] = line[0].lstrip()
        else:
            line.append(token)
    lines.append((lead + "".join(line)).rstrip())
    return lines


VERBATIM = set()  # the lines of fenced blocks, wrapped as the program shows them


def convert(markdown):
    out = []
    fenced = False
    table = None  # the column names of the table being read
    for raw in markdown.splitlines():
        if raw.lstrip().startswith("```"):
            fenced = not fenced
            continue
        if fenced:
            out.append("    " + raw if raw.strip() else "")
            VERBATIM.add(out[-1])
            continue
        stripped = raw.strip()
        if stripped.startswith("|"):
            cells = [inline(c.strip()) for c in stripped.strip("|").split("|")]
            if table is None:
                table = cells
            elif not all(re.fullmatch(r":?-+:?", c) for c in cells):
                indent = raw[: len(raw) - len(raw.lstrip())]
                out.extend(wrap(cells[0], indent + "・", indent + "  "))
                for name, cell in zip(table[1:], cells[1:]):
                    out.extend(wrap(f"{name}: {cell}", indent + "    ", indent + "      "))
            continue
        table = None
        heading = re.match(r"(#+) +(.*)", raw)
        if heading:
            level, title = len(heading.group(1)), inline(heading.group(2))
            if level == 1:
                out.extend([title, "＝" * min(WIDTH // 2, width(title) // 2 + 1)])
            else:
                out.append(("■ " if level == 2 else "● ") + title)
            continue
        item = re.match(r"( *)[-*] +(.*)", raw)
        if item:
            indent = item.group(1)
            out.extend(wrap(inline(item.group(2)), indent + "・", indent + "  "))
            continue
        if not stripped:
            out.append("")
            continue
        indent = raw[: len(raw) - len(raw.lstrip())]
        out.extend(wrap(inline(stripped), indent, indent))
    text = "\n".join(out)
    return re.sub(r"\n{3,}", "\n\n", text).strip("\n") + "\n"


def check(text):
    faults = []
    for number, line in enumerate(text.splitlines(), 1):
        if re.search(r"```|^\s*\||!\[|\]\(|\*\*|`|^#", line):
            faults.append(f"line {number}: Markdown left: {line}")
        if width(line) > WIDTH and line not in VERBATIM:
            faults.append(f"line {number}: wider than {WIDTH} columns: {line}")
        if line[:1] in NO_START and line.strip():
            faults.append(f"line {number}: starts with a closing mark: {line}")
    return faults


def main(argv):
    if argv[1:2] == ["--check"]:
        with open(argv[2], encoding="utf-8") as guide:
            faults = check(convert(guide.read()))
        for fault in faults:
            print(fault, file=sys.stderr)
        return 1 if faults else 0
    with open(argv[1], encoding="utf-8") as guide:
        text = convert(guide.read())
    with open(argv[2], "w", encoding="utf-8", newline="\n") as output:
        output.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
