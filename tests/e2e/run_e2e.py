#!/usr/bin/python3
"""End-to-end tests of the real game: the list CASES, each case run by run_case under its own X server.
A new case is one Case in CASES (ctest registers it as e2e_NAME), with new steps if the player does something new."""

import argparse
import ctypes
import os
import pwd
import signal
import struct
import subprocess
import sys
from dataclasses import dataclass
from typing import Callable

sys.dont_write_bytecode = True  # keep the source tree clean
import harness as h  # noqa: E402

CUSTOM = (("Ann", 9000), ("Bob", 7000), ("Cy", 5000), ("Di", 3000), ("Ed", 1000))
ZERO = tuple(("Seed %d" % i, 0) for i in range(5))  # any score earns a place
DEFAULT = tuple(("Orlem Vasket", s) for s in (800, 650, 500, 350, 200))
SAME = "the bytes it held before"
PLAIN = pwd.getpwnam("nobody")  # the player's account when the tests run as root
LETTERING = (251, 243, 227)  # the datafile font's colour
GFX = "Error initializing graphics mode (640x480).\n"


@dataclass(frozen=True)
class Case:
    """One situation, run by run_case; a field left at None checks nothing."""
    name: str
    # Before the run.
    seed: tuple | None = CUSTOM  # hiscores.hst's entries (None: no file)
    screen: str = "800x600x24"  # Xvfb's
    prep: tuple = ()  # functions f(run) preparing the folder or the environment
    shell: str = ""  # commands run before the game
    plain: bool = False  # run as nobody when the tests run as root
    # The run.
    steps: tuple = ()  # functions f(run, menu picture), the first in the menu
    end: str = "exit"  # "exit" (ESC, ESC), "close", "x lost", "F11" or a signal's name
    code: tuple = ()  # the exit statuses accepted (default 0, or -N by signal N)
    # After it: hiscores.hst, and the folder.
    table: tuple | Callable | str | None = None  # the entries, a predicate on them, or SAME (its bytes unchanged)
    replaced: bool | None = None  # by a new file
    mode: int | None = None
    owner: int | None = None
    group: int | None = None
    link: str | None = None
    extra: tuple = ()  # files beside data.dat and hiscores.hst
    says: str = ""  # a start that fails with this message (in a box, or on standard output), status 1, no table


# ---- preparations: each f(run) before the game starts ----

def as_root(s):  # first in a case that gives files to other users
    if os.geteuid() != 0:
        raise h.Skip("needs root to give the table to another user")


def chmod(mode, name="hiscores.hst"):  # name ".": the folder
    return lambda s: os.chmod(s.path(name), mode)


def chown(owner, group, name="hiscores.hst"):  # -1 keeps one
    return lambda s: os.chown(s.path(name), owner, group)


def shared(owner):  # the table belongs to owner and to the player's group, which may write it
    return as_root, chown(owner, PLAIN.pw_gid), chmod(0o664)


def linked(s):  # hiscores.hst: a link into a folder that holds the table
    os.mkdir(s.path("shared"))
    os.rename(s.path("hiscores.hst"), s.path("shared/table.hst"))
    os.symlink("shared/table.hst", s.path("hiscores.hst"))


def stale_temp(s):  # temporary files of a run that is gone (holding a table) and of one still alive
    (gone := subprocess.Popen(["true"])).wait()
    for pid in (gone.pid, os.getpid()):
        h.write_hiscores(s.path("hiscores.hst.tmp-%d-0" % pid), CUSTOM)


def refused(after):  # graphics modes fail after that many were set
    return lambda s: s.preload(VOLLIX_REFUSE_AFTER=after)


def counted(s):  # the benchmark's probe counts the game's logic steps into a file
    if not s.args.probe:
        raise h.Skip("the step probe is not built (VOLLIX_BENCH=OFF)")
    s.preload(VOLLIX_PROBE_OUT=s.path("../steps"), lib=s.args.probe)


def plugged(s):  # the stand-in pad, its FIFO's writer in s.pad
    os.mkfifo(s.path("../pad"))
    s.pad = os.open(s.path("../pad"), os.O_RDWR)
    s.preload(VOLLIX_PAD_FIFO=s.path("../pad"))


# ---- what the player does: each step f(run, menu) starts where the one before left ----

def lettering(box, least):  # a predicate: more than least pixels in box in the font's colour, which no trooper has
    return lambda img: h.colour_pixels(img, LETTERING, box, 4) > least


greeting, paused = lettering((340, 26, 540, 72), 300), lettering((240, 220, 400, 260), 100)  # the name entry; Paused


def entry(s, ref):  # ESC in a game whose score earns a place, until the name entry stands still
    h.start_game(s, ref)
    s.press_until("Escape", greeting, "the name entry")
    s.wait_steady("a steady name entry", predicate=greeting)


def confirm(s, ref, name="Zed"):  # types the name on the name entry and keeps it: back in the menu
    s.xdotool("windowfocus", s.window, "type", "--delay", "120", name)
    s.press_until("Return", h.in_menu(ref), "the menu after the name")


def table(s, ref):  # the table screen, known by its column of scores (a game screen has none)
    for item in (1, 2):
        h.move_cursor(s, "Down", ref, item)
    shown = lambda img: h.diff_count(img, ref, (440, 66, 600, 196)) > 150 and h.volume_bar_length(img) == 0
    s.press_until("Return", shown, "the table screen")
    return s.wait_steady("a steady table screen", predicate=shown)


def back(s, ref):
    s.press_until("space", h.in_menu(ref), "the menu after the table")


def game_over(s, ref):  # a game left alone until its game-over banner stands still
    first = h.start_game(s, ref)
    s.wait_steady("the game-over banner", 240, gap=1.0, predicate=lambda img: not h.in_menu(ref)(img)
                  and h.diff_count(img, first, (150, 176, 490, 226)) > 1500)


def two_games(s, ref):
    """A second game in this folder. This one scores and keeps "Ann"; the other, idle in its menu meanwhile,
    shows her on its table screen, then keeps "Bee" with a lower score while this one idles; both leave."""
    # Where the table screen's rows stand in the font's lettering colour, whatever the sky behind them.
    rows = lambda img: [h.colour_pixels(img, LETTERING, (x, 66, x + 8, 196), 4) for x in range(0, 640, 8)]  # noqa: E731
    with Beside(s) as b:
        b_ref = h.open_menu(b)
        h.move_cursor(s, "Down", ref, 1)  # a Fun game (a trooper every 1/12 s), firing up until a kill, then ESC
        for _ in ("Impossible", "Fun"):
            shown = s.shot()
            s.press_until("Right", lambda img: not h.same(img, shown, (120, 35, 300, 60)), "the next preset")
        fun = h.move_cursor(s, "Up", ref, 0)
        first = h.start_game(s, fun)
        digit = [(x, y) for x in range(61, 69) for y in range(5, 13)
                 if first.getpixel((x, y)) == (255, 255, 255) != ref.getpixel((x, y))]  # the 0, not a star
        s.press_until("space", lambda img: any(img.getpixel(p) != (255, 255, 255) for p in digit), "a kill", hold=True)
        s.press_until("Escape", greeting, "the name entry")
        confirm(s, fun, "Ann")
        shown = rows(table(b, b_ref))
        back(b, b_ref)
        h.check(shown == rows(table(s, fun)), "Ann not on the other game's table")
        back(s, fun)
        entry(b, b_ref)
        confirm(b, b_ref, "Bee")
        h.check(leave(b, b_ref, "exit") == 0, "the other game's exit")


def focus(s, ref):
    """Focus lost in the menu changes nothing; lost in a running game, it pauses it; ESC ends the paused game."""
    subprocess.Popen(["xmessage", "-name", "elsewhere", "elsewhere"], env=s.env, stderr=subprocess.DEVNULL)  # X ends it
    elsewhere = h.wait_for(lambda: s.xdotool("search", "--onlyvisible", "--name", "^elsewhere$"),
                           h.SCREEN_TIMEOUT, "another window")[0]
    s.xdotool("windowfocus", "--sync", elsewhere)
    before = h.start_game(s, ref)  # its keys bring the focus back
    s.wait_screen(lambda img: not paused(img) and not h.same(img, before, (0, 20, 640, 330)), "a game that runs")
    s.xdotool("windowfocus", "--sync", elsewhere)
    s.wait_steady("a still scene under Paused", predicate=paused, gap=1.5)
    menu = lambda img: h.volume_bar_length(img) == 26  # noqa: E731 (its bar: the other window hides the top left)
    s.press_until("Escape", menu, "the menu after ESC in a paused game")


def grown(s, ref):
    """F11 grows the still picture (the menu, or the banner in the wait after a game: no frame drawn, the window shows
    what it kept), each pixel a square block (4x4 on a 3840x2160 screen, 2x2 on 1920x1080); F11 again shrinks it."""
    s.size, still = None, s.shot()  # the size changes
    for size in ((2560, 1920) if s.screen.startswith("3840") else (1280, 960), (640, 480)):
        want = still.resize(size, h.Image.NEAREST).tobytes()
        s.press_until("F11", lambda img: img.tobytes() == want, "the still picture at %dx%d" % size)


def grown_game(s, ref):  # in a game the steps follow the clock across F11
    count = lambda: struct.unpack("<QQQ", open(s.path("../steps"), "rb").read(24))  # noqa: E731 (steps, frames, ticks)
    h.start_game(s, ref)
    steps, frames, ticks = count()  # the ticks less the steps: dropped at the start, or not yet run
    s.press_until("F11", lambda img: img.size == (2560, 1920), "a game at 2560x1920")
    caught_up = lambda c: c[0] >= steps + 120 and 0 <= c[2] - c[0] <= ticks - steps and c[1] > frames  # noqa: E731
    h.wait_for(lambda: caught_up(count()), h.SCREEN_TIMEOUT, "the steps caught up with the ticks", 0.002)
    h.check("step probe:" not in open(s.log.name).read(), "the probe did not find the steps")


BUTTON, AXIS, DOWN, UP, FULL = 1, 2, 1, 0, 32767  # the pad's event types; a button's values; a stick's throw
A, BACK, START, STICK_X, STICK_Y = (BUTTON, 0), (BUTTON, 6), (BUTTON, 7), (AXIS, 0), (AXIS, 1)


def pad(s, control, value):  # an event from the stand-in pad (plugged): a js_event record
    os.write(s.pad, struct.pack("<IhBB", 0, value, *control))


def gamepad(s, ref):
    """A chooses Play and fires, Start pauses and resumes, the stick turns the gun, Back ends the game; the stick let
    go, Up Right Up Up write "AC" and Left leaves "A"; Start confirms it on its release; A plays again, and a pad
    pulled out lets go of A and the stick."""
    gun, shells = (300, 331, 340, 366), lambda img, box=h.FRAME: h.colour_pixels(img, h.SHELL_ORANGE, box, 12)
    upright = lambda img: shells(img, (290, 0, 350, 330)) and h.same(img, ref, gun)  # noqa: E731
    on, turned = lambda img: not paused(img), lambda img: not h.same(img, ref, gun)
    shots = [ref]  # the picture after each event
    written = lambda img: not h.same(img, shots[-1], (0, 90, 640, 140))  # noqa: E731 (the name line changed)
    up, right, left = (STICK_Y, -FULL), (STICK_X, FULL), (STICK_X, -FULL)
    pushes = [e for stick, value in (up, right, up, up, left) for e in ((stick, value, written, "the name changed"),
                                                                         (stick, 0, bool, "the stick let go"))]
    for control, value, shown, what in [
            (A, DOWN, upright, "shells from the upright gun"),
            (START, DOWN, paused, "the label Paused"), (START, UP, paused, "Start let go"),
            (START, DOWN, on, "the game on"), (START, UP, on, "Start let go again"),
            (*left, turned, "the gun turned"), (BACK, DOWN, greeting, "the name entry"),
            (STICK_X, 0, greeting, "the stick let go")] + pushes + [
            (START, DOWN, greeting, "Start held"), (BACK, UP, greeting, "Back let go"), (A, UP, greeting, "A let go"),
            (START, UP, h.in_menu(ref), "the menu"), (A, DOWN, shells, "a new game firing"),
            (*left, turned, "its gun turned")]:
        pad(s, control, value)
        shots.append(s.wait_screen(shown, what))
    os.close(s.pad)  # pulled out with A and the stick held
    s.wait_steady("a sky without shells", box=gun, predicate=lambda img: shells(img) == 0)  # for a reload and more


def leave(s, ref, how):  # returns the exit status
    if how == "exit":  # ESC to Exit, ESC again to leave
        h.move_cursor(s, "Escape", ref, 4)
        s.key("keydown", "Escape")
    elif how == "close":  # what a window manager sends when the title bar's close button is clicked
        x, window = ctypes.CDLL("libX11.so.6"), int(s.window)
        x.XOpenDisplay.restype, x.XInternAtom.restype = ctypes.c_void_p, ctypes.c_ulong
        dpy = ctypes.c_void_p(x.XOpenDisplay(s.env["DISPLAY"].encode()))
        # An XClientMessageEvent: type, serial, send_event, display, window, message_type, format, then the data.
        event = (ctypes.c_long * 24)(33, 0, 0, 0, window, x.XInternAtom(dpy, b"WM_PROTOCOLS", 0), 32,
                                     x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0))
        h.check(x.XSendEvent(dpy, ctypes.c_ulong(window), 0, ctypes.c_long(0), event), "XSendEvent failed")
        x.XCloseDisplay(dpy)  # flushes the event
    elif how == "x lost":
        h.stop_group(s.xvfb)
    elif how == "F11":  # and no window can be had: the reason on standard error, after the table's save
        s.key("keydown", "F11")
        h.wait_for(lambda: GFX + "Refused for the test." in open(s.log.name).read(), 10.0, "the reason")
    else:
        s.proc.send_signal(getattr(signal, how))
    return s.wait_exit(10.0)


def failed_start(s):  # no window: the message (in a box, or on standard output), exit status 1, no table written
    box = lambda: subprocess.run(["pgrep", "-a", "-P", str(s.proc.pid), "xmessage"],  # noqa: E731
                                 stdout=subprocess.PIPE).stdout.decode(errors="replace")
    said = "" if s.env_extra.get("DISPLAY") == "" else h.wait_for(box, h.SCREEN_TIMEOUT, "the message box", 0.1)
    h.check(s.windows_titled() == [], "a game window opened")
    subprocess.run(["pkill", "-P", str(s.proc.pid), "xmessage"])
    code = s.wait_exit()
    said = " ".join((said or open(s.log.name, errors="replace").read()).split())
    h.check(" ".join(s.case.says.split()) in said and code == 1, "status %d, said %r" % (code, said))
    h.check(os.listdir(s.workdir) == ["data.dat"], "files appeared: %r" % os.listdir(s.workdir))


class Run(h.Session):
    """A session of one case: the folder prepared, the table noted, the game started through the shell as the player."""

    def __init__(self, args, case):
        super().__init__(args.vollix, args.data, case.name, None if case.says else case.seed, case.screen)
        self.args, self.case = args, case

    def preload(self, lib=None, **env):
        """Loads lib (the stand-ins by default) into the game ahead of the library, with env in its environment."""
        self.env_extra.update(env, LD_PRELOAD=lib or self.args.standins, ASAN_OPTIONS="verify_asan_link_order=0")

    def command(self):
        if self.case.plain and os.geteuid() == 0:
            self.account = dict(user=PLAIN.pw_uid, group=PLAIN.pw_gid, extra_groups=[])
            os.chmod(self.tmp, 0o711)
            for f in [self.workdir] + [self.path(f) for f in os.listdir(self.workdir)]:
                os.chown(f, PLAIN.pw_uid, PLAIN.pw_gid)
        path = self.path("hiscores.hst")
        self.before_bytes = open(path, "rb").read() if os.path.exists(path) else None
        for prepare in self.case.prep:
            prepare(self)
        self.before = os.stat(path) if os.path.exists(path) else None
        command = self.args.prefix.split() + [self.vollix]
        if self.case.shell:
            command = ["sh", "-c", self.case.shell + '; exec "$@"', "sh"] + command
        return command

    def verify(self):  # the folder after the run
        c, path = self.case, self.path("hiscores.hst")
        names = sorted(os.path.relpath(os.path.join(d, f), self.workdir) for d, _, fs in os.walk(self.workdir)
                       for f in fs)
        h.check(names == sorted({"data.dat", "hiscores.hst", *c.extra}), "the folder holds %r" % names)
        st = os.stat(path)
        for fact, want, got in (("replaced", c.replaced, self.before is not None and st.st_ino != self.before.st_ino),
                                ("mode", c.mode, st.st_mode & 0o7777), ("owner", c.owner, st.st_uid),
                                ("group", c.group, st.st_gid),
                                ("link", c.link, os.path.islink(path) and os.readlink(path))):
            h.check(want is None or got == want, "hiscores.hst: %s is %r, not %r" % (fact, got, want))
        if c.table == SAME:
            os.chmod(path, st.st_mode | 0o400)  # a write-only table, as its owner
            h.check(open(path, "rb").read() == self.before_bytes, "hiscores.hst changed")
        elif c.table is not None:
            got = h.read_hiscores(path)
            h.check(c.table(got) if callable(c.table) else got == c.table, "the table holds %r" % (got,))


class Beside(h.Session):
    """Another game started in the folder of a running one, under its own X server."""

    def __init__(self, first):
        super().__init__(first.vollix, first.data, first.name + "-beside")
        self.beside = first.workdir

    def command(self):
        self.workdir = self.beside
        return [self.vollix]


def run_case(args, c):
    with Run(args, c) as s:
        if c.says:
            return failed_start(s)
        ref = h.open_menu(s)
        for step in c.steps:
            step(s, ref)
        code, want = leave(s, ref, c.end), c.code or (-getattr(signal, c.end, 0),)  # -N: by signal N
        h.check(code in want, "exit status %d, expected %r" % (code, want))
        s.verify()


NAMED = dict(seed=ZERO, steps=(entry, confirm), table=lambda entries: ("Zed", 0) in entries)  # a name typed and kept


CASES = [
    # Leaving: one case per screen and every way used; the table is written each time.
    Case("leave_menu_exit", replaced=True, table=CUSTOM),
    Case("leave_game_sigterm", steps=(h.start_game,), end="SIGTERM", replaced=True, table=CUSTOM),
    Case("leave_entry_sigint", seed=ZERO, steps=(entry,), end="SIGINT", replaced=True, table=ZERO),
    Case("leave_table_close", steps=(table,), end="close", replaced=True, table=CUSTOM),
    Case("leave_game_over_sighup", steps=(game_over,), end="SIGHUP", replaced=True, table=CUSTOM),
    Case("leave_menu_sigint_in_save", replaced=True, table=CUSTOM, code=(-signal.SIGINT,),  # SIGINT in the save's fsync
         shell='set -- strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal=INT "$@"'),
    # A confirmed name is on disk at once.
    Case("name_then_sigkill", **NAMED, end="SIGKILL"),
    Case("name_then_x_lost", **NAMED, end="x lost", code=(1,)),
    # The folder and the file as players have them; a disk that takes no more bytes: writes cut short.
    Case("full_disk", shell="ulimit -f 0; trap '' XFSZ", table=SAME, replaced=False),
    Case("symlink", prep=(linked,), table=CUSTOM, replaced=True, link="shared/table.hst", extra=("shared/table.hst",)),
    Case("mode_444", prep=(chmod(0o444),), table=SAME, replaced=False, mode=0o444),
    Case("shared_table", **NAMED, plain=True, prep=shared(0), replaced=False, owner=0, mode=0o664),
    Case("shared_table_root", **NAMED, prep=shared(PLAIN.pw_uid), replaced=False, owner=PLAIN.pw_uid),
    Case("hard_link", **NAMED, prep=(lambda s: os.link(s.path("hiscores.hst"), s.path("twin.hst")),), replaced=False,
         extra=("twin.hst",)),
    Case("foreign_group", **NAMED, plain=True, prep=(as_root, chown(-1, 0)), replaced=False, group=0),
    Case("setgid_folder", plain=True, prep=(as_root, chown(-1, 0, "."), chmod(0o2755, ".")), replaced=True,
         group=PLAIN.pw_gid),
    Case("unreadable", plain=True, prep=(chmod(0o200),), table=SAME, replaced=False, mode=0o200),
    Case("readonly_folder", **NAMED, plain=True, prep=(chmod(0o555, "."),), replaced=False),
    Case("umask_0277", seed=None, plain=True, shell="umask 0277", table=DEFAULT, mode=0o600),
    Case("fifo", seed=None, prep=(lambda s: os.mkfifo(s.path("hiscores.hst")),), replaced=False),
    Case("stale_temp", seed=None, prep=(stale_temp,), table=DEFAULT, extra=("hiscores.hst.tmp-%d-0" % os.getpid(),)),
    Case("damaged_table", seed=(("Ann\x01", 9000),) + CUSTOM[1:], prep=(chmod(0o640),), table=DEFAULT, replaced=True,
         mode=0o640),  # a name no one could type
    # Starts that cannot open the window.
    Case("bad_data", prep=(lambda s: os.truncate(s.path("data.dat"), os.path.getsize(s.data) // 2),),
         says="Error loading DATA.DAT."),
    Case("no_display", prep=(lambda s: s.env_extra.update(DISPLAY=""),), says=GFX),
    Case("graphics_refused", prep=(refused("0"),), says=GFX + "Refused for the test."),
    # A lost focus pauses a game (P and the pad's Start pause and resume it in the gamepad case and the unit tests).
    Case("focus_loss", steps=(focus,), end="SIGTERM"),
    # F11 and the gamepad.
    Case("f11_grows", screen="3840x2160x24", prep=(counted,), steps=(grown, grown_game), end="SIGTERM"),
    Case("f11_game_over", screen="1920x1080x24", steps=(grown, game_over, grown), end="close"),  # leaks show
    Case("window_lost", screen="3840x2160x24", prep=(refused("1"),), steps=(h.start_game,),
         end="F11", code=(1,), replaced=True, table=CUSTOM),
    Case("gamepad", seed=ZERO, prep=(plugged,), steps=(gamepad,), end="SIGTERM", table=lambda e: "A" in dict(e)),
    # Two games at once in one folder: no confirmed name is lost.
    Case("two_games", seed=ZERO, steps=(two_games,),
         table=lambda e: ("Bee", 0) in e and e[0][0] == "Ann" and e[0][1] > 0),
]
VALGRIND = Case("valgrind_session", **NAMED | dict(steps=(entry, confirm, table, back), code=(0, 99)))


def main():  # runs the named case: exit 0 on pass, 77 on skip (for ctest), 1 on failure
    cases = {c.name: c for c in CASES + [VALGRIND]}
    if "--list" in sys.argv:
        return print(";".join(c.name for c in CASES))
    parser = argparse.ArgumentParser()
    for option in ("--vollix", "--data", "--standins", "--probe", "--prefix"):
        parser.add_argument(option, default="")
    parser.add_argument("case", choices=cases)
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))  # ctest's timeout: clean up too
    status, outcome = 0, "PASS %s" % args.case
    try:
        run_case(args, cases[args.case])
    except h.Skip as e:
        status, outcome = 77, "SKIP %s: %s" % (args.case, e)
    except h.E2EError as e:
        status, outcome = 1, "FAIL %s: %s" % (args.case, e)
    print(outcome)
    return status


if __name__ == "__main__":
    sys.exit(main())
