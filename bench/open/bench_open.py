#!/usr/bin/env python3
"""How fast the lookup window opens and how much memory it holds, beside the peer.

    python3 bench/open/bench_open.py --build BUILD_DIR [--runs N] [--word WORD]

under a display (xvfb-run -a). The peer is Debian's goldendict, installed with

    apt-get install -y --no-install-recommends goldendict xvfb

Everything talks only to the HTTP server this script starts on 127.0.0.1: it
stands in for the dictionary program and notes the monotonic time at which
each lookup request arrives. Rows, one JSON object a line on standard output:

- open, cold: from spawning `quillbridge WORD` (or `goldendict WORD`, set up
  with one website dictionary on the same server) to the request; medians.
- open, warm: from a further QuillbridgeRun in a process that has already run
  one (bench_open_driver) to the request; median.
- memory: the proportional set size summed over the program and every process
  it started (the browser's helper processes), 1 s after the request; medians.

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
import uuid

REQUEST_TIMEOUT = 60
SETTLE = 1.0
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
    """The dictionary program: answers every lookup with a small page."""

    PAGE = "<html><head><title>{0}</title></head><body><h1>{0}</h1><p>{1}</p></body></html>"

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
                    body = server.PAGE.format("Vastus", self.path).encode()
                    self.send_response(200)
                else:
                    body = server.PAGE.format("Not found", self.path).encode()
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


def measure_cold(server, command, env, prefix):
    """Seconds from spawn to the request, and bytes of PSS one settle later."""
    since = server.count()
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        arrival = server.wait_request(since, prefix, lambda: process.poll() is None)
        time.sleep(max(0.0, arrival + SETTLE - time.monotonic()))
        if process.poll() is not None:
            raise RuntimeError(f"{command[0]} ended before its memory was measured")
        tree = process_tree(process.pid)
        memory = pss_bytes(tree)
        foreign = foreign_connections(tree)
        if foreign:
            raise RuntimeError(f"{command[0]} is connected beyond 127.0.0.1: {', '.join(foreign)}")
        return arrival - start, memory, len(tree)
    finally:
        end_tree(process)


def browser_environment(home):
    """What either program needs to run its browser engine here, and nothing of the user's."""
    env = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_DATA_HOME=os.path.join(home, ".local/share"),
               XDG_STATE_HOME=os.path.join(home, ".local/state"), TMPDIR=os.path.join(home, "tmp"))
    os.makedirs(env["TMPDIR"], exist_ok=True)
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

    def cold(self):
        return measure_cold(self.server, [os.path.join(self.dir, "quillbridge"), self.word], self.env,
                            self.PREFIX)

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
  <website id="{id}" icon="" url="{url}" inside_iframe="1" name="Bench" enabled="1"/>
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

    def cold(self):
        # Written anew before every start: the program rewrites it as it quits
        # and must begin each run from the same settings, never from its defaults.
        with open(self.config, "w", encoding="utf-8") as f:
            f.write(self.text)
        return measure_cold(self.server, [self.program, self.word], self.env, self.PREFIX)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="build folder with quillbridge, quillbridge.so, quillbridge-kvd")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--word", default="kass")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("bench_open.py: no display; run it under xvfb-run -a")

    server = DictionaryServer()
    work = tempfile.mkdtemp(prefix="qb-bench-open-")
    try:
        ours = Quillbridge(os.path.abspath(args.build), work, server, args.word)
        program = shutil.which("goldendict")
        peer = GoldenDict(program, work, server, args.word) if program else None
        if not peer:
            note("goldendict is not installed: the reference figures are null")
        note(f"load average before: {load_average()}")
        # One start of each first, so that both find their files in the page cache.
        ours.cold()
        if peer:
            peer.cold()
        cold, memory, peer_cold, peer_memory = [], [], [], []
        for n in range(args.runs):
            seconds, size, count = ours.cold()
            cold.append(seconds)
            memory.append(size)
            line = f"cold {n}: quillbridge {seconds:.3f} s {size / MIB:.1f} MiB in {count} processes"
            if peer:
                seconds, size, count = peer.cold()
                peer_cold.append(seconds)
                peer_memory.append(size)
                line += f"; goldendict {seconds:.3f} s {size / MIB:.1f} MiB in {count} processes"
            note(line)
        warm = ours.warm(args.runs)
        note(f"warm: first run of the process {warm[0]:.3f} s, then " + " ".join(f"{s:.3f}" for s in warm[1:]))
        note(f"load average after: {load_average()}")
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)

    def median(values):
        return statistics.median(values) if values else None

    rows = [
        {"case": "open, cold: spawn of `quillbridge WORD` to the request", "ours": median(cold),
         "reference": median(peer_cold), "unit": "s", "goal": "<= 1.0x"},
        {"case": "open, warm: a further QuillbridgeRun to the request", "ours": median(warm[1:]),
         "reference": None, "unit": "s", "goal": "<= 0.060 s"},
        {"case": "memory: PSS of the process and its helpers, 1 s after the request",
         "ours": median(memory) / MIB, "reference": median(peer_memory) / MIB if peer_memory else None,
         "unit": "MiB", "goal": "<= 1.2x"},
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
