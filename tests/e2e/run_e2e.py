#!/usr/bin/env python3
"""End-to-end runs of the installed program against the reference service, driven with X11
input as a user would drive it.

    run_e2e.py SCENARIO --build DIR --service BIN --host HOST:PORT

The program's service address is fixed when it is built (HOST:PORT). The run starts its own
Xvfb, sarn-service on a free port, and a recording proxy on HOST:PORT that passes everything on
to the service (the proxy also plays the faults: a closed port, a reply that stalls). The UDP
channel goes straight to the service on the fixed port 16888.

Shortened waits: the program itself is the unchanged build. Where it would wait minutes (the
5-minute update check, the 59-minute idle close, the 30-second hello) the run moves the
program's clocks forward with libfaketime (wall and monotonic clocks, hence Qt's timers) instead
of waiting; each such jump is printed as ".. clocks moved forward".

Exit code 77 means the run could not take place here (tools missing, or a service address that
is not on this machine).
"""

import argparse
import filecmp
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (LOGIN_TITLE, NOTICE_TITLE, PRODUCT, SCREEN_H, SCREEN_W, Clock, Failure,  # noqa: E402
                     Proxy, Service, Terminal, X, Xvfb, check, install, password_digest, read_ini,
                     wait_for)

SKIP = 77
UDP_PORT = 16888

# Offsets inside the login window (its layout is fixed in pixels).
USER_FIELD = (156, 192)
PASSWORD_FIELD = (156, 222)
REMEMBER_BOX = (103, 289)
AUTO_BOX = (103, 309)
LOGIN_BUTTON = (104, 355)
REGISTER_BUTTON = (184, 355)
REG_FIELDS = [(156, 192), (156, 222), (156, 252), (156, 282), (156, 312)]
PROVINCE = (121, 341)
CITY = (186, 341)
REG_SUBMIT = (128, 387)


class Run:
    def __init__(self, args, workdir):
        self.args = args
        self.workdir = workdir
        self.xvfb = self.service = self.proxy = self.terminal = None
        try:
            self.xvfb = Xvfb(workdir)
            self.x = X(self.xvfb.display)
            self.service = Service(args.service, workdir, UDP_PORT)
            self.service.start()
            self.proxy = Proxy(args.port, self.service.port)
            self.prefix = os.path.join(workdir, "prefix")
            self.exe = install(args.build, self.prefix)
            self.ini = os.path.join(self.prefix, "info.ini")
            self.clock = Clock(workdir)
            self.terminal = Terminal(self.exe, self.x, workdir, self.clock)
        except BaseException:
            self.close()
            raise

    def close(self):
        if self.terminal:
            self.terminal.kill()
        if self.proxy:
            self.proxy.close()
        if self.service:
            self.service.stop()
        if self.xvfb:
            self.xvfb.close()

    # -- windows

    def login_window(self, timeout=40):
        return wait_for("the login window is shown", lambda: self.x.window_named(LOGIN_TITLE),
                        timeout)

    def at(self, window, offset):
        return window[2] + offset[0], window[3] + offset[1]

    def click_in(self, window, offset):
        self.x.click(*self.at(window, offset))

    def type_into(self, window, offset, text):
        self.click_in(window, offset)
        self.x.focus(window[0])
        self.x.key("ctrl+a", "BackSpace")
        self.x.type(text)

    def new_window(self, known, what, timeout=20):
        """A viewable window that is not one of known."""
        ids = {w[0] for w in known}
        return wait_for(what, lambda: next((w for w in self.x.windows() if w[0] not in ids), None),
                        timeout)

    def dismiss_box(self, box):
        self.x.focus(box[0])
        self.x.key("Return")
        wait_for("the message box is gone", lambda: self.x.window_named(box[1]) is None
                 or all(w[0] != box[0] for w in self.x.windows()), 10)

    def main_window(self, name, timeout=60):
        title = f"{PRODUCT} 专业版 - {name}"
        return wait_for(f'the main window "{title}" is shown',
                        lambda: self.x.window_named(title), timeout)

    def register(self, login, name, password, mobile, email):
        self.click_in(login, REGISTER_BUTTON)
        time.sleep(0.3)
        for offset, text in zip(REG_FIELDS, [name, password, password, mobile, email]):
            self.type_into(login, offset, text)
        for combo in (PROVINCE, CITY):
            self.click_in(login, combo)
            time.sleep(0.4)
            self.x.key("Down", "Return")
            time.sleep(0.3)
        self.click_in(login, REG_SUBMIT)
        box = self.new_window([login], "a message box answers the registration")
        accounts = self.service.accounts()
        check(name in accounts, f"the service holds the new account {name} (id {accounts.get(name)})")
        self.dismiss_box(box)
        return accounts[name]

    def log_in(self, login, name, password, remember=True, auto=True):
        self.type_into(login, USER_FIELD, name)
        self.type_into(login, PASSWORD_FIELD, password)
        if remember:
            self.click_in(login, REMEMBER_BOX)
        if auto:
            self.click_in(login, AUTO_BOX)
        self.click_in(login, LOGIN_BUTTON)

    def log_in_new_account(self, name, password):
        """Makes the account with the admin command, starts the program, logs in by hand without
        remembered choices and closes the notice (the service always has one). Returns the
        main window."""
        self.service.admin("adduser", name, password)
        self.terminal.start()
        login = self.login_window()
        self.log_in(login, name, password, remember=False, auto=False)
        main = self.main_window(name)
        self.close_notice()
        return main

    def close_notice(self, timeout=20):
        notice = wait_for("the notice dialog opens", lambda: self.x.window_named(NOTICE_TITLE),
                          timeout)
        # "关闭" sits 22 px from the right and 8 px from the top of the 41 px bottom strip of a
        # 582 x 355 form, scaled with the form.
        scale = notice[4] / 582
        button = (notice[2] + notice[4] - round(59 * scale), notice[3] + notice[5] - round(21 * scale))
        # A click that lands while the dialog is still being set up is lost; a user clicks again.
        for _ in range(5):
            self.x.click(*button)
            deadline = time.monotonic() + 2
            while time.monotonic() < deadline and self.x.window_named(NOTICE_TITLE):
                time.sleep(0.1)
            if not self.x.window_named(NOTICE_TITLE):
                break
        check(self.x.window_named(NOTICE_TITLE) is None, "the notice dialog is closed by 关闭")
        return notice

    def popups(self):
        """The notification popups: 290 x 160 windows at the right edge of the screen."""
        return [w for w in self.x.windows() if w[4] == 290 and w[5] == 160 and w[2] == SCREEN_W - 292]

    def request_close(self, window):
        self.x.request_close(window[0])


def typical_run(run):
    """No info.ini; a second copy is refused; register, log in with both boxes checked; main
    window, portal, notice, hello, push, update; close; the next start logs in by itself."""
    name, password = "e2euser", "Pw-e2e-1"
    run.service.admin("notice", "今日要闻：端到端测试\n第二行")

    check(not os.path.exists(run.ini), "the install starts without info.ini")
    run.terminal.start()
    login = run.login_window()
    check(login[2:] == (SCREEN_W - 248, 40, 248, 500),
          f"login window flush right, 40 px from the top, 248 x 500 (got {login[2:]})")

    second = run.terminal.start()
    box = run.new_window([login], "the second copy shows its message box")
    check(second.poll() is None, "the second copy waits on its box")
    check(len(run.x.windows_named(LOGIN_TITLE)) == 1, "the second copy shows no login window")
    run.dismiss_box(box)
    wait_for("the second copy ends", lambda: second.poll() is not None, 10)
    check(second.returncode == 0, "the second copy ends with code 0")
    check(run.terminal.alive() and run.x.window_named(LOGIN_TITLE), "the first copy runs on")

    customer = run.register(login, name, password, "13800138000", "e2e@example.com")
    check(not os.path.exists(run.ini), "registering writes no settings")

    run.log_in(login, name, password)
    main = run.main_window(name)
    check(main[2] == 0 and main[3] == 0 and main[4] == SCREEN_W,
          f"the main window is at the top left with the full screen width (got {main[2:]})")
    check(run.x.window_named(LOGIN_TITLE) is None, "the login window is gone")
    check(os.path.exists(run.ini), "info.ini is written after the login")
    ini = read_ini(run.ini)
    user = ini.get("userinfo", {})
    check(user.get("savepassword") == "1" and user.get("autologin") == "1",
          "both choices are stored")
    check(user.get("username") not in ("", None, name) and user.get("password") not in ("", None, password),
          "the user name and password are stored only in their encrypted form")
    wait_for("the service recorded the login report",
             lambda: ("login", customer) in [e[:2] for e in run.service.events()], 10)
    digest = password_digest(password)
    portal = wait_for("the browser asked for the portal with the user name and digest",
                      lambda: run.proxy.seen(rf"GET /portal/index\.html\?UserName={name}&Pwd={digest} "),
                      30)
    wait_for("the portal greeted the user (200)", lambda: portal[0][1] and " 200 " in portal[0][1] + " ", 10)
    wait_for("the first hello reached the service", lambda: name in run.service.online(), 10)

    notice = run.close_notice()
    off = (notice[2] + notice[4] / 2 - main[4] / 2, notice[3] + notice[5] / 2 - main[5] / 2)
    if max(abs(off[0]), abs(off[1])) > 2:  # not among the run's checks; reported for now
        print(f"  NOTE: the notice dialog's centre is {off} px off the main window's centre")
    hint = read_ini(run.ini).get("hint", {})
    check(hint.get("hint") == "1" and hint.get("today"), "closing the notice stores Hint=1 and today's date")

    run.service.admin("push", name, "端到端", "推送正文", "12:00")
    popup = wait_for("a popup rises at the bottom right", lambda: [
        p for p in run.popups() if p[3] <= SCREEN_H - 150], 10)[0]
    check(popup[3] + popup[5] <= SCREEN_H, "the popup lies inside the screen")
    wait_for("the popup leaves by itself", lambda: not run.popups(), 20)

    image = os.path.join(run.workdir, "published-sarn-terminal")
    shutil.copyfile(run.exe, image)
    with open(image, "ab") as f:  # a different image of the same program
        f.write(b"\0" * 4096)
    run.service.admin("publish", "9.9.9", image)
    old = run.exe + ".old"
    run.clock.jump(320)
    run.x.click(SCREEN_W // 2, SCREEN_H // 2)  # wakes the event loop; a user would move anyway
    wait_for("the update check fetched the new version", lambda: os.path.exists(old), 60)
    wait_for("the installed executable is the published image",
             lambda: os.path.exists(run.exe) and filecmp.cmp(run.exe, image, shallow=False), 60)
    check(os.access(run.exe, os.X_OK), "the new executable can be run")
    wait_for("info.ini holds the new version",
             lambda: read_ini(run.ini).get("version", {}).get("versionno") == "9.9.9", 10)

    run.request_close(main)
    started = time.monotonic()
    check(run.terminal.wait_exit(20) == 0, "closing the main window ends the program with code 0")
    print(f"  .. ended {time.monotonic() - started:.1f}s after the close request")
    wait_for("the goodbye took the user off the service's online list",
             lambda: name not in run.service.online(), 10)
    wait_for("the service recorded the logout report",
             lambda: ("logout", customer) in [e[:2] for e in run.service.events()], 10)

    run.terminal.start()
    run.login_window()
    check(not os.path.exists(old), "the next start deleted the .old copy")
    main = run.main_window(name, timeout=30)
    check(True, "the remembered choices logged in by themselves")
    time.sleep(2)  # the notice would open 500 ms after the main window
    check(run.x.window_named(NOTICE_TITLE) is None, "no notice on the same day")
    run.request_close(main)
    check(run.terminal.wait_exit(20) == 0, "the second run ends on close")


def logged_in(run, name="faultuser", password="Pw-fault-1"):
    """A new account logged in (see Run.log_in_new_account), its first hello seen."""
    main = run.log_in_new_account(name, password)
    wait_for("the first hello reached the service", lambda: name in run.service.online(), 10)
    return main


def no_new_window(run, known, seconds, what):
    """Watches for seconds that no window other than known appears (an error box would)."""
    ids = {w[0] for w in known}
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        extra = [w for w in run.x.windows() if w[0] not in ids]
        if extra:
            raise Failure(f"{what}: a window appeared: {extra}")
        time.sleep(0.3)
    check(True, what)


def service_stopped(run):
    """The service stops while the user is logged in: hellos and the update check fail without
    a word, and closing still ends the program promptly."""
    main = logged_in(run)
    run.proxy.go_down()
    run.service.stop()
    run.clock.jump(30)  # the next hello
    run.x.click(SCREEN_W // 2, SCREEN_H // 2)
    no_new_window(run, [main], 3, "a hello to a stopped service fails silently")
    run.clock.jump(320)  # the update check (5 min, and 5 % for a coarse Qt timer)
    run.x.click(SCREEN_W // 2, SCREEN_H // 2)
    no_new_window(run, [main], 5, "the update check against a stopped service fails silently")
    check(run.terminal.alive(), "the program runs on")
    run.request_close(main)
    started = time.monotonic()
    check(run.terminal.wait_exit(15) == 0, "closing ends the program with code 0")
    elapsed = time.monotonic() - started
    check(elapsed < 10, f"closing ends it promptly ({elapsed:.1f}s)")


def service_stalls(run):
    """The service stops answering in the middle of a reply: the call ends by the transport's
    stall time-out (60 s, reached here by moving the clocks) and the window works afterwards."""
    main = logged_in(run)
    run.proxy.mode = "stall"
    run.proxy.stall_bytes = 120
    run.clock.jump(320)  # the update check (5 min, and 5 % for a coarse Qt timer) asks for the version and gets a reply that stops
    run.x.click(SCREEN_W // 2, SCREEN_H // 2)
    wait_for("the update check's reply stalled", run.proxy.stalled.is_set, 20)
    time.sleep(2)
    check(run.terminal.alive(), "the program waits on the stalled call")
    run.proxy.mode = "pass"
    run.clock.jump(65)  # past the 60 s without progress
    wait_for("the stalled call ended by its time-out (the program gave up the connection)",
             lambda: run.proxy.held == 0, 100)
    run.service.admin("push", "faultuser", "恢复", "窗口仍可用", "12:00")
    wait_for("after the stall, a pushed notification pops up", run.popups, 30)
    no_new_window(run, [main] + run.popups(), 1, "no error box after the stalled call")
    run.request_close(main)
    check(run.terminal.wait_exit(15) == 0, "closing ends the program with code 0")


def killed_during_update(run):
    """The program is killed (SIGKILL) while an update image comes in, and again as it begins to
    install it; each time the executable is whole and the next start works."""
    main = logged_in(run)
    image = os.path.join(run.workdir, "big-image")
    shutil.copyfile(run.exe, image)
    with open(image, "ab") as f:
        f.write(os.urandom(1 << 20) * 16)
    original = os.path.join(run.workdir, "original-exe")
    shutil.copyfile(run.exe, original)
    run.service.admin("publish", "8.0.0", image)
    run.proxy.mode = "stall"
    run.proxy.stall_bytes = 8 << 20  # half way through the image
    run.clock.jump(320)
    run.x.click(SCREEN_W // 2, SCREEN_H // 2)
    wait_for("the download is half way", run.proxy.stalled.is_set, 60)
    run.terminal.kill()
    check(True, "the program was killed during the download")
    run.proxy.mode = "pass"
    run.proxy.release.set()
    check(filecmp.cmp(run.exe, original, shallow=False), "the executable is untouched")
    run.terminal.start()
    login = run.login_window()
    check(os.path.exists(run.exe), "the next start works")

    # Again, now killed at the first new name beside the executable: the install has begun.
    run.proxy.stalled.clear()
    run.log_in(login, "faultuser", "Pw-fault-1", remember=False, auto=False)
    main = run.main_window("faultuser")  # no notice: it was closed today already
    time.sleep(1)  # the session timers start 500 ms after the window shows
    known = set(os.listdir(run.prefix))
    run.clock.jump(320)
    run.x.click(SCREEN_W // 2, SCREEN_H // 2)
    deadline = time.monotonic() + 60
    while not (set(os.listdir(run.prefix)) - known) and time.monotonic() < deadline:
        time.sleep(0.001)
    run.terminal.kill()
    check(bool(set(os.listdir(run.prefix)) - known),
          f"the program was killed as the install began ({sorted(set(os.listdir(run.prefix)) - known)})")
    check(filecmp.cmp(run.exe, original, shallow=False) or filecmp.cmp(run.exe, image, shallow=False),
          "the executable is the complete old or the complete new image")
    run.terminal.start()
    login = run.login_window()
    check(True, "the next start works")
    run.request_close(login)
    check(run.terminal.wait_exit(15) == 0, "closing the login window ends the program")
    del main


def readonly_ini(run):
    """info.ini is read-only: the login succeeds at the service, the write fails, its error is
    shown, the login window stays, and the file is unchanged."""
    name, password = "rouser", "Pw-ro-1"
    run.service.admin("adduser", name, password)
    os.makedirs(run.prefix, exist_ok=True)
    content = b"[Hint]\r\nHint=0\r\n"
    with open(run.ini, "wb") as f:
        f.write(content)
    os.chmod(run.ini, 0o444)
    run.terminal.start()
    login = run.login_window()
    run.log_in(login, name, password, remember=True, auto=False)
    box = run.new_window([login], "an error box reports the failed write")
    check(run.x.window_named(f"{PRODUCT} 专业版 - {name}") is None, "no main window opens")
    customer = run.service.accounts()[name]
    check(("login", customer) in [e[:2] for e in run.service.events()],
          "the login was reported before the write failed")
    run.dismiss_box(box)
    check(run.x.window_named(LOGIN_TITLE) is not None, "the login window stays open")
    with open(run.ini, "rb") as f:
        check(f.read() == content, "info.ini is unchanged")
    run.request_close(login)
    check(run.terminal.wait_exit(15) == 0, "closing the login window ends the program")


def idle_close(run):
    """59 minutes without input close the main window, with the goodbye and the logout report."""
    main = logged_in(run, "idleuser", "Pw-idle-1")
    customer = run.service.accounts()["idleuser"]
    run.clock.jump(59 * 60 + 5)
    # Nothing touches the window: the program's own timers have to notice. The hello timer
    # (30 s) wakes its event loop at the latest.
    check(run.terminal.wait_exit(45) == 0, "the idle main window closed itself and the program ended")
    wait_for("the goodbye took the user off the online list",
             lambda: "idleuser" not in run.service.online(), 10)
    wait_for("the logout was reported", lambda: ("logout", customer) in [e[:2] for e in run.service.events()], 10)
    del main


def datagram_flood(run, count=20):
    """A burst of datagrams straight at the program's UDP socket: each one gets its popup (the
    popups' windows are counted as X creates them), the program survives, and its memory is
    back near where it was once they are gone. Each popup slides for at least 0.3 s on the main
    thread, so 1000 datagrams would take over five minutes; this sends 20."""
    main = logged_in(run, "flooduser", "Pw-flood-1")
    address, port = run.service.online()["flooduser"].rsplit(":", 1)
    pid = run.terminal.proc.pid
    time.sleep(2)
    rss_before = read_rss_kib(pid)
    watcher = subprocess.Popen(["xev", "-root", "-event", "substructure"], env=run.x.env,
                               stdout=subprocess.PIPE, text=True, errors="replace")
    time.sleep(0.5)
    created = []

    def count_popups():
        for line in watcher.stdout:
            if "CreateNotify" in line:
                created.append(line)
    threading.Thread(target=count_popups, daemon=True).start()
    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    for i in range(count):
        text = f"第{i}条\r\n洪水测试正文 {i}\r\n12:{i % 60:02d}".encode("gbk")
        sender.sendto(text, (address, int(port)))
    sender.close()
    check(True, f"{count} datagrams sent")
    try:
        wait_for("every popup has come and gone",
                 lambda: not run.terminal.alive() or (not run.popups() and len(created) >= count),
                 60 + count * 2)
    finally:
        watcher.terminate()
    check(run.terminal.alive(), "the program survived the flood")
    check(len(created) >= count, f"a popup window for every datagram ({len(created)} created)")
    time.sleep(2)
    rss_after = read_rss_kib(pid)
    grown = (rss_after - rss_before) / 1024
    check(grown < 40, f"memory is flat afterwards ({rss_before // 1024} -> {rss_after // 1024} MiB)")
    run.request_close(main)
    check(run.terminal.wait_exit(15) == 0, "closing still ends the program with code 0")


def read_rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


SCENARIOS = {"typical_run": typical_run, "service_stopped": service_stopped,
             "service_stalls": service_stalls, "killed_during_update": killed_during_update,
             "readonly_ini": readonly_ini, "idle_close": idle_close,
             "datagram_flood": datagram_flood}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--build", required=True, help="build directory to install from")
    parser.add_argument("--service", required=True, help="the sarn-service executable")
    parser.add_argument("--host", required=True, help="the service host built into the program")
    parser.add_argument("--keep", action="store_true", help="keep the work directory")
    args = parser.parse_args()

    host, _, port = args.host.rpartition(":")
    if host not in ("127.0.0.1", "localhost") or not port.isdigit():
        print(f"SKIP: the program is built for {args.host}, not for a port on this machine")
        return SKIP
    args.port = int(port)
    for tool in ("Xvfb", "xdotool", "xwininfo"):
        if not shutil.which(tool):
            print(f"SKIP: {tool} is not installed")
            return SKIP
    if not Clock.available():
        print("SKIP: libfaketime is not installed")
        return SKIP

    workdir = tempfile.mkdtemp(prefix=f"sarn-e2e-{args.scenario}-")
    print(f"work directory {workdir}", flush=True)
    run = None
    try:
        run = Run(args, workdir)
        SCENARIOS[args.scenario](run)
        print("PASS")
        return 0
    except Failure as failure:
        print(f"FAIL: {failure}")
        if run:
            run.x.screenshot(os.path.join(workdir, "failure.png"))
            print("windows:", run.x.windows())
            print("requests:", run.proxy.requests[-20:])
        args.keep = True
        return 1
    finally:
        if run:
            run.close()
        if args.keep:
            print(f"kept {workdir}")
        else:
            shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
