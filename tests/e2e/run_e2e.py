#!/usr/bin/python3
"""End-to-end tests of the real game: one list of situations (how the folder is prepared, what the player
does, how the run ends, the exit status, what the folder holds afterwards), read by one runner.

usage: run_e2e.py --vollix PATH --data PATH [--preload LIB] [--pad LIB] [--probe LIB] [--prefix WORDS] CASE | --list
"""

import argparse
import ctypes
import os
import pwd
import shutil
import signal
import stat
import struct
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import harness as h  # noqa: E402

CUSTOM = [("Ann", 9000), ("Bob", 7000), ("Cy", 5000), ("Di", 3000), ("Ed", 1000)]
ZERO = [("Seed %d" % i, 0) for i in range(5)]  # any score earns a place
DEFAULT = [("Orlem Vasket", s) for s in (800, 650, 500, 350, 200)]
SAME = "the bytes it held before"
PLAIN = pwd.getpwnam("nobody")  # the player's account when the tests run as root
SHARED = lambda owner: lambda s: os.chown(s.path("hiscores.hst"), owner, PLAIN.pw_gid) or os.chmod(s.path("hiscores.hst"), 0o664)  # noqa: E731
HAS_ZED = lambda entries: ("Zed", 0) in entries  # noqa: E731 (the name typed in the run)
LETTERING = (251, 243, 227)  # the datafile font's colour
GFX = "Error initializing graphics mode (640x480).\n"


# ---- what the player does: each step starts in the menu; the last may stay on its screen ----

def greeting(img):
    """The name entry's greeting stands in a colour no trooper has."""
    return h.colour_pixels(img, LETTERING, (340, 26, 540, 72), 4) > 300


def entry(s, ref):
    """ESC in a game whose score earns a place, until the name entry stands still."""
    h.start_game(s, ref)
    s.press_until("Escape", greeting, "the name entry")
    s.wait_steady("a steady name entry", predicate=greeting)


def name(s, ref):
    """Types "Zed" on the name entry and confirms it: back in the menu."""
    entry(s, ref)
    confirm(s, ref, "Zed")


def table(s, ref, back=False):
    """The table screen, known by its column of scores (a game screen has none)."""
    for item in (1, 2):
        h.move_cursor(s, "Down", ref, item)
    shown = lambda img: h.diff_count(img, ref, (440, 66, 600, 196)) > 150 and h.volume_bar_length(img) == 0
    s.press_until("Return", shown, "the table screen")
    steady = s.wait_steady("a steady table screen", predicate=shown)
    if back:
        s.press_until("space", h.in_menu(ref), "the menu after the table")
    return steady


def game_over(s, ref):
    """A game left alone until its game-over banner stands still."""
    first = h.start_game(s, ref)
    s.wait_steady("the game-over banner", 240, gap=1.0, predicate=lambda img: not h.in_menu(ref)(img)
                  and h.diff_count(img, first, (150, 176, 490, 226)) > 1500)


def confirm(s, ref, typed):
    """On the name entry: types the name and keeps it; back in the menu."""
    s.xdotool("windowfocus", s.window, "type", "--delay", "120", typed)
    s.press_until("Return", h.in_menu(ref), "the menu after the name")


def lettering(img):
    """Where the table screen's rows stand in the font's lettering colour, whatever the sky behind them."""
    return [h.colour_pixels(img, LETTERING, (x, 66, x + 8, 196), 4) for x in range(0, 640, 8)]


def scoring_game(s, ref):
    """A Fun game (a trooper every twelfth of a second) firing straight up until its score line no longer reads
    0, then ESC: the name entry. Returns the menu as it now looks."""
    h.move_cursor(s, "Down", ref, 1)
    for _ in ("Impossible", "Fun"):
        shown = s.shot()
        s.press_until("Right", lambda img: not h.same(img, shown, (120, 35, 300, 60)), "the next preset")
    fun = h.move_cursor(s, "Up", ref, 0)
    first = h.start_game(s, fun)
    digit = [(x, y) for x in range(61, 69) for y in range(5, 13)
             if first.getpixel((x, y)) == (255, 255, 255) != ref.getpixel((x, y))]  # the 0, not a star
    s.press_until("space", lambda img: any(img.getpixel(p) != (255, 255, 255) for p in digit), "a kill", hold=True)
    s.press_until("Escape", greeting, "the name entry")
    return fun


def two_games(s, ref):
    """A second game in this folder. This one scores and keeps "Ann"; the other, idle in its menu meanwhile,
    shows her on its table screen, then keeps "Bee" with a lower score while this one idles; both leave."""
    with Beside(s) as b:
        b_ref = h.open_menu(b)
        fun = scoring_game(s, ref)
        confirm(s, fun, "Ann")
        h.check(lettering(table(b, b_ref, back=True)) == lettering(table(s, fun, back=True)), "Ann not on its table")
        entry(b, b_ref)
        confirm(b, b_ref, "Bee")
        h.check(leave(b, b_ref, "exit") == 0, "the other game's exit")


def paused(img):
    """"Paused" stands in the middle of the frame, in the font's lettering colour."""
    return h.colour_pixels(img, LETTERING, (240, 220, 400, 260), 4) > 100


def running(s, what):
    """Waits until the sky changes with no "Paused" shown."""
    before = s.shot()
    s.wait_screen(lambda img: not paused(img) and not h.same(img, before, (0, 20, 640, 330)), what)


def focus(s, ref):
    """Focus lost in the menu changes nothing; lost in a game, it pauses until P; P pauses, ESC ends a paused game."""
    other = subprocess.Popen(["xmessage", "-name", "elsewhere", "elsewhere"], env=s.env, start_new_session=True,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.cleanups.append(lambda: h.stop_group(other))
    elsewhere = h.wait_for(lambda: s.xdotool("search", "--onlyvisible", "--name", "^elsewhere$"),
                           h.SCREEN_TIMEOUT, "another window")[0]
    s.xdotool("windowfocus", "--sync", elsewhere)
    h.start_game(s, ref)  # its keys bring the focus back
    running(s, "a game that runs")
    s.xdotool("windowfocus", "--sync", elsewhere)
    s.wait_steady("a still scene under Paused", predicate=paused, gap=1.5)
    s.press_until("p", lambda img: not paused(img), "the label gone")
    running(s, "troopers moving again")
    s.press_until("p", paused, "the label Paused by P")
    s.press_until("Escape", lambda img: h.volume_bar_length(img) == 26, "the menu after ESC in a paused game")  # its bar: the other window hides the top left


def close_button(s):
    """What a window manager sends when the title bar's close button is clicked."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype, x.XInternAtom.restype = ctypes.c_void_p, ctypes.c_ulong
    dpy = ctypes.c_void_p(x.XOpenDisplay(s.env["DISPLAY"].encode()))
    event = (ctypes.c_long * 24)()  # XClientMessageEvent: type, serial, send_event, display, window,
    event[:8] = [33, 0, 0, 0, int(s.window), x.XInternAtom(dpy, b"WM_PROTOCOLS", 0), 32,  # message_type,
                 x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)]  # format, then the data
    h.check(x.XSendEvent(dpy, ctypes.c_ulong(int(s.window)), 0, ctypes.c_long(0), event), "XSendEvent failed")
    x.XCloseDisplay(dpy)  # flushes the event


def leave(s, ref, how):
    """Ends the run one way; returns the exit status."""
    if how == "exit":  # ESC to Exit, ESC again to leave
        h.move_cursor(s, "Escape", ref, 4)
        s.key("keydown", "Escape")
    elif how == "close":
        close_button(s)
    elif how == "x lost":
        h.stop_group(s.xvfb)
    elif how == "F11":  # and no window can be had: the reason on standard error, after the table's save
        s.key("keydown", "F11")
        h.wait_for(lambda: GFX + "Refused for the test." in open(s.log.name).read(), 10.0, "the reason")
    else:
        s.proc.send_signal(getattr(signal, how))
    return s.wait_exit(10.0)


def grown(s, ref):
    """F11 grows the menu, each pixel a square block (4x4 on a 3840x2160 screen, 2x2 on 1920x1080), and shrinks it back."""
    s.size, s.grown = None, (2560, 1920) if s.screen.startswith("3840") else (1280, 960)  # the size changes
    for size in (s.grown, (640, 480)):
        want = ref.resize(size, h.Image.NEAREST).tobytes()
        s.press_until("F11", lambda img: img.size == size and img.tobytes() == want, "the menu at %dx%d" % size)


def grown_game(s, ref):
    """In a game the steps follow the clock across F11."""
    count = lambda: struct.unpack("<QQQ", open(s.path("../steps"), "rb").read(24))  # noqa: E731 (steps, frames, ticks)
    h.start_game(s, ref)
    steps, _, ticks = count()  # the ticks less the steps: dropped at the start, or not yet run
    s.press_until("F11", lambda img: img.size == (2560, 1920), "a game at 2560x1920")
    caught_up = lambda c: c[0] >= steps + 120 and c[2] - c[0] <= ticks - steps  # noqa: E731
    h.wait_for(lambda: caught_up(count()), h.SCREEN_TIMEOUT, "the steps caught up with the ticks", 0.002)


def grown_wait(s, ref):
    """F11 in the wait after a game grows the banner standing still there, not the menu grown before, and shrinks it."""
    still = s.shot()
    for size in (s.grown, (640, 480)):  # no frame is drawn in the wait: the window shows what it kept
        want = still.resize(size, h.Image.NEAREST).tobytes()
        s.press_until("F11", lambda img: img.tobytes() == want, "the banner at %dx%d" % size)


def counted(s):
    """The benchmark's probe counts the game's logic steps into a file."""
    if not s.args.probe:
        raise h.Skip("the step probe is not built (VOLLIX_BENCH=OFF)")
    step = [w for w in subprocess.run(["nm", "-S", s.vollix], stdout=subprocess.PIPE, text=True).stdout.splitlines()
            if w.endswith(" _ZN4Game9logicStepERK8PlayKeys")][0].split()
    s.env_extra.update(LD_PRELOAD=s.args.probe, VOLLIX_PROBE_OUT=s.path("../steps"),
                       VOLLIX_PROBE_STEP="0x%s:0x%s" % (step[0], step[1]), ASAN_OPTIONS="verify_asan_link_order=0")


def plugged(s):
    """A FIFO for the stand-in pad, its writer open."""
    os.mkfifo(s.path("../pad"))
    s.pad = os.open(s.path("../pad"), os.O_RDWR)
    s.env_extra.update(LD_PRELOAD=s.args.pad, VOLLIX_PAD_FIFO=s.path("../pad"), ASAN_OPTIONS="verify_asan_link_order=0")


def gamepad(s, ref):
    """A chooses Play and fires, the triggers at rest turn nothing, Start pauses and resumes, the stick turns
    the gun, Back ends the game, Start confirms the name, and a pad pulled out lets go of A."""
    if os.path.basename(s.args.pad or "?") not in open("/proc/%d/maps" % s.proc.pid).read():
        raise h.Skip("the pad stand-in could not be loaded (%r)" % s.args.pad)
    send = lambda kind, number, value: os.write(s.pad, struct.pack("<IhBB", 0, value, kind, number))  # noqa: E731
    for axis in range(8):
        send(2, axis, -32767 if axis in (2, 5) else 0)  # the triggers rest at one end
    gun, shells = (300, 331, 340, 366), lambda img, box=(0, 0, 640, 480): h.colour_pixels(img, h.SHELL_ORANGE, box, 12)
    for event, shown, what in (((1, 0, 1), lambda img: shells(img, (290, 0, 350, 330)) and h.same(img, ref, gun),
                                "shells from the upright gun"), ((1, 7, 1), paused, "the label Paused"),
                               ((1, 7, 0), paused, "Start let go"), ((1, 7, 1), lambda img: not paused(img), "the game on"),
                               ((1, 7, 0), lambda img: not paused(img), "Start let go again"),
                               ((2, 0, -32767), lambda img: not h.same(img, ref, gun), "the gun turned"),
                               ((1, 6, 1), greeting, "the name entry"), ((1, 7, 1), greeting, "Start held"),
                               ((1, 6, 0), greeting, "Back let go"), ((1, 0, 0), greeting, "A let go"),
                               ((1, 7, 0), h.in_menu(ref), "the menu"), ((1, 0, 1), shells, "a new game firing")):
        send(*event)
        s.wait_screen(shown, what)
    os.close(s.pad)  # pulled out with A and the stick held
    s.wait_steady("a sky without shells", box=gun, predicate=lambda img: shells(img) == 0)  # for a reload and more


def pad_name(s, ref):
    """The pad alone: A plays, Back ends the game, Up Right Up Up write "AC", Left leaves "A", Start keeps it."""
    send = lambda kind, number, value: os.write(s.pad, struct.pack("<IhBB", 0, value, kind, number))  # noqa: E731
    shots, row = [], (0, 90, 640, 140)  # the pictures after each event; the name line
    changed = lambda img: not h.same(img, shots[-1], row)  # noqa: E731 (a push, each followed by the stick let go)
    pushes = [e for axis, value in ((1, -1), (0, 1), (1, -1), (1, -1), (0, -1))
              for e in (((2, axis, 32767 * value), changed), ((2, axis, 0), bool))]
    for event, shown in [((1, 0, 1), lambda img: not h.in_menu(ref)(img)), ((1, 0, 0), bool), ((1, 6, 1), greeting),
                         ((1, 6, 0), greeting)] + pushes + [((1, 7, 1), greeting), ((1, 7, 0), h.in_menu(ref))]:
        send(*event)
        shots.append(s.wait_screen(shown, "the pad's event %d" % len(shots)))


# ---- the folder ----------------------------------------------------------------

def stale_temp(s):
    """Temporary files of a run that is gone (holding a table) and of one still alive."""
    (gone := subprocess.Popen(["true"])).wait()
    for pid in (gone.pid, os.getpid()):
        h.write_hiscores(s.path("hiscores.hst.tmp-%d-0" % pid), CUSTOM)
    return {"hiscores.hst.tmp-%d-0" % os.getpid()}


def full_disk(s):
    """A disk that takes no more bytes: a file-size limit of 0 for the game, its writes cut short as on a full one."""
    s.shell = "ulimit -f 0; trap '' XFSZ"


class Beside(h.Session):
    """Another game started in the folder of a running one, under its own X server."""

    def __init__(self, first):
        super().__init__(first.vollix, first.data, first.name + "-beside")
        self.beside = first.workdir

    def command(self):
        self.workdir = self.beside
        return [self.vollix]


# ---- one run -----------------------------------------------------------------

class Run(h.Session):
    """A session with a prepared folder, a shell prelude, a prefix (valgrind), maybe as the player's account."""

    def __init__(self, args, c):
        super().__init__(args.vollix, args.data, c["name"], hiscores=c.get("seed", CUSTOM), screen=c.get("screen", "800x600x24"))
        self.args, self.case, self.shell, self.cleanups = args, c, c.get("shell"), []

    def command(self):
        """Prepares the folder, notes the table as it is, and builds the command line."""
        plain = self.case.get("plain") and os.geteuid() == 0
        if plain:
            os.chmod(self.tmp, 0o711)
            for f in [self.workdir] + [self.path(f) for f in os.listdir(self.workdir)]:
                os.chown(f, PLAIN.pw_uid, PLAIN.pw_gid)
        path = self.path("hiscores.hst")
        self.before_bytes = open(path, "rb").read() if os.path.exists(path) else None
        self.extra = self.case.get("prep", lambda s: None)(self) or set()
        self.before = os.stat(self.path("hiscores.hst")) if self.before_bytes is not None else None
        command = self.args.prefix.split() + [self.vollix]
        if self.shell:
            command = ["sh", "-c", self.shell + '; exec "$@"', "sh"] + command
        if plain:
            command = ["setpriv", "--reuid=%d" % PLAIN.pw_uid, "--regid=%d" % PLAIN.pw_gid, "--clear-groups",
                       "--"] + command
        return command

    def verify(self):
        """What the folder must hold after the run."""
        c, path = self.case, self.path("hiscores.hst")
        want = c.get("table")
        if want is not None and want != SAME:
            got = h.read_hiscores(path)
            h.check(want(got) if callable(want) else got == want, "the table holds %r" % (got,))
        st = os.stat(path)
        for key, got in (("replaced", self.before is not None and st.st_ino != self.before.st_ino),
                         ("mode", stat.S_IMODE(st.st_mode)), ("owner", st.st_uid), ("fifo", stat.S_ISFIFO(st.st_mode)),
                         ("group", st.st_gid), ("link", os.path.islink(path) and os.readlink(path))):
            h.check(key not in c or got == c[key], "hiscores.hst: %s is %r, not %r" % (key, got, c.get(key)))
        names = sorted(os.path.relpath(os.path.join(d, f), self.workdir) for d, _, fs in os.walk(self.workdir)
                       for f in fs)
        h.check(names == sorted({"data.dat", "hiscores.hst"} | self.extra), "the folder holds %r" % names)
        if want == SAME:
            os.chmod(path, os.stat(path).st_mode | stat.S_IRUSR)  # a write-only table, as its owner
            h.check(open(path, "rb").read() == self.before_bytes, "hiscores.hst changed")


def run_case(args, c):
    """One situation: prepare, run the steps, end, check status and folder."""
    if (c.get("plain") or c.get("root")) and os.geteuid() == 0 and not shutil.which("setpriv"):
        raise h.Skip("needs setpriv to run the game as %s" % PLAIN.pw_name)
    if c.get("root") and os.geteuid() != 0:
        raise h.Skip("needs root to give the table to another user")
    with Run(args, dict(c, seed=None) if "says" in c else c) as s:
        try:
            if "says" in c:
                return failed_start(s)
            ref = h.open_menu(s)
            for step in c.get("steps", ()):
                step(s, ref)
            end = c.get("end", "exit")
            code, want = leave(s, ref, end), c.get("code", (-getattr(signal, end, 0),))  # -N: by signal N
            print("%s: exit status %d" % (c["name"], code))
            h.check(code in want, "exit status %d, expected %r" % (code, want))
            s.verify()
        finally:
            os.chmod(s.workdir, 0o755)  # a read-only folder can be removed again
            for cleanup in s.cleanups:
                cleanup()


def failed_start(s):
    """No window: the message (in a box, or on standard output), exit status 1, no table written."""
    box = lambda: subprocess.run(["pgrep", "-a", "-P", str(s.proc.pid), "xmessage"],
                                 stdout=subprocess.PIPE).stdout.decode(errors="replace")
    said = "" if s.case.get("stdout") else h.wait_for(box, h.SCREEN_TIMEOUT, "the message box", 0.1)
    h.check(s.windows_titled() == [], "a game window opened")
    subprocess.run(["pkill", "-P", str(s.proc.pid), "xmessage"])
    code = s.wait_exit()
    said = " ".join((said or open(s.log.name, errors="replace").read()).split())
    print("%s: exit status %d, the game says %r" % (s.name, code, said))
    h.check(" ".join(s.case["says"].split()) in said and code == 1, "not %r with exit status 1" % s.case["says"])
    h.check(os.listdir(s.workdir) == ["data.dat"], "files appeared: %r" % os.listdir(s.workdir))


NAMED = dict(seed=ZERO, steps=[name], table=HAS_ZED)  # a name typed and confirmed in the run
CASES = [
    # Leaving: one case per screen and every way used; the table is written each time.
    dict(name="leave_menu_exit", replaced=True, table=CUSTOM),
    dict(name="leave_game_sigterm", steps=[h.start_game], end="SIGTERM", replaced=True, table=CUSTOM),
    dict(name="leave_entry_sigint", seed=ZERO, steps=[entry], end="SIGINT", replaced=True, table=ZERO),
    dict(name="leave_table_close", steps=[table], end="close", replaced=True, table=CUSTOM),
    dict(name="leave_game_over_sighup", steps=[game_over], end="SIGHUP", replaced=True, table=CUSTOM),
    dict(name="leave_menu_sigint_in_save", shell='set -- strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal=INT "$@"', replaced=True, table=CUSTOM, code=(-signal.SIGINT,)),
    # A confirmed name is on disk at once.
    dict(name="name_then_sigkill", seed=ZERO, steps=[name], end="SIGKILL", table=HAS_ZED),
    dict(name="name_then_x_lost", seed=ZERO, steps=[name], end="x lost", code=(1,), table=HAS_ZED),
    # The folder and the file as players have them.
    dict(name="full_disk", prep=full_disk, table=SAME, replaced=False),
    dict(name="symlink", table=CUSTOM, replaced=True, link="shared/table.hst",  # a link into a folder holding the table
         prep=lambda s: os.mkdir(s.path("shared")) or os.rename(s.path("hiscores.hst"), s.path("shared/table.hst"))
         or os.symlink("shared/table.hst", s.path("hiscores.hst")) or {"shared/table.hst"}),
    dict(name="mode_444", prep=lambda s: os.chmod(s.path("hiscores.hst"), 0o444), table=SAME, replaced=False, mode=0o444),
    # SHARED(owner): the table belongs to owner and to the player's group, which may write it.
    dict(NAMED, name="shared_table", root=True, plain=True, prep=SHARED(0), replaced=False, owner=0, mode=0o664),
    dict(NAMED, name="shared_table_root", root=True, prep=SHARED(PLAIN.pw_uid), replaced=False, owner=PLAIN.pw_uid),
    dict(NAMED, name="hard_link", prep=lambda s: os.link(s.path("hiscores.hst"), s.path("twin.hst")) or {"twin.hst"}, replaced=False),
    dict(NAMED, name="foreign_group", root=True, plain=True, prep=lambda s: os.chown(s.path("hiscores.hst"), -1, 0),
         replaced=False, group=0),
    dict(name="setgid_folder", root=True, plain=True, prep=lambda s: os.chown(s.workdir, -1, 0) or os.chmod(s.workdir, 0o2755),
         replaced=True, group=PLAIN.pw_gid),
    dict(name="unreadable", plain=True, prep=lambda s: os.chmod(s.path("hiscores.hst"), 0o200), table=SAME, replaced=False, mode=0o200),
    dict(NAMED, name="readonly_folder", plain=True, prep=lambda s: os.chmod(s.workdir, 0o555), replaced=False),
    dict(name="umask_0277", plain=True, seed=None, shell="umask 0277", table=DEFAULT, mode=0o600),
    dict(name="fifo", seed=None, prep=lambda s: os.mkfifo(s.path("hiscores.hst")), fifo=True),
    dict(name="stale_temp", seed=None, prep=stale_temp, table=DEFAULT),
    dict(name="damaged_table", seed=[("Ann\x01", 9000)] + CUSTOM[1:], prep=lambda s: os.chmod(s.path("hiscores.hst"), 0o640),
         table=DEFAULT, replaced=True, mode=0o640),  # a name no one could type
    # Starts that cannot open the window.
    dict(name="bad_data", says="Error loading DATA.DAT.",
         prep=lambda s: os.truncate(s.path("data.dat"), os.path.getsize(s.data) // 2)),
    dict(name="no_display", stdout=True, prep=lambda s: s.env_extra.update(DISPLAY=""), says=GFX),
    dict(name="graphics_refused", prep=lambda s: s.env_extra.update(LD_PRELOAD=s.args.preload, ASAN_OPTIONS="verify_asan_link_order=0"), says=GFX + "Refused for the test."),
    # A lost focus pauses; P resumes (the gamepad case pauses and resumes by Start).
    dict(name="focus_loss", steps=[focus], end="SIGTERM"),
    # F11 and the gamepad.
    dict(name="f11_grows", screen="3840x2160x24", prep=counted, steps=[grown, grown_game], end="SIGTERM"),
    dict(name="f11_game_over", screen="1920x1080x24", steps=[grown, game_over, grown_wait], end="close"),  # a whole exit: leaks show
    dict(name="f11_small_screen", screen="1024x768x24", steps=[lambda s, ref: s.press_until("F11", h.in_menu(ref), "the menu"),
                                                              lambda s, ref: h.move_cursor(s, "Down", ref, 1)]),
    dict(name="window_lost", screen="3840x2160x24", steps=[h.start_game], end="F11", code=(1,), replaced=True, table=CUSTOM, prep=lambda s:
         s.env_extra.update(LD_PRELOAD=s.args.preload, VOLLIX_REFUSE_AFTER="1", ASAN_OPTIONS="verify_asan_link_order=0")),
    # Two games at once in one folder: no confirmed name is lost.
    dict(name="two_games", seed=ZERO, steps=[two_games], table=lambda e: ("Bee", 0) in e and e[0][0] == "Ann" and e[0][1] > 0),
    dict(name="gamepad", prep=plugged, steps=[gamepad], end="SIGTERM", seed=ZERO, table=lambda e: "" in dict(e)),
    dict(name="gamepad_name", prep=plugged, steps=[pad_name], end="SIGKILL", seed=ZERO, table=lambda e: "A" in dict(e)),
]
VALGRIND = dict(name="valgrind_session", seed=ZERO, steps=[name, lambda s, ref: table(s, ref, back=True)], code=(0, 99), table=HAS_ZED)


def main():
    """Runs the named case: exit 0 on pass, 77 on skip (for ctest), 1 on failure."""
    if "--list" in sys.argv:
        return print(";".join(c["name"] for c in CASES))
    parser = argparse.ArgumentParser()
    for option in ("--vollix", "--data", "--preload", "--pad", "--probe", "--prefix"):
        parser.add_argument(option, default="")
    parser.add_argument("case", choices=[c["name"] for c in CASES + [VALGRIND]])
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))  # ctest's timeout: clean up too
    started = time.monotonic()
    try:
        run_case(args, next(c for c in CASES + [VALGRIND] if c["name"] == args.case))
    except h.Skip as e:
        return print("SKIP %s: %s" % (args.case, e)) or 77
    except h.E2EError as e:
        return print("FAIL %s: %s (after %.1f s)" % (args.case, e, time.monotonic() - started)) or 1
    print("PASS %s (%.1f s)" % (args.case, time.monotonic() - started))


if __name__ == "__main__":
    sys.exit(main())
