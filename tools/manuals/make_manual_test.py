#!/usr/bin/env python3
"""Feeds make_manual.py small guides: one whose captions and links it must
resolve, and broken ones it must refuse without leaving a page behind.

    make_manual_test.py MAKE_MANUAL
"""

import os
import subprocess
import sys
import tempfile

BOM = "\ufeff"
MANIFEST = BOM + """[Properties]
HelpName = Test
[Contents]
Page = 0 | Home | pages/home.rtf
Page = 0 | A chapter
Page = 1 | Second page | pages/second.rtf
"""
CAPTIONS = BOM + "[MAIN WINDOW]\ntMainSAVE = &Save...\ntMainAND = Copy && paste\n[REQUESTER]\ntReqCANCEL = Stop?\\nReally\n"
VIEWER = BOM + "[LEAFSCOPE]\ntFindNEXT = Next\n"


def build(folder, home_page):
    source = os.path.join(folder, "source")
    os.makedirs(os.path.join(source, "pages"), exist_ok=True)
    for name, text in (("help.manifest", MANIFEST), ("pages/home.page", home_page),
                       ("pages/second.page", "# Second page\nText.\n"), ("../captions", CAPTIONS),
                       ("../viewer", VIEWER)):
        with open(os.path.join(source, name), "w", encoding="utf-8") as f:
            f.write(text)
    out = os.path.join(folder, "out")
    result = subprocess.run([sys.executable, sys.argv[1], source, folder, out, os.path.join(folder, "captions"),
                             os.path.join(folder, "viewer")], capture_output=True, text=True)
    home = os.path.join(out, "pages", "home.rtf")
    text = open(home, encoding="ascii").read() if os.path.exists(home) else None
    return result.returncode, result.stderr, text


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        code, err, rtf = build(folder, "# Home\nPress **{tMainSAVE}**, {tmainand}, \"{tReqCANCEL}\", "
                                       "{Leafscope:tFindNEXT}; see [Second page](#second PAGE).\n")
        if code != 0:
            failures.append("a good page was refused: " + err)
        else:
            for wanted in ("{\\b Save...}", "Copy & paste", '"Stop? Really"', "Next;",
                           'HYPERLINK "#second PAGE"'):
                if wanted not in rtf:
                    failures.append("the good page lacks %r" % wanted)
    bad = [
        ("unknown caption key", "# Home\n{tMainNOSUCH}\n", "unknown caption key"),
        ("viewer key looked up in Hashmere's file", "# Home\n{tFindNEXT}\n", "unknown caption key"),
        ("Hashmere key looked up in Leafscope's", "# Home\n{Leafscope:tMainSAVE}\n", "unknown caption key"),
        ("link to a missing title", "# Home\n[x](#Third page)\n", "no page title"),
        ("link to a chapter heading", "# Home\n[x](#A chapter)\n", "no page title"),
        ("missing picture", "# Home\n![none.png](100)\n", "missing picture"),
        ("unmatched bold", "# Home\n**open\n", "unmatched"),
    ]
    for what, page, message in bad:
        with tempfile.TemporaryDirectory() as folder:
            code, err, rtf = build(folder, page)
            if code != 1 or message not in err:
                failures.append("%s: status %d, %r" % (what, code, err))
            if rtf is not None:
                failures.append("%s: the page was written all the same" % what)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
