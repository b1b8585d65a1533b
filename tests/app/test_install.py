"""The installed tree: `cmake --install` into a DESTDIR, a host program built
against it with pkg-config, and the installed quillbridge program.
"""
import glob
import gzip
import os
import subprocess
import sys
import tempfile
import time
import unittest
from unittest import mock

from private_home import private_home

BUILD = sys.argv.pop(1)
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
HERE = os.path.join(SOURCE, "tests", "app")
DEADLINE = 60


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="qb-install-")
        cls.root = os.path.join(cls.tmp.name, "root")
        subprocess.run(["cmake", "--install", BUILD], env=dict(os.environ, DESTDIR=cls.root),
                       check=True, capture_output=True)
        (pc,) = glob.glob(os.path.join(cls.root, "**", "pkgconfig", "quillbridge.pc"), recursive=True)
        cls.pkg_env = dict(os.environ, PKG_CONFIG_PATH=os.path.dirname(pc),
                           PKG_CONFIG_SYSROOT_DIR=cls.root)
        (cls.program,) = glob.glob(os.path.join(cls.root, "**", "bin", "quillbridge"), recursive=True)
        cls.plugin = cls.pkg_config("--variable=plugin")
        cls.kvd = os.path.join(os.path.dirname(cls.program), "quillbridge-kvd")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    @classmethod
    def pkg_config(cls, *args):
        return subprocess.run(["pkg-config", *args, "quillbridge"], env=cls.pkg_env, check=True,
                              capture_output=True, text=True).stdout.strip()

    def setUp(self):
        self.log = os.path.join(self.tmp.name, "requests.log")
        open(self.log, "w").close()
        self.server = subprocess.Popen([sys.executable, os.path.join(HERE, "site_server.py"), self.log],
                                       stdout=subprocess.PIPE, text=True)
        self.site = f"http://127.0.0.1:{int(self.server.stdout.readline())}"
        # Every program a test starts gets a home of its own.
        self.home = tempfile.TemporaryDirectory(prefix="qb-install-home-")
        self.addCleanup(self.home.cleanup)
        home = mock.patch.dict(os.environ, private_home(self.home.name))
        home.start()
        self.addCleanup(home.stop)
        self.env = dict(os.environ, QUILLBRIDGE_SITE_BASE=f"{self.site}/quillbridge/")
        self.env.pop("QUILLBRIDGE_DEBUG", None)
        # The user's own folders stay untouched, and a window the user has open
        # never receives a test's word.
        for name in ("HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"):
            self.env[name] = tempfile.mkdtemp(prefix=name.lower(), dir=self.tmp.name)
        # The installed library keeps its catalogues beside it.
        for name in ("dict.kvd", "predict.kvd"):
            path = os.path.join(os.path.dirname(self.plugin), name)
            if os.path.exists(path):
                os.remove(path)
        tsv = os.path.join(self.tmp.name, "dict.tsv")
        with open(tsv, "w", encoding="utf-8") as f:
            f.write(f"Vene\tutf8\t{self.site}/dict/ru?w=\n")
        subprocess.run([self.kvd, "build", tsv, os.path.join(os.path.dirname(self.plugin), "dict.kvd")],
                       check=True)

    def tearDown(self):
        self.server.kill()
        self.server.wait()
        self.server.stdout.close()

    def requests(self):
        with open(self.log, encoding="utf-8") as f:
            return [line.split(" ")[1] for line in f]

    def look_up_and_close(self, command, word):
        """Runs command, waits for the lookup of word, closes the window with Esc."""
        run = subprocess.Popen(command, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True)
        try:
            end = time.monotonic() + DEADLINE
            while f"/dict/ru?w={word}" not in self.requests():
                self.assertLess(time.monotonic(), end, self.requests())
                self.assertIsNone(run.poll(), run.stderr.read() if run.poll() is not None else "")
                time.sleep(0.1)
            window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                     "KV Quillbridge"], capture_output=True, text=True,
                                    timeout=DEADLINE).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=DEADLINE)
            subprocess.run(["xdotool", "key", "Escape"], check=True)
            out, err = run.communicate(timeout=DEADLINE)
        finally:
            if run.poll() is None:
                run.kill()
                run.communicate()
        return run.returncode, out, err

    def test_a_host_built_with_pkg_config_looks_a_word_up(self):
        self.assertTrue(self.plugin.startswith(self.root) and os.path.isfile(self.plugin), self.plugin)
        host = os.path.join(self.tmp.name, "host")
        subprocess.run(["cc", "-std=c11", "-Wall", "-Wextra", "-Werror", "-pedantic",
                        os.path.join(SOURCE, "examples", "host.c"), "-o", host,
                        *self.pkg_config("--cflags", "--libs").split(),
                        f'-DQUILLBRIDGE_PLUGIN="{self.plugin}"'], check=True)
        code, out, err = self.look_up_and_close([host, "kass"], "kass")
        self.assertEqual(code, 0, err)
        self.assertEqual(out, "Quillbridge 1.2\nQuillbridgeRun: 0\n")

    def test_the_installed_site_has_the_help_pages_and_the_real_published_lists(self):
        (site,) = glob.glob(os.path.join(self.root, "**", "share", "quillbridge", "site"), recursive=True)
        # The demo dictionaries belong to the development site only.
        self.assertEqual(os.listdir(site), ["quillbridge"])
        for page in ("index.html", "about.html"):
            self.assertTrue(os.path.isfile(os.path.join(site, "quillbridge", page)), page)
        dumps = {name: subprocess.run([self.kvd, "dump", os.path.join(site, "quillbridge", name)],
                                      capture_output=True, text=True, check=True).stdout.splitlines()
                 for name in ("dict.kvd", "predict.kvd")}
        # The first entry chosen; real addresses, each with its encoding.
        self.assertEqual(dumps["dict.kvd"][0], "selection 0")
        entries = [line.split("\t") for line in dumps["dict.kvd"][1:]]
        self.assertIn(["Vikisõnastik", "utf8", "https://et.wiktionary.org/wiki/"], entries)
        self.assertEqual(entries[0][0], "ÕS 2025: Eesti õigekeelsussõnaraamat")
        self.assertEqual(len(entries), 5)
        self.assertTrue(all(address.startswith("https://") for _, _, address in entries), entries)
        self.assertEqual(dumps["predict.kvd"], ["selection 0"])

    def test_the_installed_help_and_manual_page_tell_the_installed_paths(self):
        (site,) = glob.glob(os.path.join(self.root, "**", "site", "quillbridge"), recursive=True)
        with open(os.path.join(site, "sonastikud.html"), encoding="utf-8") as f:
            page = f.read()
        # The installed library's folder is not the user's to write.
        self.assertNotIn("teegiga samas kaustas", page)
        self.assertIn("<code>~/.local/share/quillbridge/</code>", page)
        (manual,) = glob.glob(os.path.join(self.root, "**", "man1", "quillbridge.1.gz"), recursive=True)
        with gzip.open(manual, "rt", encoding="utf-8") as f:
            manual_text = f.read().replace("\\-", "-")
        self.assertNotIn("examples/", manual_text)
        # The editor hosts where Debian's Vim and Emacs look, each named by the manual page.
        for pattern in ("vim/vimfiles/plugin/quillbridge.vim", "emacs/site-lisp/quillbridge/quillbridge.el",
                        "quillbridge/libreoffice/quillbridge.py"):
            with self.subTest(host=pattern):
                (path,) = glob.glob(os.path.join(self.root, "**", "share", pattern), recursive=True)
                self.assertIn("/" + os.path.relpath(path, self.root), manual_text)

    def test_the_installed_program_starts_quietly(self):
        run = subprocess.run([self.program, "--version"], env=self.env, capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn(self.plugin, run.stdout)
        if os.geteuid() == 0:
            # As root the program switches the browser's sandbox off itself, and says so.
            for name in ("QTWEBENGINE_DISABLE_SANDBOX", "QTWEBENGINE_CHROMIUM_FLAGS"):
                self.env.pop(name, None)
        # The word comes from the clipboard, through the helper installed beside the library.
        owner = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-in"], stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        owner.stdin.write(b"Kass!")
        owner.stdin.close()
        try:
            end = time.monotonic() + DEADLINE
            while subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True).stdout != b"Kass!":
                self.assertLess(time.monotonic(), end, "the clipboard was never taken")
                time.sleep(0.1)
            code, _, err = self.look_up_and_close([self.program, "--clipboard"], "Kass")
        finally:
            owner.kill()
            owner.wait()
        self.assertEqual(code, 0, err)
        notice = "quillbridge: running as root: the browser's sandbox is switched off"
        lines = [line for line in err.splitlines() if not line.startswith(notice)]
        self.assertEqual(lines, [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
