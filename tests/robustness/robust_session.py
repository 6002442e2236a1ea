"""A game session for the robustness tests, built on the end-to-end harness.

Adds to the harness's Session: a hook that prepares the working directory
before the game starts, running the game as an unprivileged user (so file
permissions hold even when the tests run as root), a command prefix (such as
valgrind), and the window's close button.
"""

import ctypes
import ctypes.util
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import harness as h  # noqa: E402

# The account the game runs as when the tests run as root.
PLAIN_USER = "nobody"


def plain_ids():
    """(uid, gid) of the unprivileged account, or None when it is missing."""
    import pwd
    try:
        entry = pwd.getpwnam(PLAIN_USER)
    except KeyError:
        return None
    return entry.pw_uid, entry.pw_gid


def can_drop_privileges():
    """True when the tests run as root and setpriv and the plain account exist."""
    return os.geteuid() == 0 and shutil.which("setpriv") and plain_ids() is not None


class RobustSession(h.Session):
    """One run of the game; see the module comment for what it adds.

    prepare(workdir) runs after data.dat and the seeded table are in place.
    unprivileged: run the game as PLAIN_USER, the workdir owned by that user
    (prepare may take files back from it afterwards).
    prefix: words put before the game's path on its command line.
    """

    def __init__(self, vollix, data, name, prepare=None, unprivileged=False,
                 prefix=(), **kwargs):
        super().__init__(vollix, data, name, **kwargs)
        self.prepare = prepare
        self.unprivileged = unprivileged
        self.prefix = list(prefix)

    def command(self):
        """Adds the prefix and the drop of privileges, then runs prepare."""
        command = self.prefix + [self.vollix]
        if self.unprivileged:
            h.check(can_drop_privileges(), "cannot run as %s" % PLAIN_USER)
            uid, gid = plain_ids()
            # The plain user must reach the workdir through the private temp dir.
            os.chmod(self.tmp, 0o711)
            for name in [self.workdir] + [os.path.join(self.workdir, f)
                                          for f in os.listdir(self.workdir)]:
                os.chown(name, uid, gid)
            command = ["setpriv", "--reuid=%d" % uid, "--regid=%d" % gid,
                       "--clear-groups", "--"] + command
        if self.prepare is not None:
            self.prepare(self.workdir)
        return command

    def press_close_button(self):
        """Sends the window manager's close request (WM_DELETE_WINDOW) to the window."""
        send_delete_window(self.xvfb.display, int(self.window))


# ---- the close button -----------------------------------------------------

class _ClientMessage(ctypes.Structure):
    """Xlib's XClientMessageEvent with 32-bit data."""
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    """Xlib's XEvent: the union is padded to 24 longs."""
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33


def send_delete_window(display_name, window):
    """What a window manager does when the title bar's close button is clicked."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                               ctypes.c_long, ctypes.POINTER(_Event)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display_name.encode())
    h.check(dpy, "cannot open display %s" % display_name)
    try:
        event = _Event()
        msg = event.xclient
        msg.type = CLIENT_MESSAGE
        msg.window = window
        msg.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        msg.format = 32
        msg.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        msg.data[1] = 0  # CurrentTime
        h.check(x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(event)) != 0,
                "XSendEvent failed")
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)
