"""What the Windows tests share: the programs of a Windows build run under its
wine-run (its own prefix and home), the maker's site and dictionaries served
on 127.0.0.1, catalogue files built and read with quillbridge-kvd, and the
windows driven as a person would: found by caption, read with window_probe,
clicked and typed at with xdotool.

Wine quirks this works around: keys sent to a window by id get lost, so each
key goes to the focus once the focus is the window meant; Ctrl+Tab does not
turn property-sheet pages, so tabs are clicked.
"""
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SITE_SERVER = os.path.join(HERE, "..", "app", "site_server.py")
# Waits end when what they wait for comes; the deadlines are for a machine
# that is busy with other work too.
DEADLINE = 60
SHEET = "KV Quillbridge"
TABS = ("Päring", "Sõnastikud", "Eelsõnastikud", "Abiinfo")


def windows_path(path):
    """A path of this machine as Wine's drive Z: names it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WineSession(unittest.TestCase):
    """A test case with a folder of its own holding a copy of the library and
    its host, and a site server; BUILD, TOOLS and LINUX_KVD are set by the
    test program from its command line."""
    BUILD = TOOLS = LINUX_KVD = None

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="qb-wine-")
        self.dir = self.tmp.name
        self.log = os.path.join(self.dir, "requests.log")
        self.published = os.path.join(self.dir, "published")
        os.mkdir(self.published)
        open(self.log, "w").close()
        self.server = subprocess.Popen([sys.executable, SITE_SERVER, self.log, self.published],
                                       stdout=subprocess.PIPE, text=True)
        self.addCleanup(self.stop_server)
        self.port = int(self.server.stdout.readline())
        self.site = f"http://127.0.0.1:{self.port}"
        self.env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
        # Wine reads a program's command line in the locale's encoding.
        self.env.update(LC_ALL="C.UTF-8", QUILLBRIDGE_SITE_BASE=f"{self.site}/quillbridge/")
        self.wine_run = os.path.join(self.BUILD, "wine-run")
        # The user's folder of the build's prefix starts empty for each test.
        self.user_folder_glob = os.path.join(self.BUILD, "wine-prefix", "drive_c", "users", "*",
                                             "AppData", "Roaming", "Quillbridge")
        self.clear_user_folder()
        self.addCleanup(self.clear_user_folder)
        self.programs = []
        self.addCleanup(self.end_programs)

    def stop_server(self):
        self.server.kill()
        self.server.wait()
        self.server.stdout.close()
        self.tmp.cleanup()

    def clear_user_folder(self):
        for folder in glob.glob(self.user_folder_glob):
            shutil.rmtree(folder)

    def user_folder(self):
        found = glob.glob(self.user_folder_glob)
        return found[0] if found else None

    def end_programs(self):
        for program, out in self.programs:
            if program.poll() is None:
                program.kill()
                program.wait()
            out.close()

    # Files and catalogues.

    def copy_library(self, folder=None, host="quillbridge.exe"):
        folder = folder or self.dir
        shutil.copy(os.path.join(self.BUILD, "quillbridge.dll"), folder)
        source = os.path.join(self.TOOLS if host == "twice_host.exe" else self.BUILD, host)
        shutil.copy(source, folder)
        return os.path.join(folder, host)

    def kvd(self, *args):
        """quillbridge-kvd of the Linux build when there is one, else this build's under Wine."""
        if self.LINUX_KVD:
            return subprocess.run([self.LINUX_KVD, *args], capture_output=True, text=True, check=True,
                                  timeout=DEADLINE).stdout
        code, out = self.wine(os.path.join(self.BUILD, "quillbridge-kvd.exe"),
                              *[windows_path(a) if a.startswith("/") else a for a in args])
        self.assertEqual(code, 0, out)
        return out

    def catalogue(self, path, rows, selection=0):
        tsv = path + ".tsv"
        with open(tsv, "w", encoding="utf-8") as f:
            f.writelines("\t".join(row) + "\n" for row in rows)
        self.kvd("build", "--selection", str(selection), tsv, path)
        os.remove(tsv)

    def dump(self, path):
        return self.kvd("dump", path)

    # The site server's log.

    def lines(self):
        with open(self.log, encoding="utf-8") as f:
            # A line still being written is not a request yet.
            return [line.rstrip("\n").split(" ") for line in f if line.endswith("\n")]

    def requests(self):
        return [line[1] for line in self.lines() if line[0] == "GET" and line[1] != "/favicon.ico"]

    def wait_for(self, condition, what):
        end = time.monotonic() + DEADLINE
        while True:
            result = condition()
            if result:
                return result
            if time.monotonic() > end:
                self.fail(f"{what}, after {DEADLINE} s")
            time.sleep(0.1)

    def wait_for_request(self, path):
        self.wait_for(lambda: path in self.requests(), f"{path} was never requested: {self.requests()}")

    # Programs and windows.

    def start(self, program, *args):
        # Output into a file, not a pipe: the processes Wine starts beside a
        # program may hold a pipe open long after the program ended.
        out = open(os.path.join(self.dir, f"output-{len(self.programs)}.txt"), "w+", encoding="utf-8")
        run = subprocess.Popen([self.wine_run, program, *args], env=self.env, stdout=out,
                               stderr=subprocess.STDOUT, cwd=self.dir)
        run.output = out.name
        self.programs.append((run, out))
        return run

    def output(self, run):
        with open(run.output, encoding="utf-8", errors="replace") as f:
            return f.read().replace("\r\n", "\n")

    def wait_for_exit(self, run):
        try:
            code = run.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            self.fail("the host did not end")
        return code, self.output(run)

    def wine(self, *args, timeout=DEADLINE):
        """Runs a program under Wine to its end: its status and its output."""
        with tempfile.TemporaryFile("w+", encoding="utf-8", errors="replace") as out:
            run = subprocess.run([self.wine_run, *args], env=self.env, stdout=out,
                                 stderr=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            return run.returncode, out.read().replace("\r\n", "\n")

    def probe(self, title):
        """What the visible window captioned title shows, or None while there is none."""
        code, out = self.wine(os.path.join(self.TOOLS, "window_probe.exe"), title)
        return json.loads(out) if code == 0 and out else None

    def wait_for_window(self, title):
        return self.wait_for(lambda: self.probe(title), f"no window {title!r}")

    def wait_for_no_window(self, title):
        self.wait_for(lambda: self.probe(title) is None, f"the window {title!r} is still open")

    @staticmethod
    def control(window, cls=None, text=None, id=None):
        """The visible child of a probed window with that class, text and id."""
        for child in window["children"]:
            if child["visible"] and (cls is None or child["class"].lower() == cls.lower()) and \
                    (text is None or child["text"] == text) and (id is None or child["id"] == id):
                return child
        return None

    def wait_for_control(self, title, **what):
        def found():
            window = self.probe(title)
            return window and self.control(window, **what)
        return self.wait_for(found, f"{title!r} shows no {what}")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=True,
                              timeout=DEADLINE).stdout

    def click(self, rect):
        x, y, width, height = rect
        self.xdotool("mousemove", "--sync", str(x + width // 2), str(y + height // 2), "click", "1")

    def wait_for_focus(self, title):
        """Waits until the focus is on the window captioned title. Without a
        window manager nobody gives it back when a dialog over it closes: then
        the window is given it, as a click on its caption would."""
        asked = time.monotonic()
        def focused():
            nonlocal asked
            run = subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], capture_output=True,
                                 text=True, timeout=DEADLINE)
            if run.stdout.rstrip("\n") == title:
                return True
            if time.monotonic() - asked > 1:
                asked = time.monotonic()
                subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$", "windowfocus"],
                               capture_output=True, timeout=DEADLINE)
            return False
        self.wait_for(focused, f"the focus never came to {title!r}")

    def keys(self, title, *keys):
        self.wait_for_focus(title)
        self.xdotool("key", "--delay", "50", *keys)

    def type(self, title, text):
        self.wait_for_focus(title)
        self.xdotool("type", "--delay", "50", text)

    def show_tab(self, index):
        """Clicks the sheet's tab index and waits until its page is the one shown."""
        tab = self.wait_for_control(SHEET, cls="SysTabControl32")
        self.click(tab["tabs"][index])
        # A control only that page has, once it is made and shown.
        mark = [dict(cls="Edit", id=1002), dict(cls="Button", text="Laadi..."),
                dict(cls="Button", text="Laadi..."), dict(cls="AtlAxWin", id=1006)][index]
        def shown():
            sheet = self.probe(SHEET)
            tab = sheet and self.control(sheet, cls="SysTabControl32")
            return sheet if tab and tab["selection"] == index and self.control(sheet, **mark) else None
        return self.wait_for(shown, f"the tab {TABS[index]!r} was not shown")

    def screenshot(self, name):
        """With QB_SCREENSHOT_DIR set, the screen as it is into that folder as name.png."""
        folder = os.environ.get("QB_SCREENSHOT_DIR")
        if folder:
            os.makedirs(folder, exist_ok=True)
            # The window paints after it is shown; a picture of it half drawn helps nobody.
            time.sleep(1)
            subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")], check=True,
                           timeout=DEADLINE)

    def close_sheet(self, run):
        """Esc to the sheet; returns the host's exit status."""
        self.focus_sheet()
        self.keys(SHEET, "Escape")
        return self.wait_for_exit(run)[0]

    def focus_sheet(self):
        """A click on the tab shown: after a dialog over the sheet closed, Wine
        without a window manager leaves the focus nowhere."""
        tab = self.wait_for_control(SHEET, cls="SysTabControl32")
        self.click(tab["tabs"][tab["selection"]])


def configure():
    """Takes BUILD TOOLS [LINUX_KVD] from the command line, leaving unittest's arguments."""
    WineSession.BUILD = os.path.abspath(sys.argv.pop(1))
    WineSession.TOOLS = os.path.abspath(sys.argv.pop(1))
    if len(sys.argv) > 1 and os.path.isabs(sys.argv[1]):
        WineSession.LINUX_KVD = sys.argv.pop(1)
