#!/usr/bin/env python3
"""Checks that each guide's command-line page names every option that
`hashmere-cli --help` lists, short and long form, as the built RTF holds it.

    cli_page_options_test.py HASHMERE_CLI STAGING_DIR LANGID...
"""

import re
import subprocess
import sys


def main(argv):
    program, staging, languages = argv[1], argv[2], argv[3:]
    help_text = subprocess.run([program, "--help"], capture_output=True, text=True, check=True).stdout
    options = set()
    for line in help_text.splitlines():
        match = re.match(r"\s+(?:(-[A-Za-z]), )?(--[a-z][a-z-]*)", line)
        if match:
            options.update(o for o in match.groups() if o)
    # The end of the options: sha256sum and the like take it too.
    options.add("--")
    if len(options) < 10:
        print("FAIL: --help lists only %s" % sorted(options))
        return 1
    failed = False
    for language in languages:
        path = "%s/%s/pages/cli_usage.rtf" % (staging, language)
        with open(path, encoding="ascii") as f:
            page = f.read()
        for option in sorted(options):
            if not re.search(r"(?<![\w-])%s(?![\w-])" % re.escape(option), page):
                print("FAIL: %s does not name %s" % (path, option))
                failed = True
    if not failed:
        print("every option of --help (%d) is on the command-line page of %s" % (len(options), ", ".join(languages)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
