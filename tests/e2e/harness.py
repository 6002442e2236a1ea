"""Drives the real vollix binary in a private Xvfb: keys in with xdotool, screenshots out with ImageMagick's
import, hiscores.hst through Allegro's pack. Every wait polls the screen or a process, with a generous timeout."""

import contextlib
import io
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image

TITLE = "Vollix - By Orlem Vasket"
# Seconds for a screen to show, for the game to leave, and before a key seemingly missed is pressed again.
SLOW = float(os.environ.get("VOLLIX_E2E_SLOW", "1"))
SCREEN_TIMEOUT, EXIT_TIMEOUT, RETRY = 30.0 * SLOW, 15.0 * SLOW, 6.0 * SLOW
YELLOW, SHELL_ORANGE = (255, 255, 0), (204, 104, 0)
FRAME, MENU_ITEMS_BOX = (0, 0, 640, 480), (0, 10, 300, 136)  # the menu's column: cursor, items, preset, volume

E2EError = AssertionError  # a check or a wait that failed


class Skip(Exception):
    """The case cannot run on this machine; not a failure."""


def check(cond, message):
    if not cond:
        raise E2EError(message)


def wait_for(predicate, timeout, what, interval=0.05):  # returns the predicate's first true value
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        check(time.monotonic() < deadline, "timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)
    return value


def diff_count(a, b, box=FRAME):
    return sum(p != q for p, q in zip(a.crop(box).getdata(), b.crop(box).getdata()))


def same(a, b, box=FRAME):
    return diff_count(a, b, box) == 0


def colour_pixels(img, colour, box, tolerance):
    return sum(all(abs(p - c) <= tolerance for p, c in zip(px, colour)) for px in img.crop(box).getdata())


def volume_bar_length(img):  # the menu's yellow volume bar, 21 rows high from x 110
    return colour_pixels(img, YELLOW, (110, 90, 200, 111), 0) // 21


def pack(*args):
    """Runs Allegro's pack utility, which packs a file as the game's packed writer does, or unpacks it ("u")."""
    res = subprocess.run(["pack", *args], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    check(res.returncode == 0, "pack %s failed: %s" % (args, res.stdout.decode(errors="replace")))


def read_hiscores(path):  # the (name, score) entries
    with tempfile.TemporaryDirectory() as scratch:
        pack("u", path, os.path.join(scratch, "raw"))
        payload = open(os.path.join(scratch, "raw"), "rb").read()
    check(len(payload) == 100, "the table holds %d bytes" % len(payload))
    return tuple((payload[i:i + 16].split(b"\0")[0].decode("latin-1"), struct.unpack("<I", payload[i + 16:i + 20])[0])
                 for i in range(0, 100, 20))


def write_hiscores(path, entries):
    """Packs the entries as the game does: per entry 16 name bytes NUL-padded, then the score LE."""
    with tempfile.NamedTemporaryFile() as raw:
        raw.write(b"".join(n.encode("latin-1").ljust(16, b"\0") + struct.pack("<I", s) for n, s in entries))
        raw.flush()
        pack(raw.name, path)


def stop_group(proc):  # ends a process started in its own session, and everything it spawned
    with contextlib.suppress(ProcessLookupError):
        if proc is not None and proc.poll() is None:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


class Session:
    """One run of the game in a fresh folder under its own X server, torn down as a context manager; a subclass may
    prepare the folder in command(), which gives the game's command line."""

    def __init__(self, vollix, data, name, hiscores=None, screen="800x600x24"):
        self.vollix, self.data, self.name, self.hiscores = os.path.abspath(vollix), data, name, hiscores
        self.screen, self.size = screen, (640, 480)  # size None: the window may have any size
        self.proc = self.xvfb = self.window = self.last_shot = self.log = None
        self.env_extra, self.account = {}, {}  # for the game only: environment over DISPLAY; user, group

    def __enter__(self):
        self.tmp = tempfile.mkdtemp(prefix="vollix-e2e-")
        self.workdir = os.path.join(self.tmp, "run")
        os.mkdir(self.workdir)
        try:
            shutil.copy(self.data, self.path("data.dat"))
            if self.hiscores is not None:
                write_hiscores(self.path("hiscores.hst"), self.hiscores)
            command = self.command()
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", self.screen, "-nolisten", "tcp",
                                          "-noreset"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                         start_new_session=True, text=True)  # a private X server on a free display
            display = self.xvfb.stdout.readline().strip()  # its number and a newline, or nothing if it fails
            check(display, "Xvfb did not start")
            self.env = dict({k: v for k, v in os.environ.items() if k != "XAUTHORITY"}, DISPLAY=":" + display)
            self.log = open(os.path.join(self.tmp, "game.log"), "wb")
            self.proc = subprocess.Popen(command, cwd=self.workdir, env=dict(self.env, **self.env_extra),
                                         stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
                                         start_new_session=True, **self.account)
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, failed, *_):  # on failure keeps the last screenshot and shows the game's output
        if failed and self.last_shot is not None:
            self.last_shot.save(os.path.join(os.environ.get("VOLLIX_E2E_ARTIFACTS", os.getcwd()),
                                             "%s-last-screen.png" % self.name))
        stop_group(self.proc)
        stop_group(self.xvfb)  # and with it any other program on its display
        if failed and self.log:
            print(open(self.log.name, errors="replace").read()[-3000:])
        os.chmod(self.workdir, 0o755)  # a read-only folder can be removed again
        shutil.rmtree(self.tmp, ignore_errors=True)

    def command(self):
        return [self.vollix]

    def path(self, name):
        return os.path.join(self.workdir, name)

    def xdotool(self, *args):
        res = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=20)
        return res.stdout.decode(errors="replace").split() if res.returncode == 0 else []

    def windows_titled(self):
        return self.xdotool("search", "--name", "^%s$" % TITLE)

    def shot(self):  # the running game's window as an RGB picture, which must have the size expected
        self.assert_running()
        res = subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", str(self.window), "png:-"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        check(res.returncode == 0, "import failed: %s" % res.stderr.decode(errors="replace"))
        self.last_shot = Image.open(io.BytesIO(res.stdout)).convert("RGB")
        check(self.size in (None, self.last_shot.size), "the window is %dx%d" % self.last_shot.size)
        return self.last_shot

    def wait_screen(self, predicate, what, timeout=SCREEN_TIMEOUT):
        """Polls screenshots until predicate(picture) holds; returns that picture."""
        def probe():
            img = self.shot()
            return img if predicate(img) else None
        return wait_for(probe, timeout, what)

    def wait_steady(self, what, timeout=SCREEN_TIMEOUT, box=FRAME, predicate=bool, gap=0.25):
        """Waits for two screenshots gap s apart, equal inside box, that satisfy predicate."""
        previous = []
        def probe():
            previous[:] = previous[-1:] + [self.wait_screen(predicate, what, timeout)]
            return previous[-1] if len(previous) == 2 and same(*previous, box) else time.sleep(gap)
        return wait_for(probe, timeout, what)

    def key(self, action, key):
        self.xdotool("windowfocus", self.window, action, key)

    def press_until(self, key, predicate, what, hold=False):
        """Taps (or holds) key until a screenshot satisfies predicate, again after RETRY s without it."""
        def pressed():
            self.key("keydown", key)
            if not hold:
                time.sleep(0.1)  # a few frames: the menu reads held keys once a frame
                self.key("keyup", key)
            try:
                return self.wait_screen(predicate, what, RETRY)
            except E2EError:
                self.key("keyup", key)
        try:
            return wait_for(pressed, SCREEN_TIMEOUT, "%s, pressing %s" % (what, key), 0)
        finally:
            self.key("keyup", key)
            time.sleep(0.15)  # the game sees every key up for a frame or more

    def assert_running(self):
        check(self.proc.poll() is None, "the game exited early with status %s" % self.proc.poll())

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        wait_for(lambda: self.proc.poll() is not None, timeout, "the game to exit")
        return self.proc.returncode


def open_menu(s):  # waits for the window, focuses it, and returns a steady first menu (its volume bar at 5)
    s.window = wait_for(lambda: s.assert_running() or s.windows_titled(), SCREEN_TIMEOUT, "the game's window", 0.2)[0]
    s.xdotool("windowfocus", s.window)
    return s.wait_steady("the menu", box=MENU_ITEMS_BOX, predicate=lambda img: volume_bar_length(img) == 26)


def in_menu(ref):  # a predicate: the menu's column looks as in ref
    return lambda img: same(img, ref, MENU_ITEMS_BOX)


def move_cursor(s, key, ref_play, item):
    """Presses key until the cursor column differs from ref_play (cursor on Play) in the rows of Play and item only."""
    moved = lambda img, row: not same(img, ref_play, (5, 10 + 25 * row, 34, 35 + 25 * row))
    return s.press_until(key, lambda img: all(moved(img, row) == (item != 0 and row in (0, item)) for row in range(5)),
                         "the cursor on item %d" % item, hold=True)


def start_game(s, ref):  # returns a picture of the game
    return s.press_until("Return", lambda img: not in_menu(ref)(img), "the game", hold=True)
