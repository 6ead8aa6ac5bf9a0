#!/usr/bin/env python3
"""Benchmarks of the installed program against the reference service, each with its baseline
measured in the same run, printed as a ratio.

    e2e_bench.py {startup,login,update,idle,all} --build DIR [--repeat N] [--idle-seconds S]

  startup  process start to the login window mapped, against a minimal Qt Widgets program
           that maps one window;
  login    click on the login button to the main window mapped, against the sum of the same
           HTTP exchanges (recorded on the way) replayed one by one with curl;
  update   a 64 MiB update image: check to installed file, and the program's peak memory
           during it, against `curl | sed | base64 -d > file` fetching the same reply;
  idle     CPU time and memory (PSS, the program and its browser processes) of the main window
           left alone, against a bare QWebEngineView showing the same portal page.

The program runs under libfaketime as in the end-to-end test; only the update benchmark moves
its clocks (to reach the 5-minute check at once). The build's service host must be a loopback
address (see tests/e2e/run_e2e.py).
"""

import argparse
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
from harness import (LOGIN_TITLE, NOTICE_TITLE, PRODUCT, SCREEN_H, SCREEN_W, Clock,  # noqa: E402
                     Proxy, Service, Terminal, X, Xvfb, install, read_ini, wait_for)
import run_e2e  # noqa: E402

MINIMAL_WIDGETS = r"""
#include <QApplication>
#include <QWidget>
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("minimal"));
    w.resize(248, 500);
    w.show();
    return app.exec();
}
"""

BARE_WEBVIEW = r"""
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("bare"));
    view.resize(1280, 1024);
    view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    view.show();
    return app.exec();
}
"""


def compile_qt(source, modules, out):
    src = out + ".cpp"
    with open(src, "w") as f:
        f.write(source)
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", *modules], capture_output=True,
                           text=True, check=True).stdout.split()
    subprocess.run(["g++", "-O2", "-fPIC", "-std=c++17", src, "-o", out, *flags], check=True)
    return out


def quiet_time():
    return time.perf_counter()


class Bench(run_e2e.Run):
    pass


def wait_mapped(x, name, timeout=60):
    """Polls until a viewable top-level window has this name (xwininfo reads the UTF-8 name)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        out = subprocess.run(["xwininfo", "-root", "-children"], env=x.env, capture_output=True,
                             text=True).stdout
        for wid in re.findall(rf'^\s+(0x[0-9a-f]+) "{re.escape(name)}"', out, re.M):
            info = subprocess.run(["xwininfo", "-id", wid], env=x.env, capture_output=True,
                                  text=True).stdout
            if "IsViewable" in info:
                return wid
        time.sleep(0.005)
    raise RuntimeError(f"{name} never mapped")


def tree_pids(root):
    """The process and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                children.setdefault(int(fields[1]), []).append(int(entry))
            except OSError:
                pass
    pids, todo = [], [root]
    while todo:
        pid = todo.pop()
        pids.append(pid)
        todo.extend(children.get(pid, []))
    return pids


def cpu_seconds(pids):
    ticks = os.sysconf("SC_CLK_TCK")
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime, stime
        except OSError:
            pass
    return total / ticks


def pss_mib(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                m = re.search(r"^Pss:\s+(\d+) kB", f.read(), re.M)
                total += int(m.group(1)) if m else 0
        except OSError:
            pass
    return total / 1024


def status_kib(pid, field):
    with open(f"/proc/{pid}/status") as f:
        return int(re.search(rf"^{field}:\s+(\d+) kB", f.read(), re.M).group(1))


def ratio_line(what, value, base, unit):
    print(f"{what}: {value:.3f} {unit} vs baseline {base:.3f} {unit} -> ratio {value / base:.2f}x",
          flush=True)


def bench_startup(args, work):
    xs = Xvfb(work)
    x = X(xs.display)
    try:
        exe = install(args.build, os.path.join(work, "prefix"))
        minimal = compile_qt(MINIMAL_WIDGETS, ["Qt6Widgets"], os.path.join(work, "minimal"))
        env = dict(x.env, QT_QPA_PLATFORM="xcb")
        ours, base = [], []
        for _ in range(args.repeat):
            for path, title, into in ((exe, LOGIN_TITLE, ours), (minimal, "minimal", base)):
                start = quiet_time()
                proc = subprocess.Popen([path], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
                wait_mapped(x, title)
                into.append(quiet_time() - start)
                proc.kill()
                proc.wait()
        ratio_line("startup to window mapped (median of %d)" % args.repeat,
                   statistics.median(ours), statistics.median(base), "s")
    finally:
        xs.close()


def replay_with_curl(raw, port, work):
    """Sends each recorded request again with its own curl process; returns the summed
    time_total of the exchanges."""
    total = 0.0
    for i, (head, body) in enumerate(raw):
        lines = head.decode("latin-1").split("\r\n")
        method, path, _ = lines[0].split(" ", 2)
        cmd = ["curl", "-s", "-o", "/dev/null", "-w", "%{time_total}", "-X", method]
        for line in lines[1:]:
            name, _, value = line.partition(":")
            if name.lower() in ("content-type", "soapaction", "user-agent"):
                cmd += ["-H", f"{name}:{value}"]
        if body:
            body_file = os.path.join(work, f"body{i}")
            with open(body_file, "wb") as f:
                f.write(body)
            cmd += ["--data-binary", "@" + body_file]
        cmd.append(f"http://127.0.0.1:{port}{path}")
        cmd[1:1] = ["-f"]  # a fault (HTTP 500) would not be a fair exchange
        total += float(subprocess.run(cmd, capture_output=True, text=True, check=True).stdout)
    return total


def bench_login(args, work):
    ours, base = [], []
    for round_ in range(args.repeat):
        rw = os.path.join(work, f"login{round_}")
        os.makedirs(rw)
        run = Bench(args, rw)
        try:
            name, password = "benchuser", "Pw-bench-1"
            run.service.admin("adduser", name, password)
            run.terminal.start()
            login = run.login_window()
            run.type_into(login, run_e2e.USER_FIELD, name)
            run.type_into(login, run_e2e.PASSWORD_FIELD, password)
            run.x.run("xdotool", "mousemove", "--sync", *map(str, run.at(login, run_e2e.LOGIN_BUTTON)))
            run.proxy.keep_raw = True
            start = quiet_time()
            run.x.run("xdotool", "click", "1")
            wait_mapped(run.x, f"{PRODUCT} 专业版 - {name}")
            ours.append(quiet_time() - start)
            time.sleep(1)
            run.proxy.keep_raw = False
            # The exchanges up to the main window: everything before the portal page.
            raw = []
            for head, body in run.proxy.raw:
                if head.startswith(b"GET /portal"):
                    break
                raw.append((head, bytes(body)))
            # Through the same recording proxy as the program: the service derives its namespace
            # from the Host it is asked by.
            base.append(replay_with_curl(raw, args.port, rw))
            print(f"  round {round_ + 1}: {ours[-1]:.3f}s, curl {base[-1]:.3f}s over {len(raw)} exchanges",
                  flush=True)
        finally:
            run.close()
    ratio_line("login click to main window mapped (median)", statistics.median(ours),
               statistics.median(base), "s")


def bench_update(args, work):
    run = Bench(args, work)
    try:
        name, password = "updateuser", "Pw-upd-1"
        main = run.log_in_new_account(name, password)
        image = os.path.join(work, "image64")
        shutil.copyfile(run.exe, image)
        size = 64 << 20
        with open(image, "ab") as f:
            f.write(os.urandom(size - os.path.getsize(image)))
        pid = run.terminal.proc.pid
        ours, peaks = [], []
        rss_before = status_kib(pid, "VmRSS")
        for i in range(args.repeat):
            version = f"7.0.{i}"
            run.service.admin("publish", version, image)
            rss_before = status_kib(pid, "VmRSS")
            # VmHWM only grows; resetting it makes it the peak of this update alone.
            with open(f"/proc/{pid}/clear_refs", "w") as f:
                f.write("5")
            run.proxy.keep_raw = i == 0
            asked = len(run.proxy.seen("GetNewUpdateFile"))
            # The check may start while the clocks move; the watcher sees the rename whenever.
            in_place = []
            inode = os.stat(run.exe).st_ino

            def watch():
                while os.stat(run.exe).st_ino == inode:
                    time.sleep(0.002)
                in_place.append(time.monotonic())

            watcher = threading.Thread(target=watch, daemon=True)
            watcher.start()
            # 5 minutes and the 5 % a coarse Qt timer may be late by.
            run.clock.jump(320)
            run.x.click(SCREEN_W // 2, SCREEN_H // 2)  # wakes the event loop: the check is due
            watcher.join(300)
            in_place = in_place[0]
            wait_for(f"{version} installed",
                     lambda: read_ini(run.ini).get("version", {}).get("versionno") == version, 300, 0.02)
            done = time.monotonic()
            print(f"  update {i + 1}: new file in place {in_place - run.proxy.seen('GetNewUpdateFile')[asked][2]:.3f}s "
                  f"after the download request, settings written {done - in_place:.3f}s later")
            # From the download request on: download, decode, install.
            ours.append(done - run.proxy.seen("GetNewUpdateFile")[asked][2])
            peaks.append((status_kib(pid, "VmHWM") - rss_before) / 1024)
            run.proxy.keep_raw = False
            with open(run.exe, "rb") as a, open(image, "rb") as b:
                print(f"  update {i + 1}: {ours[-1]:.3f}s, peak {peaks[-1]:.0f} MiB above the "
                      f"{rss_before / 1024:.0f} MiB before; image identical: {a.read() == b.read()}")
        head, body = next((h, bytes(b)) for h, b in run.proxy.raw if b"GetNewUpdateFile" in h)

        # The baseline fetches the same reply through the same proxy and decodes the Base64 text
        # out of it in a stream: tail/head cut the envelope off at offsets found beforehand.
        lines = head.decode("latin-1").split("\r\n")
        body_file = os.path.join(work, "update-request")
        with open(body_file, "wb") as f:
            f.write(body)
        headers = " ".join(f"-H '{line}'" for line in lines[1:]
                           if line.lower().startswith(("content-type", "soapaction")))
        fetch = (f"curl -sf {headers} --data-binary @{body_file} "
                 f"http://127.0.0.1:{args.port}{lines[0].split(' ')[1]}")
        reply = subprocess.run(["bash", "-c", fetch], capture_output=True, check=True).stdout
        first = reply.index(b"Result>") + len(b"Result>")
        length = reply.index(b"</", first) - first
        del reply
        out = os.path.join(work, "curl-image")
        pipeline = f"{fetch} | tail -c +{first + 1} | head -c {length} | base64 -d > {out}"
        base = []
        for _ in range(args.repeat):
            start = quiet_time()
            subprocess.run(["bash", "-o", "pipefail", "-c", pipeline], check=True)
            base.append(quiet_time() - start)
        base_peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
        with open(out, "rb") as a, open(image, "rb") as b:
            print(f"  baseline image identical: {a.read() == b.read()}; its largest process "
                  f"peaked at {base_peak:.0f} MiB (includes the earlier fetch)")
        ratio_line(f"64 MiB update, check to installed (median of {args.repeat})",
                   statistics.median(ours), statistics.median(base), "s")
        growth = max(peaks)
        print(f"64 MiB update, program's peak memory above its RSS before: {growth:.0f} MiB = "
              f"{growth / 64:.2f}x the image size (goal under 2.5x)")
        run.request_close(main)
        run.terminal.wait_exit(20)
    finally:
        run.close()


def bench_idle(args, work):
    run = Bench(args, work)
    try:
        name, password = "idlebench", "Pw-idle-2"
        main = run.log_in_new_account(name, password)
        run.x.run("xdotool", "mousemove", "5", str(SCREEN_H - 5))
        time.sleep(5)  # let the page settle
        pids = tree_pids(run.terminal.proc.pid)
        cpu0 = cpu_seconds(pids)
        time.sleep(args.idle_seconds)
        pids = tree_pids(run.terminal.proc.pid)
        ours_cpu = cpu_seconds(pids) - cpu0
        ours_mem = pss_mib(pids)
        portal = run.proxy.seen(r"GET /portal/index\.html")[0][0].split(" ")[1]
        run.request_close(main)
        run.terminal.wait_exit(20)

        bare = compile_qt(BARE_WEBVIEW, ["Qt6WebEngineWidgets"], os.path.join(work, "bare"))
        env = dict(run.x.env, QT_QPA_PLATFORM="xcb", QTWEBENGINE_DISABLE_SANDBOX="1",
                   QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu")
        proc = subprocess.Popen([bare, f"http://127.0.0.1:{run.service.port}{portal}"], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_mapped(run.x, "bare")
            time.sleep(5)
            pids = tree_pids(proc.pid)
            cpu0 = cpu_seconds(pids)
            time.sleep(args.idle_seconds)
            pids = tree_pids(proc.pid)
            base_cpu = cpu_seconds(pids) - cpu0
            base_mem = pss_mib(pids)
        finally:
            proc.kill()
            proc.wait()
        print(f"  idle {args.idle_seconds}s: program {ours_cpu:.2f} s CPU, {ours_mem:.0f} MiB PSS; "
              f"bare view {base_cpu:.2f} s CPU, {base_mem:.0f} MiB PSS")
        ratio_line(f"idle CPU over {args.idle_seconds}s", max(ours_cpu, 0.01), max(base_cpu, 0.01), "s")
        ratio_line("idle memory (PSS of all processes)", ours_mem, base_mem, "MiB")
    finally:
        run.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("which", choices=["startup", "login", "update", "idle", "all"])
    parser.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"))
    parser.add_argument("--service")
    parser.add_argument("--host", default="127.0.0.1:8088")
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--idle-seconds", type=int, default=300)
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    args.service = args.service or os.path.join(args.build, "bin", "sarn-service")
    args.port = int(args.host.rpartition(":")[2])
    os.environ.setdefault("QTWEBENGINE_DISABLE_SANDBOX", "1")
    os.environ.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu")
    chosen = ["startup", "login", "update", "idle"] if args.which == "all" else [args.which]
    for which in chosen:
        work = tempfile.mkdtemp(prefix=f"sarn-bench-{which}-")
        print(f"== {which}", flush=True)
        try:
            globals()[f"bench_{which}"](args, work)
        finally:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
