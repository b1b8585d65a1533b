#!/usr/bin/env python3
"""How soon the answer is painted and how much memory it holds, beside the peer.

    python3 bench/open/bench_open.py --build BUILD_DIR [--runs N] [--word WORD]

under a display of 24 bits (xvfb-run -a -s "-screen 0 1280x1024x24"). The
peer is Debian's goldendict, installed with

    apt-get install -y --no-install-recommends goldendict libxdamage-dev xvfb

Everything talks only to the HTTP server this script starts on 127.0.0.1: it
stands in for the dictionary program. Its answer paints a block of a colour
that belongs to the word; paint_watch (bench/open/paint_watch.c) watches the
screen through the X DAMAGE extension and gives the time of the first frame
showing that colour. Rows, one JSON object a line on standard output, medians:

- paint, cold: from spawning `quillbridge WORD` (or `goldendict WORD`, set up
  with one website dictionary on the same server, shown in its page, not in a
  frame) to the answer painted, the page cache dropped before each start when
  the script may (as root); otherwise the row says it is warm.
- paint, warm: the same, right after a start, the files in the page cache.
- paint, warm, through examples/host.c: the example host built against this
  build, beside goldendict's warm start.
- a word handed to the open window: from spawning `quillbridge WORD2` (or
  `goldendict WORD2`) while the first is showing its answer, to the new
  answer painted.
- open, warm: from a further QuillbridgeRun in a process that has already run
  one (bench_open_driver) to the request.
- memory: the proportional set size summed over the program and every process
  it started, 1 s after its one page was painted.
- memory after a long session: the same sum after 400 words (a new word each
  time) handed one by one to the open window, each once its request arrived,
  then 15 s without a lookup: the idle time after which the window moves its
  page to a fresh process (10 s), and more.

Each run's figures, the load of the machine and what the peer is go to
standard error. Both programs get their own HOME, so nothing of a user's
settings or cache takes part. Every socket of either program's processes is
checked while it runs: one connected to anything but 127.0.0.1 ends the
benchmark with an error.
"""
import argparse
import http.server
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import uuid

REQUEST_TIMEOUT = 60
SETTLE = 1.0
# Longer than the window waits, idle, before its page moves to a fresh process.
SESSION_IDLE = 15.0
# After a program is killed the X server and the kernel go on tearing it down
# for a while; the next start would pay for that.
QUIET = 1.0
MIB = 1024 * 1024


def note(text):
    print(text, file=sys.stderr, flush=True)


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


class DictionaryServer:
    """The dictionary program: answers every lookup with a small page showing
    a block of the word's colour."""

    PAGE = ("<html><head><title>{0}</title></head><body><h1>{0}</h1>"
            "<div style=\"background:#{2};width:400px;height:300px\"></div><p>{1}</p></body></html>")
    # Colours nothing else on the screen shows, one a word.
    COLOURS = {"kass": "1f6e4b", "koer": "8a2f6d", "hiir": "2d5fa8"}

    @classmethod
    def colour(cls, word):
        return cls.COLOURS.get(word, "1f6e4b")

    def __init__(self):
        self.arrivals = []  # (monotonic seconds, path)
        self.changed = threading.Condition()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                now = time.monotonic()
                if self.path.startswith("/dict/"):
                    with server.changed:
                        server.arrivals.append((now, self.path))
                        server.changed.notify_all()
                    query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
                    word = query.get("w", [""])[0]
                    body = server.PAGE.format("Vastus", self.path, server.colour(word)).encode()
                    self.send_response(200)
                else:
                    body = server.PAGE.format("Not found", self.path, "ffffff").encode()
                    self.send_response(404)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def count(self):
        with self.changed:
            return len(self.arrivals)

    def wait_request(self, since, prefix, alive):
        """Arrival time of the first request for prefix after the first `since` ones."""
        deadline = time.monotonic() + REQUEST_TIMEOUT
        with self.changed:
            while True:
                for when, path in self.arrivals[since:]:
                    if path.startswith(prefix):
                        return when
                if not alive():
                    raise RuntimeError(f"the program ended before asking for {prefix}")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise RuntimeError(f"no request for {prefix} within {REQUEST_TIMEOUT} s")
                self.changed.wait(min(left, 0.1))

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# ---- processes ----------------------------------------------------------------

def process_tree(root):
    """root and every process descended from it that is still there."""
    children = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat") as f:
                # The command name in parentheses may hold spaces.
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(ppid, []).append(int(name))
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def pss_bytes(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1]) * 1024
                        break
        except OSError:
            pass  # gone meanwhile
    return total


def _socket_peers():
    """inode -> remote address of every IPv4/IPv6 TCP and UDP socket."""
    peers = {}
    for table in ("tcp", "tcp6", "udp", "udp6"):
        try:
            with open(f"/proc/net/{table}") as f:
                next(f)
                for line in f:
                    fields = line.split()
                    peers[fields[9]] = fields[2]
        except OSError:
            continue
    return peers


def _is_local(remote):
    address, port = remote.split(":")
    if int(port, 16) == 0:  # listening, or not connected
        return True
    raw = bytes.fromhex(address)
    if len(raw) == 4:
        return raw[3] == 127  # little-endian 127.x.y.z
    words = [raw[i:i + 4][::-1] for i in range(0, 16, 4)]
    flat = b"".join(words)
    if flat == bytes(15) + b"\x01":
        return True  # ::1
    if flat[:12] == bytes(10) + b"\xff\xff":
        return flat[12] == 127  # ::ffff:127.x.y.z
    return False


def foreign_connections(pids):
    peers = _socket_peers()
    found = []
    for pid in pids:
        try:
            fds = os.listdir(f"/proc/{pid}/fd")
        except OSError:
            continue
        for fd in fds:
            try:
                target = os.readlink(f"/proc/{pid}/fd/{fd}")
            except OSError:
                continue
            if target.startswith("socket:["):
                remote = peers.get(target[8:-1])
                if remote and not _is_local(remote):
                    found.append(f"pid {pid}: {remote}")
    return found


def tree_memory(process, name):
    """PSS of the process and every process it started, and their number; a
    connection of any of them beyond 127.0.0.1 ends the benchmark."""
    tree = process_tree(process.pid)
    foreign = foreign_connections(tree)
    if foreign:
        raise RuntimeError(f"{name} is connected beyond 127.0.0.1: {', '.join(foreign)}")
    return pss_bytes(tree), len(tree)


def end_tree(process):
    """Kills the program and whatever it started, and waits for the program."""
    pids = process_tree(process.pid)
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass
    process.wait()
    # The helpers are gone once none of them is left.
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline and any(_alive(p) for p in pids):
        time.sleep(0.01)
    time.sleep(QUIET)


def _alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def drop_caches():
    """Whether the page cache could be emptied (root, where /proc/sys is writable)."""
    try:
        os.sync()
        with open("/proc/sys/vm/drop_caches", "w") as f:
            f.write("1")
        return True
    except OSError:
        return False


class PaintWatch:
    """paint_watch watching the screen for a colour, ready when made."""

    def __init__(self, program, colour):
        self.process = subprocess.Popen([program, colour, "20000", str(REQUEST_TIMEOUT)],
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        if self.process.stdout.readline().strip() != "ready":
            self.process.kill()
            self.process.wait()
            raise RuntimeError("paint_watch did not start")

    def painted(self):
        """The monotonic time of the first frame showing the colour."""
        line = self.process.stdout.readline().strip()
        if self.process.wait() != 0 or not line:
            raise RuntimeError("the answer was not painted")
        return float(line)


def measure_paint(watcher, command, env, colour, keep=False):
    """Seconds from spawn to the answer painted, bytes of PSS one settle later,
    the number of processes, and the program when kept running."""
    watch = PaintWatch(watcher, colour)
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        painted = watch.painted()
        time.sleep(max(0.0, painted + SETTLE - time.monotonic()))
        if process.poll() is not None:
            raise RuntimeError(f"{command[0]} ended before its memory was measured")
        memory, count = tree_memory(process, command[0])
        return painted - start, memory, count, (process if keep else None)
    except BaseException:
        end_tree(process)
        raise
    finally:
        if not keep and process.poll() is None:
            end_tree(process)


def measure_handover(watcher, program, env, words, runs):
    """Seconds from spawning `program WORD` while the first word's window is
    open to that word's answer painted, each run with the next word."""
    first = measure_paint(watcher, [program, words[0]], env, DictionaryServer.colour(words[0]), keep=True)
    window = first[3]
    figures = []
    try:
        for n in range(runs):
            word = words[1 + n % (len(words) - 1)] if n % 2 == 0 else words[0]
            watch = PaintWatch(watcher, DictionaryServer.colour(word))
            start = time.monotonic()
            handing = subprocess.Popen([program, word], env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            figures.append(watch.painted() - start)
            handing.wait(timeout=REQUEST_TIMEOUT)
            if window.poll() is not None:
                raise RuntimeError(f"{program} closed its window when handed a word")
            time.sleep(0.2)
    finally:
        end_tree(window)
    return figures


def measure_long_session(server, program, env, prefix, lookups):
    """PSS of the window's process tree after `lookups` words handed to it, then an idle time."""
    first = start_window(server, program, env, prefix)
    try:
        for n in range(lookups):
            word = f"sona{n}"
            since = server.count()
            handing = subprocess.Popen([program, word], env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            handing.wait(timeout=REQUEST_TIMEOUT)
            server.wait_request(since, f"{prefix}?w={word}", lambda: first.poll() is None)
        time.sleep(SESSION_IDLE)
        if first.poll() is not None:
            raise RuntimeError(f"{program} closed its window during the session")
        return tree_memory(first, program)
    finally:
        end_tree(first)


def start_window(server, program, env, prefix):
    """The program started with a first word, once that word's request arrived and a settle passed."""
    since = server.count()
    process = subprocess.Popen([program, "sona"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        server.wait_request(since, f"{prefix}?w=sona", lambda: process.poll() is None)
        time.sleep(SETTLE)
    except BaseException:
        end_tree(process)
        raise
    return process


def browser_environment(home):
    """What either program needs to run its browser engine here, and nothing of the user's."""
    env = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_DATA_HOME=os.path.join(home, ".local/share"),
               XDG_STATE_HOME=os.path.join(home, ".local/state"), TMPDIR=os.path.join(home, "tmp"))
    os.makedirs(env["TMPDIR"], exist_ok=True)
    # The open window's socket lives in the runtime folder, which only its user may enter.
    env["XDG_RUNTIME_DIR"] = os.path.join(home, "runtime")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    # As root the engine's sandbox cannot start; without a GPU it must not look for one.
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    has_gpu = os.path.isdir("/dev/dri") and any(n.startswith("renderD") for n in os.listdir("/dev/dri"))
    flags = env.get("QTWEBENGINE_CHROMIUM_FLAGS", "")
    if not has_gpu and "--disable-gpu" not in flags:
        env["QTWEBENGINE_CHROMIUM_FLAGS"] = (flags + " --disable-gpu").strip()
    return env


# ---- the two programs ---------------------------------------------------------

class Quillbridge:
    PREFIX = "/dict/quillbridge"

    def __init__(self, build, work, server, word):
        self.dir = os.path.join(work, "quillbridge")
        os.makedirs(self.dir)
        # The catalogue files lie beside the library, so the bench's own go with a copy of it.
        for name in ("quillbridge", "quillbridge.so"):
            shutil.copy2(os.path.join(build, name), self.dir)
        self.driver = os.path.join(build, "bench", "bench_open_driver")
        tsv = os.path.join(self.dir, "dict.tsv")
        with open(tsv, "w", encoding="utf-8") as f:
            f.write(f"Bench (utf8)\tutf8\t{server.url(self.PREFIX)}?w=\n")
        subprocess.run([os.path.join(build, "quillbridge-kvd"), "build", "--selection", "0", tsv,
                        os.path.join(self.dir, "dict.kvd")], check=True, stdout=subprocess.DEVNULL)
        self.env = browser_environment(os.path.join(work, "quillbridge-home"))
        self.env["QUILLBRIDGE_SITE_BASE"] = server.url("/quillbridge/")
        self.server = server
        self.word = word

    def command(self):
        return [os.path.join(self.dir, "quillbridge"), self.word]

    def host(self, source, include):
        """examples/host.c built to load this copy of the library."""
        program = os.path.join(self.dir, "host")
        subprocess.run(["cc", "-O2", "-o", program, source, f"-I{include}",
                        f'-DQUILLBRIDGE_PLUGIN="{os.path.join(self.dir, "quillbridge.so")}"', "-ldl"],
                       check=True)
        return [program, self.word]

    def warm(self, runs):
        """Seconds to the request of each run of one process; the first is that process's first."""
        driver = subprocess.Popen([self.driver, os.path.join(self.dir, "quillbridge.so"), str(runs + 1), self.word],
                                  env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True, start_new_session=True)
        figures = []
        try:
            for _ in range(runs + 1):
                since = self.server.count()
                line = driver.stdout.readline().split()
                if len(line) != 3 or line[0] != "start":
                    raise RuntimeError(f"the driver said {line!r} instead of starting a run")
                arrival = self.server.wait_request(since, self.PREFIX, lambda: driver.poll() is None)
                figures.append(arrival - float(line[2]))
                driver.stdin.write("close\n")
                driver.stdin.flush()
                done = driver.stdout.readline().split()
                if len(done) != 3 or done[0] != "done" or done[2] != "0":
                    raise RuntimeError(f"the run ended with {done!r}")
            driver.stdin.close()
            if driver.wait(timeout=REQUEST_TIMEOUT) != 0:
                raise RuntimeError("the driver failed")
        finally:
            if driver.poll() is None:
                end_tree(driver)
        return figures


GOLDENDICT_CONFIG = """<config>
 <paths/>
 <sounddirs/>
 <dictionaryOrder id="0" name=""><mutedDictionaries/></dictionaryOrder>
 <inactiveDictionaries id="0" name=""><mutedDictionaries/></inactiveDictionaries>
 <groups nextId="1"/>
 <hunspell dictionariesPath=""/>
 <forvo><enable>0</enable><apiKey></apiKey><languageCodes></languageCodes></forvo>
 <mediawikis/>
 <websites>
  <website id="{id}" icon="" url="{url}" inside_iframe="0" name="Bench" enabled="1"/>
 </websites>
 <dictservers/>
 <programs/>
 <voiceEngines/>
 <mutedDictionaries/>
 <popupMutedDictionaries/>
 <preferences>
  <enableTrayIcon>0</enableTrayIcon>
  <closeToTray>0</closeToTray>
  <enableMainWindowHotkey>0</enableMainWindowHotkey>
  <enableClipboardHotkey>0</enableClipboardHotkey>
  <enableScanPopup>0</enableScanPopup>
  <startWithScanPopupOn>0</startWithScanPopupOn>
  <trackClipboardChanges>0</trackClipboardChanges>
  <pronounceOnLoadMain>0</pronounceOnLoadMain>
  <pronounceOnLoadPopup>0</pronounceOnLoadPopup>
  <proxyserver enabled="0" useSystemProxy="0"><type>0</type><host></host><port>3128</port><user></user><password></password><systemProxyUser></systemProxyUser><systemProxyPassword></systemProxyPassword></proxyserver>
  <checkForNewReleases>0</checkForNewReleases>
  <disallowContentFromOtherSites>0</disallowContentFromOtherSites>
  <enableWebPlugins>0</enableWebPlugins>
  <storeHistory>0</storeHistory>
  <fullTextSearch><enabled>0</enabled></fullTextSearch>
 </preferences>
</config>
"""


class GoldenDict:
    PREFIX = "/dict/goldendict"

    def __init__(self, program, work, server, word):
        self.program = program
        self.home = os.path.join(work, "goldendict-home")
        self.env = browser_environment(self.home)
        self.config = os.path.join(self.env["XDG_CONFIG_HOME"], "goldendict", "config")
        os.makedirs(os.path.dirname(self.config))
        self.text = GOLDENDICT_CONFIG.format(id=uuid.uuid4().hex, url=server.url(self.PREFIX) + "?w=%GDWORD%")
        self.server = server
        self.word = word

    def configure(self):
        # Written anew before every start: the program rewrites it as it quits
        # and must begin each run from the same settings, never from its defaults.
        with open(self.config, "w", encoding="utf-8") as f:
            f.write(self.text)

    def command(self):
        self.configure()
        return [self.program, self.word]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="build folder with quillbridge, quillbridge.so, quillbridge-kvd")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--word", default="kass")
    parser.add_argument("--session", type=int, default=400, help="lookups of the long-session memory row")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("bench_open.py: no display; run it under xvfb-run -a")
    build = os.path.abspath(args.build)
    watcher = os.path.join(build, "bench", "paint_watch")
    if not os.path.exists(watcher):
        sys.exit("bench_open.py: no bench/paint_watch in the build; install libxdamage-dev and build again")
    source = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

    server = DictionaryServer()
    work = tempfile.mkdtemp(prefix="qb-bench-open-")
    try:
        ours = Quillbridge(build, work, server, args.word)
        host = ours.host(os.path.join(source, "examples", "host.c"), os.path.join(source, "include"))
        program = shutil.which("goldendict")
        peer = GoldenDict(program, work, server, args.word) if program else None
        if not peer:
            note("goldendict is not installed: the reference figures are null")
        note(f"load average before: {load_average()}")
        colour = DictionaryServer.colour(args.word)
        # One start of each first: settings made, files read once.
        measure_paint(watcher, ours.command(), ours.env, colour)
        if peer:
            measure_paint(watcher, peer.command(), peer.env, colour)
        dropped = drop_caches()
        if not dropped:
            note("the page cache cannot be dropped here: the cold rows run warm")
        figures = {key: [] for key in ("cold", "peer_cold", "warm", "peer_warm", "host", "memory",
                                       "peer_memory")}
        # Each program's warm starts follow its own cold one: after the peer's
        # cold start (and the drop before it) ours would be warm only in part.
        for n in range(args.runs):
            drop_caches()
            seconds, _, _, _ = measure_paint(watcher, ours.command(), ours.env, colour)
            figures["cold"].append(seconds)
            line = f"run {n}: quillbridge cold {seconds:.3f} s"
            seconds, size, count, _ = measure_paint(watcher, ours.command(), ours.env, colour)
            figures["warm"].append(seconds)
            figures["memory"].append(size)
            line += f", warm {seconds:.3f} s {size / MIB:.1f} MiB in {count} processes"
            seconds, _, _, _ = measure_paint(watcher, host, ours.env, colour)
            figures["host"].append(seconds)
            line += f", host.c {seconds:.3f} s"
            if peer:
                drop_caches()
                seconds, _, _, _ = measure_paint(watcher, peer.command(), peer.env, colour)
                figures["peer_cold"].append(seconds)
                line += f"; goldendict cold {seconds:.3f} s"
                seconds, size, count, _ = measure_paint(watcher, peer.command(), peer.env, colour)
                figures["peer_warm"].append(seconds)
                figures["peer_memory"].append(size)
                line += f", warm {seconds:.3f} s {size / MIB:.1f} MiB in {count} processes"
            note(line)
        words = ["kass", "koer", "hiir"]
        handover = measure_handover(watcher, ours.command()[0], ours.env, words, 2 * args.runs)
        note("word to the open window, quillbridge: " + " ".join(f"{s:.3f}" for s in handover))
        peer_handover = []
        if peer:
            peer.configure()
            peer_handover = measure_handover(watcher, peer.program, peer.env, words, 2 * args.runs)
            note("word to the open window, goldendict: " + " ".join(f"{s:.3f}" for s in peer_handover))
        session = measure_long_session(server, ours.command()[0], ours.env, ours.PREFIX, args.session)
        note(f"after {args.session} lookups, quillbridge: {session[0] / MIB:.1f} MiB in {session[1]} processes")
        peer_session = None
        if peer:
            peer.configure()
            peer_session = measure_long_session(server, peer.program, peer.env, peer.PREFIX, args.session)
            note(f"after {args.session} lookups, goldendict: {peer_session[0] / MIB:.1f} MiB "
                 f"in {peer_session[1]} processes")
        warm = ours.warm(args.runs)
        note(f"warm QuillbridgeRun: first run of the process {warm[0]:.3f} s, then " +
             " ".join(f"{s:.3f}" for s in warm[1:]))
        note(f"load average after: {load_average()}")
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)

    def median(values):
        return statistics.median(values) if values else None

    cold_case = ("paint, cold (page cache dropped): spawn of `quillbridge WORD` to the answer painted"
                 if dropped else "paint, cold (page cache NOT dropped here): spawn of `quillbridge WORD` "
                 "to the answer painted")
    rows = [
        {"case": cold_case, "ours": median(figures["cold"]), "reference": median(figures["peer_cold"]),
         "unit": "s", "goal": "<= 0.5x"},
        {"case": "paint, warm: spawn of `quillbridge WORD` to the answer painted", "ours": median(figures["warm"]),
         "reference": median(figures["peer_warm"]), "unit": "s", "goal": "<= 0.5x"},
        {"case": "paint, warm, through examples/host.c", "ours": median(figures["host"]),
         "reference": median(figures["peer_warm"]), "unit": "s", "goal": "<= 0.5x"},
        {"case": "a word handed to the open window, to the paint", "ours": median(handover),
         "reference": median(peer_handover), "unit": "s", "goal": "<= 0.5x"},
        {"case": "open, warm: a further QuillbridgeRun to the request", "ours": median(warm[1:]),
         "reference": None, "unit": "s", "goal": "<= 0.060 s"},
        {"case": "memory: PSS of the process tree, 1 s after its one page was painted",
         "ours": median(figures["memory"]) / MIB,
         "reference": median(figures["peer_memory"]) / MIB if figures["peer_memory"] else None,
         "unit": "MiB", "goal": "<= 1.0x"},
        {"case": f"memory after a long session: PSS of the process tree after {args.session} words handed "
                 "to the open window and 15 s idle",
         "ours": session[0] / MIB, "reference": peer_session[0] / MIB if peer_session else None,
         "unit": "MiB", "goal": "<= 1.0x"},
    ]
    for row in rows:
        for key in ("ours", "reference"):
            if row[key] is not None:
                row[key] = round(row[key], 4)
        print(json.dumps(row, ensure_ascii=False), flush=True)


if __name__ == "__main__":
    try:
        main()
    except RuntimeError as error:
        sys.exit(f"bench_open.py: {error}")
