"""Pieces of an end-to-end run: a private X server, the reference service behind a recording
proxy on the client's built-in address, the installed program, and X11 input and inspection.

Standard library only. X11 input goes through xdotool; the one thing xdotool cannot do without a
window manager, asking a window to close as a title-bar close box would, goes through libX11 by
ctypes.
"""

import contextlib
import ctypes
import ctypes.util
import hashlib
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time

SCREEN_W, SCREEN_H = 1280, 1024
PRODUCT = "Sarn资讯终端"
LOGIN_TITLE = "欢迎使用Sarn产品"
NOTICE_TITLE = "Sarn资讯"


class Failure(AssertionError):
    pass


_libc = ctypes.CDLL(None, use_errno=True)


def _die_with_parent():
    """Runs in each started process: it gets SIGTERM when the test process ends, however that
    ends (a ctest time-out kills the test without letting it clean up)."""
    _libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def check(condition, what):
    if not condition:
        raise Failure(what)
    print(f"  ok: {what}", flush=True)


def wait_for(what, probe, timeout=30.0, interval=0.2):
    """Polls probe() until it returns something true; returns that, or fails after timeout."""
    started = time.monotonic()
    deadline = started + timeout
    while True:
        value = probe()
        if value:
            waited = time.monotonic() - started
            print(f"  ok: {what}" + (f" ({waited:.1f}s)" if waited >= 1 else ""), flush=True)
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f}s waiting for: {what}")
        time.sleep(interval)


def password_digest(password):
    """Characters 9 to 24 of the lower-case MD5 text of the password's GBK bytes."""
    return hashlib.md5(password.encode("gbk")).hexdigest()[8:24]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


# --- X server --------------------------------------------------------------------------------


class Xvfb:
    def __init__(self, workdir):
        read_end, write_end = os.pipe()
        self.log = open(os.path.join(workdir, "xvfb.log"), "wb")
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp", "-dpi", "96", "-noreset"],
            pass_fds=(write_end,), stdout=self.log, stderr=subprocess.STDOUT,
            preexec_fn=_die_with_parent)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.display = ":" + number

    def close(self):
        self.proc.terminate()
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.proc.wait(5)
        self.log.close()


class X:
    """xdotool and xwininfo against one display."""

    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display)
        self._x11 = None
        self.display = display

    def run(self, *args, check_rc=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20)
        if check_rc and result.returncode != 0:
            raise Failure(f"{' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def windows(self):
        """The viewable top-level windows: [(id, name, x, y, w, h)]."""
        out = self.run("xwininfo", "-root", "-children", check_rc=False)
        found = []
        for line in out.splitlines():
            m = re.match(r'\s+(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): .*?\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)',
                         line)
            if not m:
                continue
            wid = m.group(1)
            info = self.run("xwininfo", "-id", wid, check_rc=False)
            if "IsViewable" not in info:
                continue
            name = m.group(2) or ""
            w, h, x, y = (int(m.group(i)) for i in (3, 4, 5, 6))
            found.append((wid, name, x, y, w, h))
        return found

    def window_named(self, name):
        for window in self.windows():
            if window[1] == name:
                return window
        return None

    def windows_named(self, name):
        return [w for w in self.windows() if w[1] == name]

    def click(self, x, y, button=1):
        # No --sync: it waits for a pointer movement, which never comes when the pointer is
        # already there. The server handles the move before the click either way.
        self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def focus(self, wid):
        self.run("xdotool", "windowfocus", "--sync", wid, check_rc=False)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "50", *keys)

    def screenshot(self, path):
        self.run("import", "-display", self.display, "-window", "root", path, check_rc=False)

    def request_close(self, wid):
        """Sends WM_DELETE_WINDOW, as a window manager does when the close box is clicked."""
        if self._x11 is None:
            self._x11 = _X11(self.display)
        self._x11.delete_window(int(wid, 16))


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


class _X11:
    CLIENT_MESSAGE = 33

    def __init__(self, display):
        lib = ctypes.util.find_library("X11")
        if not lib:
            raise Failure("libX11 not found")
        self.lib = ctypes.CDLL(lib)
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_long, ctypes.c_void_p]
        self.lib.XFlush.argtypes = [ctypes.c_void_p]
        self.dpy = self.lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise Failure(f"cannot open display {display}")

    def delete_window(self, wid):
        protocols = self.lib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        delete = self.lib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        event = _XClientMessageEvent()
        event.type = self.CLIENT_MESSAGE
        event.window = wid
        event.message_type = protocols
        event.format = 32
        event.data[0] = delete
        event.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.dpy, wid, 0, 0, ctypes.byref(event))
        self.lib.XFlush(self.dpy)


# --- the service and the proxy in front of it ------------------------------------------------


class Service:
    """sarn-service on a free loopback port, with its own data directory."""

    def __init__(self, binary, workdir, udp_port):
        self.binary = binary
        self.data = os.path.join(workdir, "service-data")
        os.makedirs(self.data, exist_ok=True)
        self.workdir = workdir
        self.udp_port = udp_port
        self.proc = None
        self.port = None

    def start(self, extra=()):
        # The UDP port is fixed; another run that is just ending may still hold it.
        for _ in range(120):
            try:
                self._start(extra)
                return
            except Failure:
                with open(os.path.join(self.workdir, "service.log"), "rb") as f:
                    if b"Address already in use" not in f.read():
                        raise
                time.sleep(0.5)
        raise Failure("the service's ports stayed in use")

    def _start(self, extra):
        ready = os.path.join(self.workdir, "service.ready")
        with contextlib.suppress(FileNotFoundError):
            os.unlink(ready)
        self.port = self.port or free_port()
        self.log = open(os.path.join(self.workdir, "service.log"), "ab")
        self.proc = subprocess.Popen(
            [self.binary, "serve", "--listen", f"127.0.0.1:{self.port}", "--udp-port",
             str(self.udp_port), "--data", self.data, "--ready-file", ready, *extra],
            stdout=self.log, stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        deadline = time.monotonic() + 20
        while not os.path.exists(ready) and self.proc.poll() is None:
            if time.monotonic() > deadline:
                raise Failure("sarn-service did not get ready within 20 s")
            time.sleep(0.05)
        if self.proc.poll() is not None:
            raise Failure(f"sarn-service ended with {self.proc.returncode}; see service.log")
        print(f"  ok: the service is ready on port {self.port}", flush=True)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            asked = time.monotonic()
            try:
                self.proc.wait(10)
                if time.monotonic() - asked > 2:
                    print(f"  NOTE: sarn-service took {time.monotonic() - asked:.1f}s to stop", flush=True)
            except subprocess.TimeoutExpired:
                print("  NOTE: sarn-service did not stop within 10 s of SIGTERM; killed", flush=True)
                self.proc.kill()
                self.proc.wait(10)
        self.proc = None

    def admin(self, *args):
        result = subprocess.run([self.binary, *args, "--data", self.data], capture_output=True,
                                text=True, timeout=30)
        if result.returncode != 0:
            raise Failure(f"sarn-service {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def events(self):
        """[(kind, customer id, reported ip)]"""
        rows = []
        for line in self.admin("events").splitlines():
            fields = line.split("\t")
            if len(fields) >= 4:
                rows.append((fields[1], fields[2], fields[3]))
        return rows

    def accounts(self):
        """{name: id}"""
        out = self.admin("users")
        accounts = {}
        section = None
        for line in out.splitlines():
            if line.endswith(":") and not line.startswith(" "):
                section = line[:-1]
            elif section == "accounts" and line.strip():
                fields = line.strip().split("\t")
                accounts[fields[1]] = fields[0]
        return accounts

    def online(self):
        """{name: "address:port"}"""
        out = self.admin("users")
        online = {}
        section = None
        for line in out.splitlines():
            if line.endswith(":") and not line.startswith(" "):
                section = line[:-1]
            elif section == "online" and line.strip():
                fields = line.strip().split("\t")
                online[fields[0]] = fields[1]
        return online


class Proxy:
    """Listens on the client's built-in service address and passes every connection on to the
    service, recording each request line and reply status. Modes: "pass"; "down" (the port is
    closed, as when the service is not running); "stall" (the reply stops after its first
    stall_bytes bytes and the connection is held open)."""

    def __init__(self, listen_port, target_port):
        self.target_port = target_port
        self.listen_port = listen_port
        self.requests = []  # [request line, reply status line, monotonic time of the request]
        self.lock = threading.Lock()
        self.mode = "pass"
        self.stall_bytes = 200
        self.stalled = threading.Event()
        self.release = threading.Event()
        self.held = 0  # replies held in a stall right now
        self.open_sockets = set()
        self.keep_raw = False  # when set, every request's head and body are kept in raw
        self.raw = []
        self.server = None
        self.open()

    def open(self):
        self.server = socket.socket()
        self.server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        for attempt in range(30):
            try:
                self.server.bind(("127.0.0.1", self.listen_port))
                break
            except OSError:
                if attempt == 29:
                    raise Failure(f"port {self.listen_port} stays in use")
                time.sleep(0.5)
        self.server.listen(64)
        self.mode = "pass"
        threading.Thread(target=self._accept, args=(self.server,), daemon=True).start()

    def go_down(self):
        """Closes the port and cuts every open connection, as a service that stops does."""
        self.mode = "down"
        self._close_listener()
        with self.lock:
            sockets = list(self.open_sockets)
        for s in sockets:
            with contextlib.suppress(OSError):
                s.shutdown(socket.SHUT_RDWR)
            with contextlib.suppress(OSError):
                s.close()

    def _accept(self, server):
        while True:
            try:
                conn, _ = server.accept()
            except OSError:
                return
            threading.Thread(target=self._serve, args=(conn,), daemon=True).start()

    def _serve(self, client):
        try:
            upstream = socket.create_connection(("127.0.0.1", self.target_port), timeout=5)
        except OSError:
            client.close()
            return
        upstream.settimeout(None)
        with self.lock:
            self.open_sockets.update((client, upstream))
        record = [None, None, None]  # request line, reply status line, when the request came
        client_gone = threading.Event()
        with self.lock:
            self.requests.append(record)

        def upward():
            # Every request on the connection is recorded (clients keep connections alive):
            # heads are parsed and bodies skipped by their Content-Length.
            buffer = b""
            body_left = 0
            try:
                while True:
                    data = client.recv(65536)
                    if not data:
                        break
                    upstream.sendall(data)
                    buffer += data
                    while True:
                        if body_left:
                            taken = min(body_left, len(buffer))
                            if self.keep_raw:
                                self.raw[-1][1].extend(buffer[:taken])
                            buffer = buffer[taken:]
                            body_left -= taken
                            if body_left:
                                break
                        end = buffer.find(b"\r\n\r\n")
                        if end < 0:
                            break
                        head, buffer = buffer[:end], buffer[end + 4:]
                        line = head.split(b"\r\n", 1)[0].decode("latin-1")
                        action = re.search(rb"SOAPAction:\s*\"?([^\"\r\n]*)", head, re.I)
                        if action:
                            line += " " + action.group(1).decode("latin-1")
                        length = re.search(rb"Content-Length:\s*(\d+)", head, re.I)
                        body_left = int(length.group(1)) if length else 0
                        if self.keep_raw:
                            self.raw.append((head, bytearray()))
                        with self.lock:
                            if record[0] is None:
                                record[0] = line
                                record[2] = time.monotonic()
                            else:
                                self.requests.append([line, None, time.monotonic()])
            except OSError:
                pass
            client_gone.set()
            with contextlib.suppress(OSError):
                upstream.shutdown(socket.SHUT_WR)

        threading.Thread(target=upward, daemon=True).start()
        sent = 0
        try:
            while True:
                data = upstream.recv(65536)
                if not data:
                    break
                if record[1] is None:
                    record[1] = data.split(b"\r\n", 1)[0].decode("latin-1")
                if self.mode == "stall":
                    room = max(0, self.stall_bytes - sent)
                    client.sendall(data[:room])
                    sent += min(room, len(data))
                    if sent >= self.stall_bytes:
                        with self.lock:
                            self.held += 1
                        self.stalled.set()
                        # Held until the test releases it or the client gives up.
                        while not self.release.is_set() and not client_gone.wait(0.1):
                            pass
                        with self.lock:
                            self.held -= 1
                        break
                    continue
                client.sendall(data)
        except OSError:
            pass
        finally:
            with self.lock:
                self.open_sockets.difference_update((client, upstream))
            client.close()
            upstream.close()

    def seen(self, pattern):
        with self.lock:
            return [r for r in self.requests if r[0] and re.search(pattern, r[0])]

    def _close_listener(self):
        # shutdown wakes the thread blocked in accept(); close alone would leave the port bound.
        with contextlib.suppress(OSError):
            self.server.shutdown(socket.SHUT_RDWR)
        with contextlib.suppress(OSError):
            self.server.close()

    def close(self):
        self.release.set()
        self._close_listener()


# --- the program ------------------------------------------------------------------------------


class Clock:
    """A shared offset for libfaketime: the program runs at real speed, and a test moves its
    clocks (wall and monotonic, so Qt's timers too) forward in jumps where the program would
    otherwise wait minutes."""

    LIB = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
    CACHE_SECONDS = 1

    def __init__(self, workdir):
        self.path = os.path.join(workdir, "faketime.rc")
        self.offset = 0
        self._write()

    def _write(self):
        with open(self.path + ".part", "w") as f:
            f.write(f"+{self.offset}\n")
        os.replace(self.path + ".part", self.path)

    def jump(self, seconds):
        self.offset += seconds
        self._write()
        time.sleep(self.CACHE_SECONDS + 0.2)  # until every process has read the new offset
        print(f"  .. clocks moved forward {seconds}s (offset now +{self.offset}s)", flush=True)

    def env(self):
        return {"LD_PRELOAD": self.LIB, "FAKETIME_TIMESTAMP_FILE": self.path,
                "FAKETIME_CACHE_DURATION": str(self.CACHE_SECONDS), "FAKETIME_DONT_FAKE_MONOTONIC": "0",
                "FAKETIME_DONT_RESET": "1"}

    @classmethod
    def available(cls):
        return os.path.exists(cls.LIB)


class Terminal:
    def __init__(self, path, x, workdir, clock=None):
        self.path = path
        self.x = x
        self.workdir = workdir
        self.clock = clock
        self.proc = None
        self.runs = 0
        # A desktop session of its own: the single-copy lock lives in the session's runtime
        # directory, so a program running elsewhere on the machine never refuses this one.
        self.runtime_dir = os.path.join(workdir, "runtime")
        os.makedirs(self.runtime_dir, mode=0o700, exist_ok=True)

    def start(self):
        self.runs += 1
        env = dict(self.x.env)
        env["XDG_RUNTIME_DIR"] = self.runtime_dir
        env.setdefault("QTWEBENGINE_DISABLE_SANDBOX", "1")
        env.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu")
        env["QT_QPA_PLATFORM"] = "xcb"
        if self.clock:
            env.update(self.clock.env())
        log = open(os.path.join(self.workdir, f"terminal-{self.runs}.log"), "wb")
        proc = subprocess.Popen([self.path], env=env, stdout=log, stderr=subprocess.STDOUT,
                                cwd=self.workdir, preexec_fn=_die_with_parent)
        if self.proc is None or self.proc.poll() is not None:
            self.proc = proc
        return proc

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout}s")

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(10)


def install(build_dir, prefix):
    """Installs the program as a user would get it: the runtime component into its own prefix."""
    result = subprocess.run(["cmake", "--install", build_dir, "--prefix", prefix, "--component",
                             "runtime"], capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise Failure("cmake --install failed: " + result.stderr)
    return os.path.join(prefix, "sarn-terminal")


def read_ini(path):
    """{section: {key: value}}, names folded to lower case (the file's own rule)."""
    data = {}
    section = None
    with open(path, "rb") as f:
        for raw in f.read().decode("gbk", "replace").splitlines():
            line = raw.strip()
            if line.startswith("["):
                section = line[1:].split("]", 1)[0].strip().lower()
                data.setdefault(section, {})
            elif "=" in line and section is not None:
                key, value = line.split("=", 1)
                data[section].setdefault(key.strip().lower(), value.strip())
    return data
