#!/usr/bin/python3
"""End-to-end tests of vollix: run one by name.

usage: run_e2e.py --vollix PATH --data PATH TEST
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness as h  # noqa: E402

DEFAULT_SCORES = [("Orlem Vasket", s) for s in (800, 650, 500, 350, 200)]
ERROR_TEXT = "Error loading DATA.DAT."

TESTS = {}


def test(fn):
    """Registers a test under its function name."""
    TESTS[fn.__name__] = fn
    return fn


# ---- shared steps --------------------------------------------------------

def escape_game_to_menu(s, ref_menu):
    """Taps ESC in a game until the menu is back."""
    return s.tap_until("Escape", h.in_menu(ref_menu), "the menu after ESC", timeout=30)


# ---- tests ---------------------------------------------------------------

@test
def missing_data(args):
    """No data.dat: a message box, no game window, exit 1, no hiscores.hst."""
    with h.Session(args.vollix, args.data, "missing_data", with_data=False) as s:
        def message_box():
            s.assert_running()
            for pid, argv in s.child_processes():
                if argv and os.path.basename(argv[0]) == "xmessage":
                    return pid, argv
            return None
        pid, argv = h.wait_for(message_box, h.WINDOW_TIMEOUT, "an xmessage child of the game", 0.1)
        h.check(any(ERROR_TEXT in a for a in argv), "xmessage text is %r" % argv)
        h.check(s.windows_titled() == [], "a game window opened despite the missing data file")
        os.kill(pid, 15)
        code = s.wait_exit()
        h.check(code == 1, "exit code %d, expected 1" % code)
        h.check(not os.path.exists(s.path("hiscores.hst")), "hiscores.hst was written")


@test
def no_display(args):
    """No X display: the graphics-mode message on standard output, exit 1, no file."""
    import shutil
    import subprocess
    import tempfile
    workdir = tempfile.mkdtemp(prefix="vollix-e2e-")
    try:
        shutil.copy(args.data, os.path.join(workdir, "data.dat"))
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XAUTHORITY")}
        res = subprocess.run([os.path.abspath(args.vollix)], cwd=workdir, env=env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, timeout=60)
        out = res.stdout.decode(errors="replace")
        h.check(res.returncode == 1, "exit code %d, expected 1" % res.returncode)
        h.check("Error initializing graphics mode (640x480).\n" in out, "stdout is %r" % out)
        h.check(not os.path.exists(os.path.join(workdir, "hiscores.hst")), "hiscores.hst was written")
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


@test
def window(args):
    """The window carries the exact title and is 640x480."""
    with h.Session(args.vollix, args.data, "window") as s:
        s.wait_window()
        h.check(s.windows_titled() == [s.window], "title not exact")
        size = s.geometry()
        h.check(size == (640, 480), "window is %dx%d" % size)
        h.open_menu(s)


@test
def menu(args):
    """Cursor, preset and volume respond to the arrows; ENTER on Sound goes back to Play."""
    with h.Session(args.vollix, args.data, "menu") as s:
        ref = h.open_menu(s)
        # Down to Preset and back up to Play.
        h.move_cursor(s, "Down", ref, 1)
        s.hold_until("Up", lambda img: h.same(img, ref, h.MENU_ITEMS_BOX), "the cursor back on Play")
        h.move_cursor(s, "Down", ref, 1)
        on_preset = s.shot()
        # Normal -> Impossible -> Normal -> Easy -> Normal.
        differs = lambda a, b: not h.same(a, b, h.PRESET_NAME_BOX)
        impossible = s.hold_until("Right", lambda img: differs(img, on_preset), "a new preset name")
        s.hold_until("Left", lambda img: not differs(img, on_preset), "the preset name Normal again")
        easy = s.hold_until("Left", lambda img: differs(img, on_preset), "a new preset name")
        h.check(differs(easy, impossible), "Easy and Impossible look the same")
        s.hold_until("Right", lambda img: not differs(img, on_preset), "the preset name Normal again")
        # Down to Sound; the bar grows and shrinks 5 pixels a step.
        h.move_cursor(s, "Down", ref, 2)
        h.move_cursor(s, "Down", ref, 3)
        bar = lambda n: (lambda img: h.volume_bar_length(img) == n)
        s.hold_until("Right", bar(31), "the volume bar at 6")
        for volume in range(5, 0, -1):
            s.hold_until("Left", bar(5 * volume + 1), "the volume bar at %d" % volume)
        off = s.hold_until("Left", bar(0), "the volume bar gone")
        h.check(not h.colour_pixels(off, h.YELLOW, h.VOLUME_BOX), "yellow left at volume 0")
        h.check(not h.same(off, on_preset, h.VOLUME_BOX), "nothing drawn in place of the bar")
        s.hold_until("Right", bar(6), "the volume bar at 1")
        # ENTER on Sound: the next visit starts on Play with the volume kept.
        back = s.tap_until("Return",
                           lambda img: h.cursor_on(img, ref, 0) and h.volume_bar_length(img) == 6,
                           "the cursor back on Play with the volume at 1")
        h.check(h.same(back, ref, h.cursor_box(0)), "cursor not on Play")


@test
def escape_exit(args):
    """ESC twice leaves with 0 and writes the default table."""
    with h.Session(args.vollix, args.data, "escape_exit") as s:
        ref = h.open_menu(s)
        code = h.exit_by_escape(s, ref)
        h.check(code == 0, "exit code %d, expected 0" % code)
        path = s.path("hiscores.hst")
        h.check(os.path.isfile(path), "no hiscores.hst after Exit")
        entries = h.read_hiscores(path)
        h.check(entries == DEFAULT_SCORES, "hiscores.hst holds %r" % entries)


@test
def play_controls(args):
    """SPACE fires orange shells, LEFT turns the barrel, ESC returns to the menu."""
    with h.Session(args.vollix, args.data, "play_controls") as s:
        ref = h.open_menu(s)
        first = h.start_game(s, ref)
        above_gun = (290, 0, 350, 330)
        before = h.colour_pixels(first, h.SHELL_ORANGE, above_gun, tolerance=12)
        s.hold_until("space",
                     lambda img: h.colour_pixels(img, h.SHELL_ORANGE, above_gun, 12) - before,
                     "an orange shell above the gun")
        barrel = (250, 290, 390, 372)
        upright = s.wait_steady("the shells to leave the barrel area", box=barrel,
                                timeout=h.SCREEN_TIMEOUT)
        s.hold_until("Left", lambda img: h.diff_count(img, upright, barrel) > 20,
                     "the barrel to turn")
        after = escape_game_to_menu(s, ref)
        h.check(not h.same(after, ref, barrel), "the menu does not show the turned gun")
        code = h.exit_by_escape(s, ref)
        h.check(code == 0, "exit code %d, expected 0" % code)


@test
def game_over(args):
    """An Easy game left alone ends by landings: banner, then a key brings back the menu."""
    with h.Session(args.vollix, args.data, "game_over") as s:
        ref = h.open_menu(s)
        h.move_cursor(s, "Down", ref, 1)
        on_preset = s.shot()
        s.hold_until("Left", lambda img: not h.same(img, on_preset, h.PRESET_NAME_BOX), "the preset Easy")
        h.move_cursor(s, "Up", ref, 0)
        easy_menu = s.shot()
        first = h.start_game(s, easy_menu)
        banner = (150, 176, 490, 226)
        s.wait_steady("the game-over banner", timeout=180,
                      predicate=lambda img: h.diff_count(img, first, banner) > 1500
                      and not h.same(img, easy_menu, h.MENU_ITEMS_BOX))
        s.tap_until("space", h.in_menu(easy_menu), "the menu after the game-over key")
        code = h.exit_by_escape(s, easy_menu)
        h.check(code == 0, "exit code %d, expected 0" % code)


@test
def name_entry(args):
    """A qualifying score opens the name entry; the typed name reaches hiscores.hst."""
    seeded = [("Seed %d" % i, 0) for i in range(5)]
    with h.Session(args.vollix, args.data, "name_entry", hiscores=seeded) as s:
        ref = h.open_menu(s)
        first = h.start_game(s, ref)
        titles = (100, 26, 540, 72)
        entry_shown = lambda img: (h.diff_count(img, first, titles) > 100
                                   and not h.same(img, ref, h.MENU_ITEMS_BOX))
        s.tap_until("Escape", entry_shown, "the name-entry screen", timeout=40, wait_each=6)
        blank = s.wait_steady("a steady name-entry screen", predicate=entry_shown)
        name_line = (160, 95, 480, 130)
        s.type_text("Zed")
        s.wait_steady("the typed name", box=name_line,
                      predicate=lambda img: h.diff_count(img, blank, name_line) > 20)
        s.tap_until("Return", h.in_menu(ref), "the menu after the name entry")
        code = h.exit_by_escape(s, ref)
        h.check(code == 0, "exit code %d, expected 0" % code)
        entries = h.read_hiscores(s.path("hiscores.hst"))
        h.check(("Zed", 0) in entries, "typed name not stored: %r" % entries)
        h.check(sum(1 for e in entries if e[0].startswith("Seed")) == 4,
                "expected four seeded entries left: %r" % entries)


# ---- pause and focus -----------------------------------------------------

PAUSED_BOX = (240, 220, 400, 260)    # the middle of the frame
PAUSED_INK = (251, 243, 227)         # the resource font's lettering
SKY = (0, 20, 640, 330)              # below the score line, above the gun


def paused(img):
    """True when "Paused" stands in the middle of the frame."""
    return len(h.colour_pixels(img, PAUSED_INK, PAUSED_BOX, 4)) > 100


def troopers_moving(s, what):
    """Waits until the sky changes with no "Paused" shown."""
    before = s.shot()
    return s.wait_screen(lambda img: not paused(img) and not h.same(img, before, SKY), what, timeout=60)


@test
def pause(args):
    """P freezes the scene under "Paused", P lets the troopers move on, ESC ends a paused game."""
    with h.Session(args.vollix, args.data, "pause") as s:
        ref = h.open_menu(s)
        h.start_game(s, ref)
        troopers_moving(s, "a trooper in the sky")
        s.tap_until("p", paused, "the label Paused")
        s.wait_steady("a still scene under Paused", predicate=paused, gap=1.5)
        s.tap_until("p", lambda img: not paused(img), "the label gone")
        troopers_moving(s, "troopers moving again")
        s.tap_until("p", paused, "the label Paused again")
        s.tap_until("Escape", h.in_menu(ref), "the menu after ESC in a paused game")


@test
def focus_loss(args):
    """Focus lost in the menu changes nothing; lost in a game, it pauses until P."""
    import subprocess
    with h.Session(args.vollix, args.data, "focus_loss") as s:
        other = subprocess.Popen(["xmessage", "-name", "elsewhere", "elsewhere"], env=s.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 start_new_session=True)
        try:
            shown = lambda: s.xdotool("search", "--onlyvisible", "--name", "^elsewhere$")[1].split()
            elsewhere = h.wait_for(shown, h.WINDOW_TIMEOUT, "another window")[0]
            ref = h.open_menu(s)
            s.xdotool("windowfocus", "--sync", elsewhere)
            h.start_game(s, ref)  # its keys bring the focus back
            troopers_moving(s, "a game that runs")
            s.xdotool("windowfocus", "--sync", elsewhere)
            s.wait_steady("a still scene under Paused", predicate=paused, gap=1.5)
            s.tap_until("p", lambda img: not paused(img), "the label gone")
            troopers_moving(s, "troopers moving again")
        finally:
            h.stop_group(other)


def main():
    """Parses the arguments and runs the named test."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--vollix", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("test", choices=sorted(TESTS))
    args = parser.parse_args()
    return h.run_case(args.test, lambda: TESTS[args.test](args))


if __name__ == "__main__":
    sys.exit(main())
