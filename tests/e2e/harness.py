"""Drives the real vollix binary in a private Xvfb: keys in with xdotool,
screenshots out with ImageMagick's import, hiscores.hst through Allegro's pack.
Every wait polls what the screen or a process shows, with a generous timeout.
"""

import io
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image

TITLE = "Vollix - By Orlem Vasket"
# Generous limits, longer still under valgrind (VOLLIX_E2E_SLOW=5): a screen
# may take SCREEN_TIMEOUT s to show; a key that seems missed is pressed again
# after RETRY s.
SLOW = float(os.environ.get("VOLLIX_E2E_SLOW", "1"))
WINDOW_TIMEOUT, SCREEN_TIMEOUT, EXIT_TIMEOUT, RETRY = 60.0 * SLOW, 60.0 * SLOW, 20.0 * SLOW, 6.0 * SLOW
YELLOW, SHELL_ORANGE = (255, 255, 0), (204, 104, 0)
MENU_ITEMS_BOX = (0, 10, 300, 136)  # cursor, item texts, preset name, volume
PRESET_NAME_BOX = (125, 33, 330, 60)


class E2EError(AssertionError):
    """A check or a wait that failed."""


class Skip(Exception):
    """The case cannot run on this machine; not a failure."""


def check(cond, message):
    if not cond:
        raise E2EError(message)


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns a true value, and returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# ---- pictures ---------------------------------------------------------------------

def same(a, b, box=None):
    return a.crop(box or (0, 0) + a.size).tobytes() == b.crop(box or (0, 0) + b.size).tobytes()


def diff_count(a, b, box=None):
    """Pixels that differ between two screenshots inside box."""
    pa, pb = a.crop(box or (0, 0) + a.size).getdata(), b.crop(box or (0, 0) + b.size).getdata()
    return sum(1 for p, q in zip(pa, pb) if p != q)


def colour_pixels(img, colour, box, tolerance=0):
    """The (x, y) inside box whose colour is within tolerance of colour."""
    x0, y0, x1, y1 = box
    px = img.load()
    return {(x, y) for y in range(y0, y1) for x in range(x0, x1)
            if all(abs(p - c) <= tolerance for p, c in zip(px[x, y], colour))}


def volume_bar_length(img):
    """Length of the menu's yellow volume bar: whole yellow columns from x 110."""
    px = img.load()
    length = 0
    while length < 90 and all(px[110 + length, y] == YELLOW for y in range(90, 111)):
        length += 1
    return length


# ---- hiscores.hst -------------------------------------------------------------------

def encode_scores(entries):
    """The 100-byte payload: per entry 16 name bytes NUL-padded, then the score LE."""
    return b"".join(n.encode("latin-1").ljust(16, b"\0") + struct.pack("<I", s) for n, s in entries)


def run_pack(args, workdir):
    res = subprocess.run(["pack"] + args, cwd=workdir, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    check(res.returncode == 0, "pack %s failed: %s" % (args, res.stdout.decode(errors="replace")))


def read_hiscores(path):
    """The (name, score) entries of a packed table."""
    with tempfile.TemporaryDirectory() as scratch:
        shutil.copy(path, os.path.join(scratch, "in"))
        run_pack(["u", "in", "out"], scratch)
        payload = open(os.path.join(scratch, "out"), "rb").read()
    check(len(payload) == 100, "the table holds %d bytes" % len(payload))
    return [(payload[i:i + 16].split(b"\0")[0].decode("latin-1"), struct.unpack("<I", payload[i + 16:i + 20])[0])
            for i in range(0, 100, 20)]


def write_hiscores(path, entries):
    with tempfile.TemporaryDirectory() as scratch:
        open(os.path.join(scratch, "in"), "wb").write(encode_scores(entries))
        run_pack(["in", "out"], scratch)
        shutil.copy(os.path.join(scratch, "out"), path)


# ---- processes ------------------------------------------------------------------------

def stop_group(proc):
    """Ends a process started in its own session, and everything it spawned."""
    if proc is None or proc.poll() is not None:
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(proc.pid, sig)
            proc.wait(timeout=5)
            return
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass


class Xvfb:
    """A private X server on a free display, which it reports through -displayfd."""

    def __init__(self, logdir):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "800x600x24",
                                      "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        os.close(write_fd)
        number = b""
        while not number.endswith(b"\n") and select.select([read_fd], [], [], 30)[0]:
            chunk = os.read(read_fd, 64)  # the server fails if the pipe closes before its newline
            number += chunk
            if not chunk:
                break
        os.close(read_fd)
        if not number.endswith(b"\n"):
            self.close()
            raise E2EError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def close(self):
        stop_group(self.proc)


class Session:
    """One run of the game in a fresh folder (data.dat and an optional seeded
    table) under its own X server; a context manager that tears all down."""

    def __init__(self, vollix, data, name, with_data=True, hiscores=None):
        self.vollix, self.data, self.name = os.path.abspath(vollix), os.path.abspath(data), name
        self.with_data, self.hiscores = with_data, hiscores
        self.proc = self.xvfb = self.window = self.last_shot = None
        self.env_extra = {}  # set for the game only, over the server's DISPLAY

    def __enter__(self):
        for tool in ("Xvfb", "xdotool", "import", "pack"):
            check(shutil.which(tool), "missing tool: %s" % tool)
        self.tmp = tempfile.mkdtemp(prefix="vollix-e2e-")
        self.workdir = os.path.join(self.tmp, "run")
        os.mkdir(self.workdir)
        try:
            if self.with_data:
                shutil.copy(self.data, self.path("data.dat"))
            if self.hiscores is not None:
                write_hiscores(self.path("hiscores.hst"), self.hiscores)
            command = self.command()
            self.xvfb = Xvfb(self.tmp)
            self.env = dict(os.environ, DISPLAY=self.xvfb.display)
            self.env.pop("XAUTHORITY", None)
            self.log = open(os.path.join(self.tmp, "game.log"), "wb")
            self.proc = subprocess.Popen(command, cwd=self.workdir, env=dict(self.env, **self.env_extra),
                                         stdin=subprocess.DEVNULL,
                                         stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        """Stops game and server; on failure keeps the last screenshot and shows the game's output."""
        if exc_type is not None and self.last_shot is not None:
            self.last_shot.save(os.path.join(os.environ.get("VOLLIX_E2E_ARTIFACTS", os.getcwd()),
                                             "%s-last-screen.png" % self.name))
        stop_group(self.proc)
        if self.xvfb is not None:
            self.xvfb.close()
        if getattr(self, "log", None):
            self.log.close()
            if exc_type is not None:
                print(open(self.log.name, errors="replace").read()[-3000:])
        shutil.rmtree(self.tmp, ignore_errors=True)
        return False

    def command(self):
        """The game's command line, once its folder is filled."""
        return [self.vollix]

    def path(self, name):
        return os.path.join(self.workdir, name)

    def xdotool(self, *args):
        res = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=20)
        return res.returncode, res.stdout.decode(errors="replace").strip()

    def windows_titled(self, title=TITLE):
        rc, out = self.xdotool("search", "--name", "^%s$" % title)
        return [w for w in out.split() if self.xdotool("getwindowname", w)[1] == title] if rc == 0 else []

    def wait_window(self, timeout=WINDOW_TIMEOUT):
        """Waits for the game's window and gives it the keyboard focus."""
        def find():
            self.assert_running()
            return self.windows_titled()
        self.window = wait_for(find, timeout, "a window titled %r" % TITLE, 0.2)[0]
        self.xdotool("windowfocus", self.window)
        return self.window

    def shot(self):
        """The game window as an RGB picture."""
        res = subprocess.run(["import", "-display", self.xvfb.display, "-window", str(self.window), "png:-"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        check(res.returncode == 0, "import failed: %s" % res.stderr.decode(errors="replace"))
        self.last_shot = Image.open(io.BytesIO(res.stdout)).convert("RGB")
        check(self.last_shot.size == (640, 480), "the window is %dx%d" % self.last_shot.size)
        return self.last_shot

    def wait_screen(self, predicate, what, timeout=SCREEN_TIMEOUT):
        """Polls screenshots until predicate(picture) holds; returns that picture."""
        def probe():
            self.assert_running()
            img = self.shot()
            return img if predicate(img) else None
        return wait_for(probe, timeout, what)

    def wait_steady(self, what, timeout=SCREEN_TIMEOUT, box=None, predicate=None, gap=0.25):
        """Waits for two screenshots gap seconds apart, equal inside box, that
        both satisfy predicate; returns the later one."""
        previous = None
        def probe():
            nonlocal previous
            self.assert_running()
            img = self.shot()
            if predicate is not None and not predicate(img):
                previous = None
                return None
            steady = previous is not None and same(previous, img, box)
            previous = img
            return img if steady else time.sleep(gap)
        return wait_for(probe, timeout, what)

    def key(self, action, key):
        self.xdotool("windowfocus", self.window, action, key)

    def tap_until(self, key, predicate, what, timeout=SCREEN_TIMEOUT, wait_each=RETRY):
        """Taps key until a screenshot satisfies predicate; taps again only
        when wait_each seconds pass without it (a tap the game missed)."""
        deadline = time.monotonic() + timeout
        while True:
            self.key("keydown", key)
            time.sleep(0.1)  # held for a few frames: the menu reads held keys once a frame
            self.key("keyup", key)
            try:
                return self.wait_screen(predicate, what, max(0.1, min(wait_each, deadline - time.monotonic())))
            except E2EError:
                if time.monotonic() >= deadline:
                    raise

    def hold_until(self, key, predicate, what, timeout=SCREEN_TIMEOUT, retry_after=RETRY):
        """Holds key until a screenshot satisfies predicate; a press the game
        seems to have missed is released and made again after retry_after s."""
        deadline = time.monotonic() + timeout
        try:
            while True:
                self.key("keydown", key)
                try:
                    return self.wait_screen(predicate, what, max(0.1, min(retry_after, deadline - time.monotonic())))
                except E2EError:
                    self.key("keyup", key)
                    if time.monotonic() >= deadline:
                        raise
                    time.sleep(0.2)
        finally:
            self.key("keyup", key)
            time.sleep(0.15)  # the game sees every key up for a frame or more

    def type_text(self, text):
        self.xdotool("windowfocus", self.window, "type", "--delay", "120", text)

    def assert_running(self):
        code = self.proc.poll()
        check(code is None, "the game exited early with status %s" % code)

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise E2EError("the game did not exit within %.0f s" % timeout)

    def child_processes(self):
        """(pid, argv) of the game's child processes."""
        kids = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                stat = open("/proc/%s/stat" % pid).read()
                if int(stat[stat.rfind(")") + 2:].split()[1]) == self.proc.pid:
                    argv = open("/proc/%s/cmdline" % pid, "rb").read().split(b"\0")
                    kids.append((int(pid), [a.decode(errors="replace") for a in argv if a]))
            except OSError:
                pass
        return kids


# ---- the menu ---------------------------------------------------------------------------

def open_menu(s, timeout=SCREEN_TIMEOUT):
    """Waits for the window and a steady first menu (its volume bar at 5)."""
    s.wait_window(timeout)
    return s.wait_steady("the menu", timeout, MENU_ITEMS_BOX, lambda img: volume_bar_length(img) == 26)


def in_menu(ref):
    """Predicate: the menu's column looks as in ref."""
    return lambda img: same(img, ref, MENU_ITEMS_BOX)


def cursor_on(img, ref_play, item):
    """True when the cursor column differs from ref_play (cursor on Play) in
    the rows of Play and item only."""
    for row in range(5):
        box = (5, 10 + 25 * row, 34, 35 + 25 * row)
        if same(img, ref_play, box) == (item != 0 and row in (0, item)):
            return False
    return True


def move_cursor(s, key, ref_play, item, timeout=SCREEN_TIMEOUT, retry=RETRY):
    """Presses key until the cursor stands on item."""
    return s.hold_until(key, lambda img: cursor_on(img, ref_play, item), "the cursor on item %d" % item,
                        timeout, retry)


def start_game(s, ref, timeout=SCREEN_TIMEOUT, retry=RETRY):
    """ENTER on Play until the menu gives way; returns a picture of the game."""
    return s.hold_until("Return", lambda img: not in_menu(ref)(img), "the game", timeout, retry)


def exit_by_escape(s, ref_play, timeout=SCREEN_TIMEOUT, retry=RETRY):
    """ESC to Exit, ESC again to leave; returns the exit status."""
    move_cursor(s, "Escape", ref_play, 4, timeout, retry)
    s.key("keydown", "Escape")
    try:
        return s.wait_exit(max(timeout, EXIT_TIMEOUT))
    finally:
        s.key("keyup", "Escape")


def run_case(name, body):
    """Runs one named case and reports it; returns the process's exit status
    (77 tells ctest the case was skipped)."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))  # ctest's timeout: clean up too
    started = time.monotonic()
    try:
        body()
    except Skip as e:
        print("SKIP %s: %s" % (name, e))
        return 77
    except E2EError as e:
        print("FAIL %s: %s (after %.1f s)" % (name, e, time.monotonic() - started))
        return 1
    print("PASS %s (%.1f s)" % (name, time.monotonic() - started))
    return 0
