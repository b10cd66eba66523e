#!/usr/bin/env python3
"""The plug-in window checked from outside: our own host opens the built .so's editor in a real X11 window
under Xvfb, xdotool is the user's hand, and screenshots are compared with the headless rendering.

usage: window_check.py PLUGIN.so --tools BUILD/tools --out FOLDER [--screenshot docs/window.png] [--reopen 50]
Needs (Debian): xvfb x11-utils xdotool imagemagick. Prints ok/FAIL lines; exit status 0 when all pass.
"""
import argparse
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

CONVERT = "/usr/bin/convert"
IMPORT = "/usr/bin/import"
PAD = (98, 70, 284, 284)  # design units: the pad shows live audio, so comparisons leave it out
failures = []
passes = []


def check(ok, what):
    print(("  ok   " if ok else "  FAIL ") + what, flush=True)
    (passes if ok else failures).append(what)
    return ok


def start_xvfb(log):
    """Xvfb chooses a free display and writes its number, followed by a newline, to a pipe."""
    r, w = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=open(log, "w"))
    os.close(w)
    text = b""
    while not text.endswith(b"\n"):
        chunk = os.read(r, 16)
        if not chunk:
            sys.exit("Xvfb did not start (see %s)" % log)
        text += chunk
    os.close(r)
    display = ":" + text.decode().strip()
    for _ in range(100):
        if subprocess.run(["xdpyinfo", "-display", display], capture_output=True).returncode == 0:
            break
        time.sleep(0.05)
    return xvfb, display


class Host:
    """Our host as a child process: a command line in, one reply line out; its events go to a log."""

    def __init__(self, tool, plugin, env, log):
        self.log = log
        self.p = subprocess.Popen([tool, plugin], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=open(log, "a"), text=True, env=env)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.window, self.width, self.height = self.window_line()

    def _read(self):
        for line in self.p.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def reply(self, timeout=30):
        line = self.lines.get(timeout=timeout)
        if line is None:
            raise RuntimeError("host ended (status %s)" % self.p.wait())
        return line

    def window_line(self):
        m = re.match(r"WINDOW (0x[0-9a-f]+) (\d+) (\d+)", self.reply())
        return m.group(1), int(m.group(2)), int(m.group(3))

    def send(self, command):
        self.p.stdin.write(command + "\n")
        self.p.stdin.flush()
        return self.reply()

    def params(self):
        return [float(v) for v in self.send("params").split()[1:]]

    def shot(self, path):
        return self.send("shot " + path).startswith("OK")

    def close(self):
        try:
            reply = self.send("close")
            status = self.p.wait(timeout=30)
        except Exception as e:  # the host died or hung
            self.p.kill()
            reply, status = str(e), "killed"
        return reply, status


def xdo(display, *args):
    subprocess.run(["xdotool"] + [str(a) for a in args], env=dict(os.environ, DISPLAY=display), capture_output=True)


def drag(display, window, start, end, steps=12):
    xdo(display, "mousemove", "--window", window, start[0], start[1])
    time.sleep(0.15)
    xdo(display, "mousedown", 1)
    for k in range(1, steps + 1):
        x = start[0] + (end[0] - start[0]) * k // steps
        y = start[1] + (end[1] - start[1]) * k // steps
        xdo(display, "mousemove", "--window", window, x, y)
        time.sleep(0.03)
    time.sleep(0.2)
    xdo(display, "mouseup", 1)
    time.sleep(0.4)


def click(display, window, x, y):
    xdo(display, "mousemove", "--window", window, x, y, "click", 1)
    time.sleep(0.5)


def read_ppm(path):
    """(width, height, bytes) of a binary PPM, or of any image through ImageMagick."""
    if not path.endswith(".ppm"):
        data = subprocess.run([CONVERT, path, "-depth", "8", "ppm:-"], capture_output=True).stdout
    else:
        with open(path, "rb") as f:
            data = f.read()
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    return int(m.group(1)), int(m.group(2)), data[m.end():]


def pixel(image, x, y):
    w, _, data = image
    i = 3 * (y * w + x)
    return tuple(data[i:i + 3])


def differing_share(a, b, scale):
    """Share of pixels outside the pad whose colours differ by more than 48 in some channel."""
    (w, h, da), (w2, h2, db) = a, b
    if (w, h) != (w2, h2):
        return 1.0
    px, py, pw, ph = (round(v * scale) for v in PAD)
    differing = counted = 0
    for y in range(h):
        row = 3 * y * w
        inside_rows = py <= y < py + ph
        for x in range(w):
            if inside_rows and px <= x < px + pw:
                continue
            i = row + 3 * x
            counted += 1
            if max(abs(da[i] - db[i]), abs(da[i + 1] - db[i + 1]), abs(da[i + 2] - db[i + 2])) > 48:
                differing += 1
    return differing / max(1, counted)


def viewable_windows(display):
    out = subprocess.run(["xwininfo", "-root", "-children"], env=dict(os.environ, DISPLAY=display),
                         capture_output=True, text=True).stdout
    ids = re.findall(r"^\s+(0x[0-9a-f]+)", out, re.M)
    viewable = set()
    for w in ids:
        info = subprocess.run(["xwininfo", "-id", w], env=dict(os.environ, DISPLAY=display),
                              capture_output=True, text=True).stdout
        if "IsViewable" in info:
            viewable.add(w)
    return viewable


def settings_size(home):
    try:
        with open(os.path.join(home, "Kelmor_Vantage", "Calyth.prefs")) as f:
            text = f.read()
    except OSError:
        return None
    values = dict(re.findall(r'<VALUE name="(\w+)" val="(-?\d+)"', text))
    return int(values.get("width", -1)), int(values.get("height", -1))


def teal_row(image, y, scale):
    """True when the accent strip under an open engine panel's title is at row y (design units)."""
    r, g, b = pixel(image, round(240 * scale), round(y * scale))
    return g > 150 and r < 130


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("plugin")
    ap.add_argument("--tools", required=True, help="folder with calyth_guihost and calyth_snapshot")
    ap.add_argument("--out", required=True)
    ap.add_argument("--screenshot", help="where to copy the first real-window screenshot (PNG)")
    ap.add_argument("--reopen", type=int, default=50)
    a = ap.parse_args()
    out = os.path.abspath(a.out)
    os.makedirs(out, exist_ok=True)
    path = lambda name: os.path.join(out, name)
    host_tool = os.path.join(a.tools, "calyth_guihost")
    snapshot_tool = os.path.join(a.tools, "calyth_snapshot")
    plugin = os.path.realpath(a.plugin)

    home = tempfile.mkdtemp(prefix="calyth-window-")
    xvfb, display = start_xvfb(path("xvfb.log"))
    env = dict(os.environ, DISPLAY=display, HOME=home)
    log = path("host.log")
    open(log, "w").close()
    try:
        for width in (480, 600):
            subprocess.run([snapshot_tool, "window", path("headless-%d.png" % width), str(width)], env=env, check=True)
        headless = {w: read_ppm(path("headless-%d.png" % w)) for w in (480, 600)}

        print("== first opening: size, painting, the pad, an engine panel, the settings menu, resizing")
        host = Host(host_tool, plugin, env, log)
        check((host.width, host.height) == (480, 600), "the window opens at 480 x 600 (%d x %d)" % (host.width, host.height))
        time.sleep(1.5)
        host.shot(path("window-480.ppm"))
        real = read_ppm(path("window-480.ppm"))
        share = differing_share(real, headless[480], 1.0)
        check(share < 0.01, "the window paints the design: %.2f %% of the pixels outside the pad differ from the "
                            "headless rendering" % (100 * share))
        subprocess.run([CONVERT, path("window-480.ppm"), path("window-480.png")], check=True)
        if a.screenshot:
            shutil.copy(path("window-480.png"), a.screenshot)

        before = host.params()
        drag(display, host.window, (150, 150), (300, 250))
        after = host.params()
        # The pointer ends at (202, 180) on the pad: x = (202 - 16) / 268, y = (180 - 16) / 268, in steps of 0.001.
        want_x, want_y = round(186 / 268, 3), round(164 / 268, 3)
        check(abs(after[1] - want_x) < 0.0015 and abs(after[2] - want_y) < 0.0015,
              "a drag on the pad sets x_pos %.3f and y_pos %.3f as the host reads them (was %.3f, %.3f; want %.3f, %.3f)"
              % (after[1], after[2], before[1], before[2], want_x, want_y))
        events = open(log).read()
        check("AUTOMATE 1 " in events and "AUTOMATE 2 " in events and "BEGINEDIT 1" in events and "ENDEDIT 2" in events,
              "the drag reached the host as automation inside a gesture")

        click(display, host.window, 450, 89)
        host.shot(path("panel-open.ppm"))
        opened = teal_row(read_ppm(path("panel-open.ppm")), 394.5, 1.0)
        click(display, host.window, 450, 89)
        host.shot(path("panel-closed.ppm"))
        closed = not teal_row(read_ppm(path("panel-closed.ppm")), 394.5, 1.0)
        check(opened and closed, "a click on the first edit button shows its engine panel (%s), a second hides it (%s)"
              % (opened, closed))
        subprocess.run([CONVERT, path("panel-open.ppm"), path("panel-open.png")], check=True)

        windows = viewable_windows(display)
        click(display, host.window, 384, 32)
        time.sleep(0.5)
        menus = viewable_windows(display) - windows
        subprocess.run([IMPORT, "-display", display, "-window", "root", "-crop", "700x400+0+0", path("settings-menu.png")])
        check(len(menus) == 1, "a click on the settings button opens the menu (%d new window)" % len(menus))
        xdo(display, "key", "Escape")
        time.sleep(0.5)
        check(not (viewable_windows(display) & menus), "Escape closes the menu")

        drag(display, host.window, (474, 594), (594, 744), steps=20)
        time.sleep(0.5)
        size = [int(v) for v in host.send("size").split()[1:]]
        check(size[:2] == [600, 750] and size[2:] == [600, 750],
              "the resize corner takes the window to 600 x 750 (window %d x %d, editor %d x %d)" % tuple(size))
        host.shot(path("window-600.ppm"))
        share = differing_share(read_ppm(path("window-600.ppm")), headless[600], 1.25)
        check(share < 0.01, "the resized window paints the scaled design (%.2f %% differ)" % (100 * share))
        subprocess.run([CONVERT, path("window-600.ppm"), path("window-600.png")], check=True)
        reply, status = host.close()
        check(status == 0 and reply == "OK closed xerrors=0", "the host closes cleanly (%s, status %s)" % (reply, status))
        check(settings_size(home) == (600, 750), "the settings file holds the size (%s)" % (settings_size(home),))

        print("== second opening at the stored size, then %d openings and closings while audio runs" % a.reopen)
        host = Host(host_tool, plugin, env, log)
        check((host.width, host.height) == (600, 750), "the next opening uses it (%d x %d)" % (host.width, host.height))
        time.sleep(1.0)
        host.shot(path("reopened-600.ppm"))
        share = differing_share(read_ppm(path("reopened-600.ppm")), headless[600], 1.25)
        check(share < 0.01, "and paints the scaled design (%.2f %% differ)" % (100 * share))
        cpu, start = float(host.send("cpu").split()[1]), time.monotonic()
        time.sleep(5)
        cpu, seconds = float(host.send("cpu").split()[1]) - cpu, time.monotonic() - start
        print("  info the open, idle editor used %.1f %% of one core on the host's main thread" % (100 * cpu / seconds))
        for _ in range(5):  # the first openings fill the framework's caches
            host.send("reopen")
        memory_before = int(host.send("mem").split()[1])
        reopened = True
        for _ in range(a.reopen):
            reopened = host.send("reopen").startswith("WINDOW") and reopened
            time.sleep(0.05)
        time.sleep(0.5)
        memory_after = int(host.send("mem").split()[1])
        growth = memory_after - memory_before
        check(reopened, "every opening gave the host a window")
        check(growth < 8000, "%d openings and closings grow the host by %d kB" % (a.reopen, growth))
        host.shot(path("after-reopening.ppm"))
        share = differing_share(read_ppm(path("after-reopening.ppm")), headless[600], 1.25)
        check(share < 0.01, "the window still paints the design (%.2f %% differ)" % (100 * share))
        reply, status = host.close()
        check(status == 0 and reply == "OK closed xerrors=0", "no crash and no X error (%s, status %s)" % (reply, status))
        check("XERROR" not in open(log).read(), "the host log holds no X error")
    except Exception as e:
        check(False, "the check ran to its end (%s: %s)" % (type(e).__name__, e))
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)

    print("windowcheck: %d passed, %d failed" % (len(passes), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
