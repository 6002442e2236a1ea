#!/usr/bin/python3
"""The man page (argument 2) names the same keys and exit statuses as the README (argument 1), whatever they are."""
import re, shlex, sys  # noqa: E401

readme, man = (open(path).read() for path in sys.argv[1:3])
cells = lambda table: re.findall(r"^\| ([^|]*?) \|", table, re.M)[1:]  # noqa: E731 (first column, header left out)
keys = {k.strip() for row in cells(readme.split("## Playing")[1].split("\n\n")[1]) for k in row.split("/")}
codes = set(cells(readme.split("## Exit status")[1].split("\n## ")[0]))
section = lambda name: re.split(r"^\.SH ", man.split("\n.SH %s\n" % name)[1], flags=re.M)[0]  # noqa: E731
# What a man page section sets in bold after each .TP: every other word of .BR, all of .B.
bold = lambda name: {w for macro, words in re.findall(r"^\.TP\n\.(BR?) (.*)$", section(name), re.M)  # noqa: E731
                     for w in (shlex.split(words)[::2] if macro == "BR" else [" ".join(shlex.split(words))])}
for what, a, b in (("keys", keys, bold("CONTROLS")), ("exit statuses", codes, bold("EXIT STATUS"))):
    if a != b or not a:
        sys.exit("FAIL: the README names the %s %s, the man page %s" % (what, sorted(a), sorted(b)))
