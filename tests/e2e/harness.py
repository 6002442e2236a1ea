"""Drives the real vollix binary in a private Xvfb: keys in, screenshots out.

Run with Debian's /usr/bin/python3 (needs python3-pil). External tools:
Xvfb, xdotool, ImageMagick's import, and pack from the Allegro 4 package.
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
WIDTH, HEIGHT = 640, 480

# Generous limits: the tests must hold on a loaded 2-core machine.
WINDOW_TIMEOUT = 20.0
SCREEN_TIMEOUT = 15.0
EXIT_TIMEOUT = 20.0

# Menu geometry the game guarantees.
MENU_ROWS = 5
YELLOW = (255, 255, 0)
SHELL_ORANGE = (204, 104, 0)


class E2EError(AssertionError):
    """A check or a wait that failed."""


def check(cond, message):
    """Raises E2EError with the message when cond is false."""
    if not cond:
        raise E2EError(message)


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns a true value; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# ---- image helpers -------------------------------------------------------

def cursor_box(item):
    """The area where the menu cursor of the given row is drawn."""
    top = 12 + 25 * item
    return (5, top - 2, 34, top + 23)


MENU_ITEMS_BOX = (0, 10, 300, 136)   # cursor, item texts, preset name, volume
PRESET_NAME_BOX = (125, 33, 330, 60)
VOLUME_BOX = (108, 83, 200, 112)


def diff_count(a, b, box=None):
    """Number of pixels that differ between two screenshots inside box."""
    if box is not None:
        a, b = a.crop(box), b.crop(box)
    pa, pb = a.tobytes(), b.tobytes()
    return sum(1 for i in range(0, len(pa), 3) if pa[i:i + 3] != pb[i:i + 3])


def same(a, b, box=None):
    """True when both screenshots are identical inside box."""
    if box is not None:
        a, b = a.crop(box), b.crop(box)
    return a.tobytes() == b.tobytes()


def near(pixel, colour, tolerance):
    """True when every channel of pixel is within tolerance of colour."""
    return all(abs(p - c) <= tolerance for p, c in zip(pixel, colour))


def colour_pixels(img, colour, box, tolerance=0):
    """Set of (x, y) inside box whose colour matches within tolerance."""
    x0, y0, x1, y1 = box
    px = img.load()
    return {(x, y) for y in range(y0, y1) for x in range(x0, x1)
            if near(px[x, y], colour, tolerance)}


def volume_bar_length(img):
    """Length of the yellow volume bar: full-height yellow columns from x 110."""
    px = img.load()
    length = 0
    for x in range(110, 200):
        if all(px[x, y] == YELLOW for y in range(90, 111)):
            length += 1
        else:
            break
    return length


# ---- hiscores.hst --------------------------------------------------------

def encode_scores(entries):
    """The 100-byte table payload: 16 name bytes NUL-padded, then uint32 LE."""
    out = b""
    for name, score in entries:
        raw = name.encode("latin-1")
        check(len(raw) <= 15, "name too long: %r" % name)
        out += raw.ljust(16, b"\0") + struct.pack("<I", score)
    return out


def decode_scores(payload):
    """List of (name, score) from a 100-byte table payload."""
    check(len(payload) == 100, "payload is %d bytes, not 100" % len(payload))
    entries = []
    for i in range(5):
        chunk = payload[20 * i:20 * i + 20]
        name = chunk[:16].split(b"\0", 1)[0].decode("latin-1")
        entries.append((name, struct.unpack("<I", chunk[16:])[0]))
    return entries


def run_pack(args, workdir):
    """Runs the Allegro pack utility; raises on failure."""
    res = subprocess.run(["pack"] + args, cwd=workdir, stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, timeout=30)
    check(res.returncode == 0, "pack %s failed: %s" % (" ".join(args), res.stdout.decode(errors="replace")))


def read_hiscores(path):
    """Expands a packed hiscores.hst with `pack u` and decodes its entries."""
    scratch = tempfile.mkdtemp(prefix="vollix-pack-")
    try:
        shutil.copy(path, os.path.join(scratch, "in.hst"))
        run_pack(["u", "in.hst", "out.bin"], scratch)
        with open(os.path.join(scratch, "out.bin"), "rb") as f:
            return decode_scores(f.read())
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def write_hiscores(path, entries):
    """Writes a packed hiscores.hst holding the given entries via `pack`."""
    scratch = tempfile.mkdtemp(prefix="vollix-pack-")
    try:
        with open(os.path.join(scratch, "in.bin"), "wb") as f:
            f.write(encode_scores(entries))
        run_pack(["in.bin", "out.hst"], scratch)
        shutil.copy(os.path.join(scratch, "out.hst"), path)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


# ---- processes -----------------------------------------------------------

def children_of(pid):
    """PIDs of the direct children of pid, from /proc."""
    kids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        # The command name may hold spaces; the fields after it are fixed.
        fields = stat[stat.rfind(")") + 2:].split()
        if int(fields[1]) == pid:
            kids.append(int(entry))
    return kids


def cmdline(pid):
    """The argument list of a process, or [] once it is gone."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return [a.decode(errors="replace") for a in f.read().split(b"\0") if a]
    except OSError:
        return []


def stop_group(proc):
    """Ends a process we started in its own session, and everything it spawned."""
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
        proc.wait(timeout=5)
    except (ProcessLookupError, subprocess.TimeoutExpired):
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        proc.wait(timeout=5)


class Xvfb:
    """A private X server on a free display picked by -displayfd."""

    def __init__(self, logdir):
        read_fd, write_fd = os.pipe()
        self.log = open(os.path.join(logdir, "xvfb.log"), "wb")
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "800x600x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=self.log, stderr=subprocess.STDOUT,
            start_new_session=True)
        os.close(write_fd)
        try:
            self.display = ":" + self._read_display(read_fd)
        except Exception:
            self.close()
            raise
        finally:
            os.close(read_fd)

    def _read_display(self, fd):
        """Reads the display number Xvfb writes once it accepts clients."""
        data = b""
        deadline = time.monotonic() + 30
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            check(left > 0 and self.proc.poll() is None, "Xvfb did not start")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 64)
                check(chunk, "Xvfb closed its display pipe")
                data += chunk
        return data.decode().strip()

    def close(self):
        """Stops the server."""
        stop_group(self.proc)
        self.log.close()


class Session:
    """One run of the game in a fresh working directory under a private Xvfb.

    Use as a context manager: everything is torn down on leaving, also on failure.
    """

    def __init__(self, vollix, data, name, with_data=True, hiscores=None):
        self.vollix = os.path.abspath(vollix)
        self.data = os.path.abspath(data)
        self.name = name
        self.with_data = with_data
        self.hiscores = hiscores
        self.tmp = None
        self.xvfb = None
        self.proc = None
        self.window = None
        self.last_shot = None

    # -- lifetime --

    def __enter__(self):
        for tool in ("Xvfb", "xdotool", "import", "pack"):
            check(shutil.which(tool), "missing tool: %s" % tool)
        check(os.access(self.vollix, os.X_OK), "no game binary at %s" % self.vollix)
        self.tmp = tempfile.mkdtemp(prefix="vollix-e2e-")
        self.workdir = os.path.join(self.tmp, "run")
        os.mkdir(self.workdir)
        try:
            if self.with_data:
                check(os.path.isfile(self.data), "no data file at %s" % self.data)
                shutil.copy(self.data, os.path.join(self.workdir, "data.dat"))
            if self.hiscores is not None:
                write_hiscores(os.path.join(self.workdir, "hiscores.hst"), self.hiscores)
            command = self.command()
            self.xvfb = Xvfb(self.tmp)
            self.env = dict(os.environ, DISPLAY=self.xvfb.display)
            self.env.pop("XAUTHORITY", None)
            self.out = open(os.path.join(self.tmp, "game.out"), "wb")
            self.err = open(os.path.join(self.tmp, "game.err"), "wb")
            self.proc = subprocess.Popen(command, cwd=self.workdir, env=self.env,
                                         stdin=subprocess.DEVNULL, stdout=self.out,
                                         stderr=self.err, start_new_session=True)
        except BaseException:
            self._teardown(failed=True)
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        self._teardown(failed=exc_type is not None)
        return False

    def command(self):
        """The game's command line, once its working directory is filled."""
        return [self.vollix]

    def _teardown(self, failed):
        """Kills game and server, keeps evidence on failure, removes the temp dir."""
        if failed and self.last_shot is not None:
            dest = os.environ.get("VOLLIX_E2E_ARTIFACTS", os.getcwd())
            try:
                self.last_shot.save(os.path.join(dest, "%s-last-screen.png" % self.name))
            except OSError:
                pass
        stop_group(self.proc)
        if self.xvfb is not None:
            self.xvfb.close()
        for f in (getattr(self, "out", None), getattr(self, "err", None)):
            if f is not None:
                f.close()
        if failed and self.tmp is not None:
            for log in ("game.out", "game.err"):
                path = os.path.join(self.tmp, log)
                if os.path.exists(path):
                    with open(path, "rb") as f:
                        text = f.read().decode(errors="replace")
                    print("---- %s ----\n%s" % (log, text[-4000:]))
        if self.tmp is not None:
            shutil.rmtree(self.tmp, ignore_errors=True)

    def path(self, name):
        """A path inside the game's working directory."""
        return os.path.join(self.workdir, name)

    # -- X helpers --

    def xdotool(self, *args, timeout=20):
        """Runs xdotool on our display; returns its stdout (stripped)."""
        res = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             timeout=timeout)
        return res.returncode, res.stdout.decode(errors="replace").strip()

    def windows_titled(self, title=TITLE):
        """Ids of the windows whose name is exactly title."""
        rc, out = self.xdotool("search", "--name", "^%s$" % title)
        if rc != 0 or not out:
            return []
        found = []
        for wid in out.split():
            rc, name = self.xdotool("getwindowname", wid)
            if rc == 0 and name == title:
                found.append(wid)
        return found

    def wait_window(self, timeout=WINDOW_TIMEOUT):
        """Waits for the game window, focuses it and returns its id."""
        def find():
            self.assert_running()
            ids = self.windows_titled()
            return ids[0] if ids else None
        self.window = wait_for(find, timeout, "a window titled %r" % TITLE, 0.2)
        self.focus()
        return self.window

    def focus(self):
        """Gives the game window the keyboard focus."""
        self.xdotool("windowfocus", self.window)

    def geometry(self):
        """(width, height) of the game window."""
        rc, out = self.xdotool("getwindowgeometry", "--shell", self.window)
        check(rc == 0, "getwindowgeometry failed")
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def shot(self):
        """A screenshot of the game window as an RGB PIL image."""
        res = subprocess.run(["import", "-display", self.xvfb.display, "-window",
                              str(self.window), "png:-"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        check(res.returncode == 0, "import failed: %s" % res.stderr.decode(errors="replace"))
        img = Image.open(io.BytesIO(res.stdout)).convert("RGB")
        check(img.size == (WIDTH, HEIGHT), "screenshot is %dx%d" % img.size)
        self.last_shot = img
        return img

    def wait_screen(self, predicate, what, timeout=SCREEN_TIMEOUT):
        """Polls screenshots until predicate(img) holds; returns that image."""
        def probe():
            self.assert_running()
            img = self.shot()
            return img if predicate(img) else None
        return wait_for(probe, timeout, what, 0.05)

    def wait_steady(self, what, timeout=SCREEN_TIMEOUT, box=None, predicate=None, gap=0.25):
        """Waits for two screenshots gap seconds apart that are equal inside box
        and both satisfy predicate; returns the later one."""
        deadline = time.monotonic() + timeout
        prev = None
        while True:
            self.assert_running()
            img = self.shot()
            ok = predicate is None or predicate(img)
            if ok and prev is not None and same(prev, img, box):
                return img
            prev = img if ok else None
            if time.monotonic() >= deadline:
                raise E2EError("timed out after %.0f s waiting for %s" % (timeout, what))
            time.sleep(gap)

    # -- keys --

    def key_down(self, key):
        """Presses and holds a key in the game window."""
        self.xdotool("windowfocus", self.window, "keydown", key)

    def key_up(self, key):
        """Releases a held key."""
        self.xdotool("windowfocus", self.window, "keyup", key)

    def tap(self, key, hold=0.1):
        """A short press: long enough for a frame to see it, short of the key repeat."""
        self.key_down(key)
        time.sleep(hold)
        self.key_up(key)

    def tap_until(self, key, predicate, what, timeout=SCREEN_TIMEOUT, wait_each=5.0):
        """Taps key, then waits for a screenshot satisfying predicate; taps again
        only when wait_each seconds pass without it (a tap the game missed)."""
        deadline = time.monotonic() + timeout
        while True:
            self.tap(key)
            try:
                return self.wait_screen(predicate, what,
                                        min(wait_each, max(0.1, deadline - time.monotonic())))
            except E2EError:
                if time.monotonic() >= deadline:
                    raise E2EError("timed out after %.0f s tapping %s for %s" % (timeout, key, what))

    def type_text(self, text):
        """Types text into the game window key by key."""
        self.xdotool("windowfocus", self.window, "type", "--delay", "120", text)

    def hold_until(self, key, predicate, what, timeout=SCREEN_TIMEOUT, retry_after=4.0):
        """Holds key until a screenshot satisfies predicate, then releases it.

        Keys the game acts on once per press need a frame with the key up
        between presses; if nothing happens for retry_after seconds the key
        is released and pressed again.
        """
        deadline = time.monotonic() + timeout
        try:
            while True:
                self.key_down(key)
                press_end = min(deadline, time.monotonic() + retry_after)
                while time.monotonic() < press_end:
                    self.assert_running()
                    img = self.shot()
                    if predicate(img):
                        return img
                    time.sleep(0.03)
                self.key_up(key)
                img = self.shot()
                if predicate(img):
                    return img
                if time.monotonic() >= deadline:
                    raise E2EError("timed out after %.0f s holding %s for %s" % (timeout, key, what))
                time.sleep(0.2)
        finally:
            self.key_up(key)
            # A short gap so the game sees every key up for a frame or more.
            time.sleep(0.15)

    # -- process --

    def assert_running(self):
        """Fails at once when the game has already exited."""
        rc = self.proc.poll()
        if rc is not None:
            raise E2EError("the game exited early with code %d" % rc)

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        """Waits for the game to exit and returns its exit code."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise E2EError("the game did not exit within %.0f s" % timeout)

    def child_processes(self):
        """(pid, argv) of the game's child processes."""
        return [(pid, cmdline(pid)) for pid in children_of(self.proc.pid)]


# ---- steps shared by the test suites ----------------------------------------
# Each takes a timeout for a screen to show and a retry for a key the game seems
# to have missed; the robustness suite passes longer ones (valgrind is slow).

def open_menu(s, timeout=SCREEN_TIMEOUT):
    """Waits for the window and the first steady menu frame (volume bar at 5)."""
    s.wait_window(timeout=max(timeout, WINDOW_TIMEOUT))
    return s.wait_steady("the main menu with the volume bar at 5", box=MENU_ITEMS_BOX,
                         timeout=timeout, predicate=lambda img: volume_bar_length(img) == 26)


def in_menu(ref_menu):
    """Predicate: the menu column looks as in ref_menu."""
    return lambda img: same(img, ref_menu, MENU_ITEMS_BOX)


def cursor_on(img, ref_play, item):
    """True when img shows the cursor column as ref_play would with the cursor on item.

    ref_play shows the cursor on Play; the row of item must differ from it and
    every other row except Play's must match it.
    """
    for row in range(MENU_ROWS):
        moved = item != 0 and row in (0, item)
        if same(img, ref_play, cursor_box(row)) == moved:
            return False
    return True


def move_cursor(s, key, ref_play, item, timeout=SCREEN_TIMEOUT, retry=4.0):
    """Presses key until the cursor stands on item."""
    return s.hold_until(key, lambda img: cursor_on(img, ref_play, item),
                        "the cursor on item %d" % item, timeout=timeout, retry_after=retry)


def start_game(s, ref_menu, timeout=SCREEN_TIMEOUT, retry=4.0):
    """ENTER on Play until the menu gives way; returns a picture of the game."""
    return s.hold_until("Return", lambda img: not in_menu(ref_menu)(img),
                        "the menu to give way to the game", timeout=timeout, retry_after=retry)


def exit_by_escape(s, ref_play, timeout=SCREEN_TIMEOUT, retry=4.0):
    """ESC to Exit, ESC again to leave; returns the exit code."""
    move_cursor(s, "Escape", ref_play, 4, timeout, retry)
    s.key_down("Escape")
    try:
        return s.wait_exit(timeout=max(timeout, EXIT_TIMEOUT))
    finally:
        s.key_up("Escape")


# ---- running one case --------------------------------------------------------

SKIPPED = 77  # the exit code ctest is told means "skipped"


class Skip(Exception):
    """The case cannot run on this machine; not a failure."""


def run_case(name, body):
    """Runs one named case and reports it; returns the process exit code."""
    # ctest ends a test that runs over time with SIGTERM: clean up then too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))
    started = time.monotonic()
    try:
        body()
    except Skip as e:
        print("SKIP %s: %s" % (name, e))
        return SKIPPED
    except E2EError as e:
        print("FAIL %s: %s (after %.1f s)" % (name, e, time.monotonic() - started))
        return 1
    print("PASS %s (%.1f s)" % (name, time.monotonic() - started))
    return 0
