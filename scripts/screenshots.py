#!/usr/bin/python3
"""Takes the README's screenshots from the real game window.

usage: screenshots.py --vollix PATH --data PATH --out DIR
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import harness as h  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--vollix", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    with h.Session(args.vollix, args.data, "screenshots") as s:
        menu = h.open_menu(s)
        menu.save(os.path.join(args.out, "menu.png"))
        h.start_game(s, menu)
        # Sweep the gun while firing so shells, troopers and a kill or two show;
        # short enough that no game ends by landings.
        for key, hold in (("Left", 0.3), ("Right", 0.5), ("Left", 0.25)):
            for _ in range(2):
                s.key("keydown", "space")
                s.key("keydown", key)
                time.sleep(hold)
                s.key("keyup", key)
                s.key("keydown", "space")
                time.sleep(0.6)
        s.wait_screen(lambda img: h.colour_pixels(img, h.SHELL_ORANGE, (0, 0, 640, 330), 12) > 0,
                      "shells in the sky")
        s.shot().save(os.path.join(args.out, "play.png"))
        s.key("keyup", "space")
    return 0


if __name__ == "__main__":
    sys.exit(main())
