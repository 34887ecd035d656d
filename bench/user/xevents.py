"""What the benchmark sees of the X display, straight from Xlib through ctypes.

A Watcher listens on the root window for the map and unmap events of its children (the
window manager's frames, and windows that bypass it) and stamps each with
time.monotonic() (CLOCK_MONOTONIC, the clock of the program's own timing trace) the
moment it arrives. A framed window is on screen when its frame is mapped. That is far
finer than polling with xdotool or xwininfo, and never sleeps.

ping() sends a window the window manager's _NET_WM_PING; a Qt program answers it when
its event loop reaches it, that is once it has handled every event that came before
(the clicks and drags of the benchmark). The answer is the sign that it is done.
"""
import ctypes
import ctypes.util
import threading
import time

_x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_x.XInitThreads()

Window = ctypes.c_ulong
Atom = ctypes.c_ulong
_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XDefaultRootWindow.restype = Window
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XInternAtom.restype = Atom
_x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x.XSelectInput.argtypes = [ctypes.c_void_p, Window, ctypes.c_long]
_x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x.XFlush.argtypes = [ctypes.c_void_p]
_x.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
_x.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, Atom,
    ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
_x.XFree.argtypes = [ctypes.c_void_p]
_x.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window),
                          ctypes.POINTER(Window), ctypes.POINTER(ctypes.POINTER(Window)),
                          ctypes.POINTER(ctypes.c_uint)]
_x.XGetGeometry.argtypes = [ctypes.c_void_p, Window] + [ctypes.POINTER(Window)] + \
    [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
_ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_ignore_errors = _ErrorHandler(lambda d, e: 0)  # windows come and go under our feet
_x.XSetErrorHandler(_ignore_errors)

UNMAP_NOTIFY, MAP_NOTIFY, CLIENT_MESSAGE = 18, 19, 33
STRUCTURE_NOTIFY, SUBSTRUCTURE_NOTIFY = 1 << 17, 1 << 19
XA_CARDINAL = 6


class _Head(ctypes.Structure):  # the fields every event starts with
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p)]


class _Map(ctypes.Structure):  # MapNotify and UnmapNotify have the same layout
    _fields_ = _Head._fields_ + [("event", Window), ("window", Window),
                                 ("override_redirect", ctypes.c_int)]


class _ClientMessage(ctypes.Structure):
    _fields_ = _Head._fields_ + [("window", Window), ("message_type", Atom),
                                 ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("head", _Head), ("map", _Map),
                ("message", _ClientMessage), ("pad", ctypes.c_long * 24)]


class Mapped:
    """One map or unmap of a child of the root, as the watcher saw it. `window` is the
    program's own window: the one in the frame, or the child itself."""

    def __init__(self, t, kind, window, override, pid, size):
        self.t, self.kind, self.window = t, kind, window
        self.override, self.pid, self.size = override, pid, size

    def __repr__(self):
        return f"{self.kind} 0x{self.window:x} pid={self.pid} {self.size} " \
            f"override={self.override} @{self.t:.4f}"


class Watcher:
    def __init__(self):
        self._listen = _x.XOpenDisplay(None)
        self._send = _x.XOpenDisplay(None)
        if not self._listen or not self._send:
            raise RuntimeError("cannot open the X display")
        self.root = _x.XDefaultRootWindow(self._listen)
        self._pid_atom = _x.XInternAtom(self._send, b"_NET_WM_PID", 0)
        self._protocols = _x.XInternAtom(self._send, b"WM_PROTOCOLS", 0)
        self._ping_atom = _x.XInternAtom(self._send, b"_NET_WM_PING", 0)
        self._cond = threading.Condition()
        self.events = []  # Mapped, in order of arrival
        self._pongs = {}  # ping token -> time of the answer
        self._token = 1000
        _x.XSelectInput(self._listen, self.root, SUBSTRUCTURE_NOTIFY | STRUCTURE_NOTIFY)
        _x.XSync(self._listen, 0)
        threading.Thread(target=self._loop, daemon=True).start()

    def _loop(self):
        ev = _Event()
        while True:
            _x.XNextEvent(self._listen, ctypes.byref(ev))
            t = time.monotonic()
            kind = ev.head.type
            if kind in (MAP_NOTIFY, UNMAP_NOTIFY) and ev.map.event == self.root:
                w, pid = self._program_window(ev.map.window, 3)
                m = Mapped(t, "map" if kind == MAP_NOTIFY else "unmap", w or ev.map.window,
                           bool(ev.map.override_redirect), pid, self._size(w or ev.map.window))
                with self._cond:
                    self.events.append(m)
                    self._cond.notify_all()
            elif kind == CLIENT_MESSAGE and ev.message.message_type == self._protocols \
                    and ev.message.data[0] == self._ping_atom:
                with self._cond:
                    self._pongs[ev.message.data[1]] = t
                    self._cond.notify_all()

    def _program_window(self, w, depth):
        """The window with a _NET_WM_PID at or below w (a frame holds the program's
        window a level or two down), and that pid; (None, None) when there is none."""
        pid = self._window_pid(w)
        if pid is not None or depth == 0:
            return (w, pid) if pid is not None else (None, None)
        r, parent = Window(), Window()
        children, n = ctypes.POINTER(Window)(), ctypes.c_uint()
        if not _x.XQueryTree(self._send, w, ctypes.byref(r), ctypes.byref(parent),
                             ctypes.byref(children), ctypes.byref(n)):
            return None, None
        kids = [children[i] for i in range(n.value)]
        if children:
            _x.XFree(children)
        for kid in kids:
            found = self._program_window(kid, depth - 1)
            if found[0]:
                return found
        return None, None

    def _window_pid(self, w):
        t, f = Atom(), ctypes.c_int()
        n, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        ok = _x.XGetWindowProperty(self._send, w, self._pid_atom, 0, 1, 0, XA_CARDINAL,
                                   ctypes.byref(t), ctypes.byref(f), ctypes.byref(n),
                                   ctypes.byref(after), ctypes.byref(data))
        pid = None
        if ok == 0 and data.value:
            if n.value == 1 and f.value == 32:
                pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[0]
            _x.XFree(data)
        return pid

    def _size(self, w):
        r = Window()
        x, y = ctypes.c_int(), ctypes.c_int()
        wd, ht, bw, depth = (ctypes.c_uint() for _ in range(4))
        if not _x.XGetGeometry(self._send, w, ctypes.byref(r), ctypes.byref(x), ctypes.byref(y),
                               ctypes.byref(wd), ctypes.byref(ht), ctypes.byref(bw),
                               ctypes.byref(depth)):
            return (0, 0)
        return (wd.value, ht.value)

    def mark(self):
        """A position in the event list: wait_for looks only at events after it."""
        with self._cond:
            return len(self.events)

    def wait_for(self, since, match, timeout=30.0):
        """The first event after `since` for which match(event) holds."""
        deadline = time.monotonic() + timeout
        i = since
        with self._cond:
            while True:
                while i < len(self.events):
                    if match(self.events[i]):
                        return self.events[i]
                    i += 1
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError("no such window event: " + repr(self.events[since:]))
                self._cond.wait(left)

    def ping(self, window, timeout=30.0):
        """Sends _NET_WM_PING to a top-level window; returns the time of the answer."""
        self._token += 1
        token = self._token
        ev = _Event()
        ev.message.type = CLIENT_MESSAGE
        ev.message.window = window
        ev.message.message_type = self._protocols
        ev.message.format = 32
        ev.message.data[0] = self._ping_atom
        ev.message.data[1] = token
        ev.message.data[2] = window
        _x.XSendEvent(self._send, window, 0, 0, ctypes.byref(ev))
        _x.XSync(self._send, 0)
        deadline = time.monotonic() + timeout
        with self._cond:
            while token not in self._pongs:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError(f"window 0x{window:x} does not answer a ping")
                self._cond.wait(left)
            return self._pongs[token]
