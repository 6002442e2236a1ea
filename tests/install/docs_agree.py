#!/usr/bin/python3
"""The man page lists the same keys and exit statuses as the README, whatever they are.
usage: docs_agree.py README.md vollix.6"""
import re
import shlex
import sys

readme, man = (open(path).read() for path in sys.argv[1:3])
key_table = readme.split("## Playing")[1].split("\n\n")[1]  # the first table under the heading
readme_keys = {k.strip() for row in key_table.splitlines()[2:] for k in row.split("|")[1].split("/")}
readme_codes = set(re.findall(r"^\| (\d+) \|", readme.split("## Exit status")[1].split("\n## ")[0], re.M))


def man_items(section):
    """What the man page's section names in bold after each .TP, as (macro, words)."""
    text = re.split(r"^\.SH ", man.split("\n.SH %s\n" % section)[1], flags=re.M)[0]
    return [(macro, shlex.split(words)) for macro, words in re.findall(r"^\.TP\n\.(BR?) (.*)$", text, re.M)]


man_keys = {k for macro, words in man_items("CONTROLS") for k in (words[::2] if macro == "BR" else [" ".join(words)])}
man_codes = {" ".join(words) for _, words in man_items("EXIT STATUS")}
for what, a, b in (("keys", readme_keys, man_keys), ("exit statuses", readme_codes, man_codes)):
    print("%s: README %s, man page %s" % (what, sorted(a), sorted(b)))
    if a != b or not a:
        sys.exit("FAIL: the %s differ: only in the README %s, only in the man page %s" % (what, a - b, b - a))
