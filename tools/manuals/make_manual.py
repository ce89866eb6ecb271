#!/usr/bin/env python3
"""Turns one manual's authoring folder into the folder that `helptool pack` reads.

    make_manual.py SOURCE_DIR IMAGES_DIR OUT_DIR LANGUAGE_FILE VIEWER_TEXTS

SOURCE_DIR holds help.manifest and the pages. LANGUAGE_FILE is Hashmere's
language file for the guide's language and VIEWER_TEXTS Leafscope's built-in
texts for it (both in the grouped key/value form), where the captions come from. For every page file the manifest
names (say pages/results.rtf) the page is taken from pages/results.page, a small
text markup (below), and written as RTF to OUT_DIR/pages/results.rtf; a page
written in RTF by hand (pages/results.rtf in SOURCE_DIR) is copied unchanged.
The manifest is copied beside the pages. Every RTF written is 7-bit: letters
beyond ASCII become \\uN? escapes.

Page markup (UTF-8; blank lines separate blocks):

    # Heading                      page heading
    ## Subheading                  heading inside a page
    Text lines ...                 one paragraph; lines are joined with a space
    - item                         bullet list item (a line starting with two
                                   spaces continues the item)
    1. item                        numbered list item
    ```                            code block up to the next ``` line, in the
    code                           monospace font on a grey band
    ```
    > text                         a tip: a tinted box; lines starting with >
    | a | b |                      table row; the first row is the header
    ![picture.png](560)            picture from IMAGES_DIR, shown 560 pixels wide

Inside text: **bold**, `code` (monospace), [text](https://address) (a link),
[text](#Page title) (a link to a page of the same guide, which Leafscope
follows), {tMainSAVE} (Hashmere's caption of that key, without its & marker)
and {Leafscope:tFindNEXT} (Leafscope's). Captions are written as they are,
so that a changed language file changes the guide with it.

Exits with status 1 and a message on a missing page or picture, a duplicate
title, an unknown manifest key, an unknown caption key, a link to a title the
guide does not have or markup it does not understand, so that the build stops
instead of shipping a broken manual.
"""

import os
import re
import struct
import sys

PROPERTY_KEYS = {
    "softwarename", "softwareversion", "helpname", "helpversion", "language", "date", "tool",
    "publisher", "copyright", "email", "website", "pagebackcolor", "leftmargin", "rightmargin",
    "homepage",
}

# Body text width the tables are laid out for, in twips (about 540 pixels).
TABLE_WIDTH = 8100
TWIPS_PER_PIXEL = 15

HEADER = (
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}}\n"
    # 1 text, 2 headings, 3 links and code, 4 code band, 5 tip box, 6 table header, 7 rule
    "{\\colortbl;\\red32\\green32\\blue32;\\red128\\green20\\blue28;\\red0\\green70\\blue140;"
    "\\red238\\green238\\blue238;\\red255\\green246\\blue214;\\red236\\green228\\blue228;"
    "\\red180\\green180\\blue180;}\n"
)
BODY = "\\pard\\plain\\sa120\\sl276\\slmult1\\f0\\fs20\\cf1 "


class MarkupError(Exception):
    pass


def escape(text):
    """RTF text: specials escaped, everything beyond ASCII as \\uN? (N signed 16-bit)."""
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif code < 0x20:
            raise MarkupError("control character U+%04X in text" % code)
        elif code < 0x80:
            out.append(ch)
        elif code > 0xFFFF:
            raise MarkupError("character U+%X is outside the Basic Multilingual Plane" % code)
        else:
            out.append("\\u%d?" % (code - 0x10000 if code > 0x7FFF else code))
    return "".join(out)


INLINE = re.compile(r"\*\*(.+?)\*\*|`([^`]+)`|\[([^\]]+)\]\((https?://[^)\s]+|mailto:[^)\s]+|#[^)]+)\)")
CAPTION = re.compile(r"\{(?:(Leafscope):)?(t[A-Za-z]+)\}")


class Guide:
    """What a page may refer to: its guide's titles and captions."""

    def __init__(self, titles=(), captions=None, viewer_captions=None):
        self.titles = {t.lower() for t in titles}
        self.captions = captions or {}
        self.viewer_captions = viewer_captions or {}


GUIDE = Guide()


def read_captions(path):
    """Key -> text of a grouped key/value file (UTF-8 with byte-order mark),
    keys from every group in any letter case; \\n in a message becomes a space."""
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(b"\xef\xbb\xbf"):
        raise MarkupError(path + " must be UTF-8 with a byte-order mark")
    captions = {}
    for raw in data[3:].decode("utf-8").splitlines():
        line = raw.strip()
        if not line or line.startswith(";") or line.startswith("["):
            continue
        key, equals, value = line.partition("=")
        if equals:
            captions[key.strip().lower()] = value.strip()
    return captions


def caption(match):
    viewer, key = match.groups()
    table = GUIDE.viewer_captions if viewer else GUIDE.captions
    if key.lower() not in table:
        raise MarkupError("unknown caption key {%s}" % match.group(0)[1:-1])
    text = table[key.lower()].replace("\\n", " ")
    # & marks the accelerator letter; && is a literal &.
    return re.sub(r"&(&?)", lambda m: m.group(1), text)


def captions(text):
    return CAPTION.sub(caption, text)


def inline(text):
    text = captions(text)
    out = []
    pos = 0
    for match in INLINE.finditer(text):
        out.append(escape(text[pos:match.start()]))
        bold, code, label, address = match.groups()
        if bold is not None:
            out.append("{\\b " + inline(bold) + "}")
        elif code is not None:
            out.append("{\\f1\\cf3 " + escape(code) + "}")
        else:
            if address.startswith("#") and address[1:].lower() not in GUIDE.titles:
                raise MarkupError("link to %r, which is no page title of this guide" % address[1:])
            out.append('{\\field{\\*\\fldinst HYPERLINK "' + escape(address) + '"}{\\fldrslt{\\ul\\cf3 '
                       + escape(label) + "}}}")
        pos = match.end()
    rest = text[pos:]
    if "**" in rest or "`" in rest:
        raise MarkupError("unmatched ** or ` in: " + text)
    out.append(escape(rest))
    return "".join(out)


def png_size(data, name):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise MarkupError("%s is not a PNG picture" % name)
    return struct.unpack(">II", data[16:24])


def picture(name, width, images_dir):
    path = os.path.join(images_dir, name)
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        raise MarkupError("missing picture " + path)
    w, h = png_size(data, name)
    shown_w = width or w
    shown_h = round(h * shown_w / w)
    hexdata = data.hex()
    lines = "\n".join(hexdata[i:i + 128] for i in range(0, len(hexdata), 128))
    return ("\\pard\\qc\\sa120 {\\pict\\pngblip\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\n%s\n}\\par\n"
            % (w, h, shown_w * TWIPS_PER_PIXEL, shown_h * TWIPS_PER_PIXEL, lines))


def shaded_box(shading, content, border=False):
    """One full-width table cell with a tinted background: code blocks and tips."""
    edges = "".join("\\clbrdr%s\\brdrs\\brdrw10\\brdrcf7" % side for side in "tlbr") if border else ""
    return ("\\trowd\\trgaph120\\trleft0\\clpadl120\\clpadfl3\\clpadr120\\clpadfr3\\clpadt80\\clpadft3"
            "\\clpadb80\\clpadfb3%s\\clcbpat%d\\cellx%d\n\\pard\\intbl\\sa0 %s\\cell\\row\n\\pard\\sa120\\par\n"
            % (edges, shading, TABLE_WIDTH, content))


def table(rows):
    cells = [[c.strip() for c in row.strip().strip("|").split("|")] for row in rows]
    # A separator row as Markdown writes it (|---|---|) is allowed and skipped.
    cells = [row for row in cells if not all(re.fullmatch(r":?-{3,}:?", c) for c in row)]
    columns = len(cells[0])
    if any(len(row) != columns for row in cells):
        raise MarkupError("table rows differ in their number of cells: " + rows[0])
    longest = [max(len(row[i]) for row in cells) for i in range(columns)]
    weights = [max(6, min(n, 45)) for n in longest]
    edges = []
    right = 0
    for i, weight in enumerate(weights):
        right = TABLE_WIDTH if i == columns - 1 else right + TABLE_WIDTH * weight // sum(weights)
        edges.append(right)
    border = "".join("\\clbrdr%s\\brdrs\\brdrw10\\brdrcf7" % side for side in "tlbr")
    out = []
    for r, row in enumerate(cells):
        shade = "\\clcbpat6" if r == 0 else ""
        out.append("\\trowd\\trgaph80\\trleft0" + "".join(border + shade + "\\cellx%d" % e for e in edges) + "\n")
        text = "".join(("{\\b " + inline(c) + "}" if r == 0 else inline(c)) + "\\cell " for c in row)
        out.append("\\pard\\intbl\\sa40 " + text + "\\row\n")
    out.append("\\pard\\sa120\\par\n")
    return "".join(out)


def list_item(kind, number, text, last):
    space = "\\sa120" if last else "\\sa60"
    if kind == "bullet":
        return ("\\pard" + space + "\\fi-300\\li600\\tx600{\\pntext\\f0 \\u8226?\\tab}"
                "{\\*\\pn\\pnlvlblt\\pnf0\\pnindent300{\\pntxtb\\u8226?}}" + inline(text) + "\\par\n")
    return ("\\pard%s\\fi-300\\li600\\tx600{\\pntext\\f0 %d.\\tab}"
            "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent300{\\pntxta .}}%s\\par\n" % (space, number, inline(text)))


def convert(markup, images_dir):
    lines = markup.splitlines()
    out = [HEADER, BODY + "\n"]
    i = 0
    after_list = False
    while i < len(lines):
        line = lines[i].rstrip()
        if not line:
            i += 1
            continue
        if line.startswith("```"):
            block = []
            i += 1
            while i < len(lines) and not lines[i].startswith("```"):
                block.append(escape(lines[i].rstrip()) or " ")
                i += 1
            if i == len(lines):
                raise MarkupError("code block without its closing ```")
            i += 1
            out.append(shaded_box(4, "{\\f1\\fs18 " + "\\line\n".join(block) + "}"))
            continue
        if line.startswith("## "):
            out.append("\\pard\\keepn\\sb200\\sa80{\\b\\fs24\\cf2 " + inline(line[3:]) + "}\\par\n")
            i += 1
            continue
        if line.startswith("# "):
            out.append("\\pard\\keepn\\sa160{\\b\\fs32\\cf2 " + inline(line[2:]) + "}\\par\n")
            i += 1
            continue
        if line.startswith("!["):
            match = re.fullmatch(r"!\[([^\]]+)\]\((\d*)\)", line)
            if not match:
                raise MarkupError("picture line must read ![file.png](width): " + line)
            out.append(picture(match.group(1), int(match.group(2) or 0), images_dir))
            i += 1
            continue
        if line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(lines[i])
                i += 1
            out.append(table(rows))
            continue
        if line.startswith(">"):
            text = []
            while i < len(lines) and lines[i].startswith(">"):
                text.append(lines[i][1:].strip())
                i += 1
            out.append(shaded_box(5, inline(" ".join(text)), border=True))
            continue
        bullet = line.startswith("- ")
        numbered = re.match(r"(\d+)\. ", line)
        if bullet or numbered:
            kind = "bullet" if bullet else "number"
            items = []
            while i < len(lines):
                current = lines[i].rstrip()
                start = re.match(r"(\d+)\. ", current) if kind == "number" else None
                if not ((kind == "bullet" and current.startswith("- ")) or start):
                    break
                text = [current[2:] if kind == "bullet" else current[start.end():]]
                i += 1
                while i < len(lines) and lines[i].startswith("  ") and lines[i].strip():
                    text.append(lines[i].strip())
                    i += 1
                items.append(" ".join(text))
            for n, text in enumerate(items, 1):
                out.append(list_item(kind, n, text, n == len(items)))
            continue
        text = []
        while i < len(lines) and lines[i].strip() and not re.match(r"(#|- |\d+\. |```|!\[|\||>)", lines[i]):
            text.append(lines[i].strip())
            i += 1
        out.append("\\pard\\sa120 " + inline(" ".join(text)) + "\\par\n")
    out.append("}\n")
    return "".join(out)


def read_manifest(path):
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(b"\xef\xbb\xbf"):
        raise MarkupError(path + " must be UTF-8 with a byte-order mark")
    pages = []
    group = None
    for number, raw in enumerate(data[3:].decode("utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        where = "%s:%d: " % (path, number)
        if line.startswith("["):
            group = line[1:line.index("]")].lower() if "]" in line else line[1:].lower()
            if group not in ("properties", "contents"):
                raise MarkupError(where + "unknown group [%s]" % group)
            continue
        key, _, value = line.partition("=")
        key = key.strip().lower()
        if group == "properties":
            if key not in PROPERTY_KEYS:
                raise MarkupError(where + "unknown property " + key)
        elif group == "contents":
            fields = [f.strip() for f in value.split("|")]
            if key != "page" or len(fields) not in (2, 3):
                raise MarkupError(where + "expected Page = level | title | page file")
            pages.append((fields[1], fields[2] if len(fields) == 3 else ""))
        else:
            raise MarkupError(where + "a key outside [Properties] and [Contents]")
    return data, pages


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    global GUIDE
    if len(argv) != 6:
        sys.stderr.write(__doc__.split("\n\n")[1] + "\n")
        return 2
    source, images, out, language_file, viewer_texts = argv[1:]
    try:
        manifest, pages = read_manifest(os.path.join(source, "help.manifest"))
        titles = set()
        for title, _ in pages:
            if title.lower() in titles:
                raise MarkupError("the title %r is used twice" % title)
            titles.add(title.lower())
        # A chapter heading has no page to show, so links may name pages only.
        GUIDE = Guide([title for title, page in pages if page], read_captions(language_file), read_captions(viewer_texts))
        os.makedirs(out, exist_ok=True)
        write_if_changed(os.path.join(out, "help.manifest"), manifest)
        for title, page in pages:
            if not page:
                continue
            if not page.endswith(".rtf"):
                raise MarkupError("page file %s must end in .rtf" % page)
            target = os.path.join(out, page)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            markup = os.path.join(source, page[:-4] + ".page")
            if os.path.exists(markup):
                with open(markup, encoding="utf-8") as f:
                    try:
                        rtf = convert(f.read(), images)
                    except MarkupError as error:
                        raise MarkupError("%s: %s" % (markup, error))
                write_if_changed(target, rtf.encode("ascii"))
            elif os.path.exists(os.path.join(source, page)):
                with open(os.path.join(source, page), "rb") as f:
                    write_if_changed(target, f.read())
            else:
                raise MarkupError("missing page %s for %r (neither %s nor the .rtf exists)" % (page, title, markup))
    except (MarkupError, OSError, UnicodeDecodeError) as error:
        sys.stderr.write("make_manual: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
