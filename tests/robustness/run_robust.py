#!/usr/bin/python3
"""Robustness tests of the real vollix binary: bad files, a table that must
survive, and leaving by the close button or a signal. Run one case by name.

usage: run_robust.py --vollix PATH --data PATH [--gen DIR] CASE
       run_robust.py --list
"""

import sys
sys.dont_write_bytecode = True  # keep the source tree clean

import argparse  # noqa: E402
import os  # noqa: E402
import random  # noqa: E402
import signal  # noqa: E402
import subprocess  # noqa: E402
import tempfile  # noqa: E402
import time  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from robust_session import RobustSession, can_drop_privileges, h, PLAIN_USER  # noqa: E402

DEFAULT_SCORES = [("Orlem Vasket", s) for s in (800, 650, 500, 350, 200)]
CUSTOM_SCORES = [("Ann", 9000), ("Bob", 7000), ("Cy", 5000), ("Di", 3000), ("Ed", 1000)]
ZERO_SCORES = [("Seed %d" % i, 0) for i in range(5)]
DATA_MESSAGE = "Error loading DATA.DAT."
GFX_MESSAGE = "Error initializing graphics mode (640x480)."
QUIT_LIMIT = 5.0          # seconds the game gets to leave after a quit request
# Seconds for a screen to show, and before a key the game seems to have missed
# is pressed again; both far longer under valgrind.
WAIT = {"limit": 60.0, "each": 6.0}

CASES = {}
Skip = h.Skip


def case(name):
    """Registers a test case under name."""
    def register(fn):
        CASES[name] = fn
        return fn
    return register


# ---- the high-score file ---------------------------------------------------

def packed(payload):
    """payload compressed as a packed file by the library's pack utility."""
    scratch = tempfile.mkdtemp(prefix="vollix-pack-")
    try:
        with open(os.path.join(scratch, "in.bin"), "wb") as f:
            f.write(payload)
        h.run_pack(["in.bin", "out.hst"], scratch)
        with open(os.path.join(scratch, "out.hst"), "rb") as f:
            return f.read()
    finally:
        subprocess.run(["rm", "-rf", scratch])


def raw_payload(path):
    """The expanded bytes of a packed hiscores.hst."""
    scratch = tempfile.mkdtemp(prefix="vollix-pack-")
    try:
        with open(path, "rb") as src, open(os.path.join(scratch, "in.hst"), "wb") as dst:
            dst.write(src.read())
        h.run_pack(["u", "in.hst", "out.bin"], scratch)
        with open(os.path.join(scratch, "out.bin"), "rb") as f:
            return f.read()
    finally:
        subprocess.run(["rm", "-rf", scratch])


def valid_table(path):
    """Checks the file is a whole table with every name NUL-ended in 16 bytes; its entries."""
    payload = raw_payload(path)
    h.check(len(payload) == 100, "payload of %d bytes" % len(payload))
    for i in range(5):
        h.check(b"\0" in payload[20 * i:20 * i + 16], "name %d has no NUL: %r" % (i, payload[20 * i:20 * i + 16]))
    return h.decode_scores(payload)


def no_temp_files(workdir):
    """Fails when a save left a temporary file beside the table."""
    left = [f for f in os.listdir(workdir) if f.startswith("hiscores.hst.")]
    h.check(not left, "temporary files left: %r" % left)


# ---- screens ----------------------------------------------------------------

def open_menu(s):
    """Waits for the window and a steady menu."""
    return h.open_menu(s, timeout=WAIT["limit"])


def start_game(s, ref):
    """ENTER on Play until the menu gives way; returns a picture of the game."""
    return h.start_game(s, ref, timeout=WAIT["limit"], retry=WAIT["each"])


def leave_game(s, ref):
    """ESC in a game until the menu is back (no place in the table is earned)."""
    return s.tap_until("Escape", h.in_menu(ref), "the menu after ESC",
                       timeout=WAIT["limit"], wait_each=WAIT["each"])


def to_name_entry(s, ref, game):
    """ESC in a game whose score qualifies, until the name entry shows."""
    titles = (100, 26, 540, 72)
    shown = lambda img: h.diff_count(img, game, titles) > 100 and not h.in_menu(ref)(img)
    s.tap_until("Escape", shown, "the name-entry screen", timeout=WAIT["limit"], wait_each=WAIT["each"])
    return s.wait_steady("a steady name-entry screen", predicate=shown, timeout=WAIT["limit"])


def cursor_moved_to(ref, item):
    """Predicate: the cursor is off Play and on item."""
    return lambda img: (not h.same(img, ref, h.cursor_box(0))
                        and not h.same(img, ref, h.cursor_box(item)))


def to_table(s, ref):
    """Moves to the high-score item and opens the table screen."""
    s.hold_until("Down", cursor_moved_to(ref, 1), "the cursor on item 1",
                 timeout=WAIT["limit"], retry_after=WAIT["each"])
    s.hold_until("Down", cursor_moved_to(ref, 2), "the cursor on item 2",
                 timeout=WAIT["limit"], retry_after=WAIT["each"])
    return s.tap_until("Return", lambda img: h.volume_bar_length(img) == 0,
                       "the table screen", timeout=WAIT["limit"], wait_each=WAIT["each"])


def exit_by_escape(s, ref):
    """ESC moves to Exit, ESC again leaves; returns the exit code."""
    return h.exit_by_escape(s, ref, timeout=WAIT["limit"], retry=WAIT["each"])


def play_a_moment(s, ref):
    """Plays a game briefly, leaves it, visits the table and exits by ESC ESC."""
    start_game(s, ref)
    leave_game(s, ref)
    to_table(s, ref)
    s.tap_until("space", h.in_menu(ref), "the menu after the table", timeout=WAIT["limit"])
    code = exit_by_escape(s, ref)
    h.check(code == 0, "exit code %d, expected 0" % code)


# ---- a. bad hiscores.hst ----------------------------------------------------

def bad_table_case(name, content, expected, unprivileged=False, after=None):
    """The game starts, plays and exits 0 with content as hiscores.hst.

    content: bytes for the file, a function() giving them, or a function(path)
    that makes the file itself.
    expected: the entries the written file must hold (None: only valid).
    """
    def run(args):
        def prepare(workdir):
            path = os.path.join(workdir, "hiscores.hst")
            if callable(content) and content.__code__.co_argcount == 1:
                content(path)
            else:
                _write(path, content() if callable(content) else content)
        with RobustSession(args.vollix, args.data, name, prepare=prepare,
                           unprivileged=unprivileged) as s:
            play_a_moment(s, open_menu(s))
            path = s.path("hiscores.hst")
            no_temp_files(s.workdir)
            if after is not None:
                after(path)
                return
            entries = valid_table(path)
            if expected is not None:
                h.check(entries == expected, "table %r, expected %r" % (entries, expected))
    case("hst_" + name)(run)


def _table(entries):
    """The 100-byte payload of a table."""
    return h.encode_scores(entries)


bad_table_case("random", bytes(random.Random(4242).randrange(256) for _ in range(300)),
               DEFAULT_SCORES)
bad_table_case("empty", b"", DEFAULT_SCORES)
bad_table_case("plain_text", b"Ann 9000\nBob 7000\nnot a packed file\n", DEFAULT_SCORES)
bad_table_case("short_payload", lambda: packed(_table(CUSTOM_SCORES)[:50]), DEFAULT_SCORES)
bad_table_case("overlong_payload",
               lambda: packed(_table(CUSTOM_SCORES) + bytes(random.Random(5).randrange(256)
                                                             for _ in range(200))),
               CUSTOM_SCORES)
bad_table_case("names_without_nul",
               lambda: packed(b"".join(bytes([65 + i]) * 16 + (1000 * (5 - i)).to_bytes(4, "little")
                                       for i in range(5))),
               [(chr(65 + i) * 15, 1000 * (5 - i)) for i in range(5)])
_BIG = [("Top", 2 ** 31), ("Max", 0xFFFFFFFF), ("Mid", 2 ** 31 + 1), ("Low", 5), ("One", 1)]
bad_table_case("huge_scores", lambda: packed(_table(_BIG)), _BIG)


def _make_dir(path):
    """A directory in place of the table, with a file inside."""
    os.mkdir(path)
    with open(os.path.join(path, "keep"), "w") as f:
        f.write("untouched\n")


def _dir_kept(path):
    """The directory and its file are as they were."""
    h.check(os.path.isdir(path), "hiscores.hst is no longer a directory")
    with open(os.path.join(path, "keep")) as f:
        h.check(f.read() == "untouched\n", "the directory's content changed")


bad_table_case("directory", _make_dir, None, after=_dir_kept)


def _unreadable(path):
    """A good table that the game's user may not read (root's when we are root)."""
    with open(path, "wb") as f:
        f.write(packed(_table(CUSTOM_SCORES)))
    if os.geteuid() == 0:
        os.chown(path, 0, 0)
    os.chmod(path, 0)


def _unreadable_case(args):
    """Root reads any file, so as root the game runs as a plain user."""
    if os.geteuid() != 0:
        return CASES["hst_unreadable_plain"](args)
    if not can_drop_privileges():
        raise Skip("needs setpriv and the user %s to make a file unreadable" % PLAIN_USER)
    return CASES["hst_unreadable_dropped"](args)


bad_table_case("unreadable_plain", _unreadable, DEFAULT_SCORES)
bad_table_case("unreadable_dropped", _unreadable, DEFAULT_SCORES, unprivileged=True)
CASES["hst_unreadable"] = _unreadable_case


# ---- b. bad data.dat --------------------------------------------------------

def refused_with_display(args, name, data):
    """With an X display the refusal is a message box: an xmessage child, no window."""
    def prepare(workdir):
        _write(os.path.join(workdir, "data.dat"), data)

    with RobustSession(args.vollix, args.data, "data_" + name, with_data=False,
                       prepare=prepare) as s:
        def message_box():
            s.assert_running()
            for pid, argv in s.child_processes():
                if argv and os.path.basename(argv[0]) == "xmessage":
                    return pid, argv
            return None
        pid, argv = h.wait_for(message_box, 60, "an xmessage child of the game", 0.1)
        h.check(any(DATA_MESSAGE in a for a in argv), "xmessage text is %r" % argv)
        h.check(s.windows_titled() == [], "a game window opened")
        os.kill(pid, signal.SIGTERM)
        code = s.wait_exit(timeout=WAIT["limit"])
        h.check(code == 1, "exit code %d with a display" % code)
        h.check(not os.path.exists(s.path("hiscores.hst")), "hiscores.hst was created")


def refused_without_display(args, name, data):
    """With no DISPLAY the message goes to stdout; exit 1, no signal, no table.

    The game may stop at the missing display before it reads data.dat, so
    either start-up message will do here; the run with a display above is
    the one that proves the file is refused."""
    with tempfile.TemporaryDirectory(prefix="vollix-data-") as workdir:
        _write(os.path.join(workdir, "data.dat"), data)
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        res = subprocess.run([os.path.abspath(args.vollix)], cwd=workdir, env=env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, timeout=WAIT["limit"])
        out = res.stdout.decode(errors="replace")
        h.check(res.returncode >= 0, "no DISPLAY: killed by signal %d" % -res.returncode)
        h.check(DATA_MESSAGE in out or GFX_MESSAGE in out,
                "no DISPLAY: stdout is %r" % out[-300:])
        h.check(res.returncode == 1, "no DISPLAY: exit code %d" % res.returncode)
        h.check(not os.path.exists(os.path.join(workdir, "hiscores.hst")),
                "no DISPLAY: hiscores.hst was created")


def run_bad_data(args, name, make_data):
    """Builds the bad data.dat once and checks both ways the refusal is shown."""
    with tempfile.TemporaryDirectory(prefix="vollix-data-") as tmp:
        path = os.path.join(tmp, "data.dat")
        make_data(args, path, tmp)
        with open(path, "rb") as f:
            data = f.read()
    refused_with_display(args, name, data)
    refused_without_display(args, name, data)


def data_case(name, make_data):
    """Registers a bad data.dat case."""
    case("data_" + name)(lambda args: run_bad_data(args, name, make_data))


def _good(args):
    """The bytes of the good data.dat."""
    with open(args.data, "rb") as f:
        return f.read()


def _write(path, content):
    """Writes bytes to a file."""
    with open(path, "wb") as f:
        f.write(content)


for _label, _cut in (("4", lambda n: 4), ("12", lambda n: 12), ("100", lambda n: 100),
                     ("tenth", lambda n: n // 10), ("half", lambda n: n // 2),
                     ("two_thirds", lambda n: 2 * n // 3), ("last_byte", lambda n: n - 1)):
    data_case("truncated_" + _label,
              lambda args, path, _tmp, cut=_cut: _write(path, _good(args)[:cut(len(_good(args)))]))


def _patched(offset, patch):
    """data.dat with bytes from offset overwritten."""
    def make(args, path, _tmp):
        good = bytearray(_good(args))
        good[offset:offset + len(patch)] = patch
        _write(path, bytes(good))
    return make


data_case("corrupt_magic", _patched(0, b"XXXX"))
data_case("corrupt_count", _patched(8, b"\x7f\xff\xff\xff"))
data_case("corrupt_first_object", _patched(12, b"\xff" * 64))


def _corrupt_middle(args, path, _tmp):
    """4 KB of noise a third of the way in: damaged object data."""
    good = bytearray(_good(args))
    rng = random.Random(7)
    for i in range(len(good) // 3, len(good) // 3 + 4096):
        good[i] = rng.randrange(256)
    _write(path, bytes(good))


data_case("corrupt_middle", _corrupt_middle)


def _png(args, path, _tmp):
    """A PNG picture under the name data.dat."""
    from PIL import Image
    Image.new("RGB", (64, 48), (10, 200, 30)).save(path, "PNG")


data_case("png", _png)


def _bmp(path, size, colour):
    """An 8-bit BMP of one colour."""
    from PIL import Image
    img = Image.new("P", size, colour)
    img.putpalette([c for i in range(256) for c in (i, i, 255 - i)])
    img.save(path, "BMP")


def _dat(tmp, out, kind, files):
    """Adds files of one kind to the datafile out with the library's dat."""
    res = subprocess.run(["dat", "-bpp", "8", "-n0", "-s1", "-c0", "-t", kind, out, "-a"] + files,
                         cwd=tmp, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    h.check(res.returncode == 0, "dat failed: %s" % res.stdout.decode(errors="replace"))


def _few_objects(args, path, tmp):
    """A good datafile of three objects."""
    _bmp(os.path.join(tmp, "a.bmp"), (32, 32), 3)
    _bmp(os.path.join(tmp, "b.bmp"), (16, 16), 9)
    _dat(tmp, path, "PAL", ["a.bmp"])
    _dat(tmp, path, "BMP", ["a.bmp", "b.bmp"])


def _wrong_kinds(args, path, tmp):
    """Enough objects, but pictures where the font and the sounds belong."""
    names = []
    for i in range(15):
        names.append("p%02d.bmp" % i)
        _bmp(os.path.join(tmp, names[-1]), (64, 64), i)
    _dat(tmp, path, "PAL", names[:1])
    _dat(tmp, path, "BMP", names[1:])


data_case("few_objects", _few_objects)
data_case("wrong_kinds", _wrong_kinds)


# ---- c. never lose the table -------------------------------------------------

@case("readonly_workdir")
def _readonly_workdir(args):
    """A workdir the game cannot write: exit 0, the old file byte-identical.

    Root writes anywhere, so as root the game runs as a plain user in a
    directory of root's; otherwise the directory is made read-only.
    """
    as_root = os.geteuid() == 0
    if as_root and not can_drop_privileges():
        raise Skip("needs setpriv and the user %s for an unwritable directory" % PLAIN_USER)
    before = {}

    def prepare(workdir):
        with open(os.path.join(workdir, "hiscores.hst"), "rb") as f:
            before["bytes"] = f.read()
        if as_root:
            for f in os.listdir(workdir):
                os.chown(os.path.join(workdir, f), 0, 0)
            os.chown(workdir, 0, 0)
            os.chmod(workdir, 0o755)
        else:
            os.chmod(workdir, 0o555)

    with RobustSession(args.vollix, args.data, "readonly_workdir", hiscores=CUSTOM_SCORES,
                       prepare=prepare, unprivileged=as_root) as s:
        try:
            play_a_moment(s, open_menu(s))
            with open(s.path("hiscores.hst"), "rb") as f:
                h.check(f.read() == before["bytes"], "hiscores.hst changed")
            h.check(sorted(os.listdir(s.workdir)) == ["data.dat", "hiscores.hst"],
                    "files appeared: %r" % os.listdir(s.workdir))
        finally:
            os.chmod(s.workdir, 0o755)  # so that the session can remove it


@case("save_replaces")
def _save_replaces(args):
    """A name entered in a run replaces the file whole; no temporary file stays."""
    with RobustSession(args.vollix, args.data, "save_replaces", hiscores=ZERO_SCORES) as s:
        old_inode = os.stat(s.path("hiscores.hst")).st_ino
        ref = open_menu(s)
        game = start_game(s, ref)
        entry = to_name_entry(s, ref, game)
        s.type_text("Zed")
        name_line = (160, 95, 480, 130)
        s.wait_steady("the typed name", box=name_line, timeout=WAIT["limit"],
                      predicate=lambda img: h.diff_count(img, entry, name_line) > 20)
        s.tap_until("Return", h.in_menu(ref), "the menu after the name entry", timeout=WAIT["limit"])
        code = exit_by_escape(s, ref)
        h.check(code == 0, "exit code %d" % code)
        entries = valid_table(s.path("hiscores.hst"))
        h.check(("Zed", 0) in entries, "name not stored: %r" % entries)
        h.check(os.stat(s.path("hiscores.hst")).st_ino != old_inode, "file rewritten in place")
        no_temp_files(s.workdir)


# ---- d. leaving by the close button or a signal -----------------------------

def reach_menu(s, ref):
    """Already there."""


def reach_game(s, ref):
    """A game in progress."""
    start_game(s, ref)


def reach_name_entry(s, ref):
    """The name entry after a game whose score 0 qualifies."""
    to_name_entry(s, ref, start_game(s, ref))


def reach_table(s, ref):
    """The high-score table screen."""
    to_table(s, ref)


def reach_game_over(s, ref):
    """An Easy game left alone until its banner stays up, waiting for a key."""
    s.hold_until("Down", cursor_moved_to(ref, 1), "the cursor on item 1",
                 timeout=WAIT["limit"], retry_after=WAIT["each"])
    on_preset = s.shot()
    s.hold_until("Left", lambda img: not h.same(img, on_preset, h.PRESET_NAME_BOX),
                 "the preset Easy", timeout=WAIT["limit"])
    s.hold_until("Up", lambda img: h.same(img, ref, h.cursor_box(0)) and h.same(img, ref, h.cursor_box(1)),
                 "the cursor back on Play", timeout=WAIT["limit"])
    easy_menu = s.shot()
    first = start_game(s, easy_menu)
    banner = (150, 176, 490, 226)
    s.wait_steady("the game-over banner", timeout=240, gap=1.0,
                  predicate=lambda img: h.diff_count(img, first, banner) > 1500
                  and not h.in_menu(easy_menu)(img))


SCREENS = {"menu": (reach_menu, CUSTOM_SCORES), "game": (reach_game, CUSTOM_SCORES),
           "name_entry": (reach_name_entry, ZERO_SCORES), "table": (reach_table, CUSTOM_SCORES),
           "game_over": (reach_game_over, CUSTOM_SCORES)}
METHODS = ("close", "sigterm", "sigint")


def quit_case(screen, method):
    """Leaving from screen by method: exit 0 within QUIT_LIMIT, table written."""
    reach, seed = SCREENS[screen]

    def run(args):
        name = "quit_%s_%s" % (screen, method)
        with RobustSession(args.vollix, args.data, name, hiscores=seed) as s:
            old_inode = os.stat(s.path("hiscores.hst")).st_ino
            ref = open_menu(s)
            reach(s, ref)
            started = time.monotonic()
            if method == "close":
                s.press_close_button()
            else:
                s.proc.send_signal(signal.SIGTERM if method == "sigterm" else signal.SIGINT)
            code = s.wait_exit(timeout=QUIT_LIMIT)
            took = time.monotonic() - started
            print("%s: left in %.3f s" % (name, took))
            h.check(code == 0, "exit code %d" % code)
            entries = valid_table(s.path("hiscores.hst"))
            h.check(os.stat(s.path("hiscores.hst")).st_ino != old_inode, "hiscores.hst not written")
            if seed is CUSTOM_SCORES:
                h.check(entries == CUSTOM_SCORES, "table %r" % entries)
            no_temp_files(s.workdir)
    case("quit_%s_%s" % (screen, method))(run)


for _screen in SCREENS:
    # The game-over wait takes a whole Easy game to reach: one way out is enough there.
    for _method in (("sigterm",) if _screen == "game_over" else METHODS):
        quit_case(_screen, _method)


# ---- a session under valgrind ------------------------------------------------

def valgrind_session(args):
    """Menu, a game with some firing, name entry, the table, Exit; the game runs
    behind --prefix (valgrind) and its exit code is printed for the caller."""
    WAIT.update(limit=300.0, each=30.0)
    with RobustSession(args.vollix, args.data, "valgrind_session", hiscores=ZERO_SCORES,
                       prefix=args.prefix.split()) as s:
        ref = open_menu(s)
        game = start_game(s, ref)
        above_gun = (290, 0, 350, 330)
        s.hold_until("space", lambda img: h.colour_pixels(img, h.SHELL_ORANGE, above_gun, 12),
                     "an orange shell above the gun", timeout=WAIT["limit"], retry_after=WAIT["each"])
        entry = to_name_entry(s, ref, game)
        s.type_text("Val")
        name_line = (160, 95, 480, 130)
        s.wait_steady("the typed name", box=name_line, timeout=WAIT["limit"], gap=1.0,
                      predicate=lambda img: h.diff_count(img, entry, name_line) > 20)
        s.tap_until("Return", h.in_menu(ref), "the menu after the name entry",
                    timeout=WAIT["limit"], wait_each=WAIT["each"])
        to_table(s, ref)
        s.tap_until("space", h.in_menu(ref), "the menu after the table",
                    timeout=WAIT["limit"], wait_each=WAIT["each"])
        code = exit_by_escape(s, ref)
        print("game exit code %d" % code)
        h.check(code in (0, 99), "exit code %d" % code)
        h.check(("Val", 0) in valid_table(s.path("hiscores.hst")), "name not stored")


# ---- runner -------------------------------------------------------------------

def main():
    """Runs the named case; exit 0 on pass, 77 on skip, 1 on failure."""
    if "--list" in sys.argv:
        hidden = ("hst_unreadable_plain", "hst_unreadable_dropped")
        print(";".join(sorted(n for n in CASES if n not in hidden)))
        return 0
    parser = argparse.ArgumentParser()
    parser.add_argument("--vollix", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--gen", help="directory of the generated art that data.dat is built from")
    parser.add_argument("--prefix", default="",
                        help="words put before the game on its command line (valgrind_session)")
    parser.add_argument("case", choices=sorted(CASES) + ["valgrind_session"])
    args = parser.parse_args()
    run = valgrind_session if args.case == "valgrind_session" else CASES[args.case]
    return h.run_case(args.case, lambda: run(args))


if __name__ == "__main__":
    sys.exit(main())
