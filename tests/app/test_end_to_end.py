"""End-to-end tests through the real quillbridge.so and the quillbridge program.

Each test lays out a fresh directory holding a copy of the library (so that its
catalogue files are written there), starts the maker's site and a dictionary
program on 127.0.0.1, and runs one scenario of e2e_driver, or the quillbridge
program itself under xdotool.
"""
import fcntl
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from unittest import mock

from private_home import private_home

BUILD = sys.argv.pop(1)
HERE = os.path.dirname(os.path.abspath(__file__))
LIBRARY = os.path.join(BUILD, "quillbridge.so")
HOST = os.path.join(BUILD, "quillbridge")
KVD = os.path.join(BUILD, "quillbridge-kvd")
DRIVER = os.path.join(BUILD, "tests", "app", "e2e_driver")
# Waits end when what they wait for comes; the deadlines are for a machine
# that is busy with other work too.
DEADLINE = 60


class EndToEnd(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="qb-e2e-")
        self.dir = self.tmp.name
        shutil.copy(LIBRARY, self.dir)
        self.log = os.path.join(self.dir, "requests.log")
        open(self.log, "w").close()
        self.server = subprocess.Popen([sys.executable, os.path.join(HERE, "site_server.py"), self.log],
                                       stdout=subprocess.PIPE, text=True)
        self.port = int(self.server.stdout.readline())
        self.site = f"http://127.0.0.1:{self.port}"
        # The user's own folders stay untouched, and a window the user has open
        # never receives a test's word: every program a test starts, with or
        # without env=self.env, gets a home of its own.
        home = mock.patch.dict(os.environ, private_home(os.path.join(self.dir, "home")))
        home.start()
        self.addCleanup(home.stop)
        self.env = dict(os.environ, QUILLBRIDGE_SITE_BASE=f"{self.site}/quillbridge/")

    def tearDown(self):
        self.server.kill()
        self.server.wait()
        self.server.stdout.close()
        self.tmp.cleanup()

    def catalogue(self, name, rows, selection=0):
        tsv = os.path.join(self.dir, name + ".tsv")
        with open(tsv, "w", encoding="utf-8") as f:
            f.writelines("\t".join(row) + "\n" for row in rows)
        subprocess.run([KVD, "build", "--selection", str(selection), tsv, os.path.join(self.dir, name)],
                       check=True)
        os.remove(tsv)

    def dictionaries(self, selection=1, predict_selection=0):
        self.catalogue("dict.kvd", [("Õigekeelsus", "baltic", f"{self.site}/dict/os?w="),
                                    ("Vene", "utf8", f"{self.site}/dict/ru?w=")], selection)
        self.catalogue("predict.kvd", [("Eel", "utf8", f"{self.site}/pre")], predict_selection)

    def drive(self, scenario, *extra, as_user=()):
        run = subprocess.run([*as_user, DRIVER, os.path.join(self.dir, "quillbridge.so"), scenario, *extra],
                             env=self.env, capture_output=True, text=True, timeout=4 * DEADLINE)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr[-3000:])
        self.stderr = run.stderr
        return run.stdout

    def requests(self):
        with open(self.log, encoding="utf-8") as f:
            # A line still being written is not a request yet.
            return [line.split(" ")[1] for line in f
                    if line.endswith("\n") and " /favicon.ico " not in line]

    def size(self, name):
        path = os.path.join(self.dir, name)
        return os.path.getsize(path) if os.path.exists(path) else -1

    def test_word_is_looked_up_in_the_remembered_dictionary(self):
        self.dictionaries(selection=1)
        self.drive("word")
        self.assertIn("/dict/ru?w=%C3%B5un", self.requests())

    def test_word_goes_through_the_remembered_pre_dictionary(self):
        self.dictionaries(selection=0, predict_selection=1)
        self.drive("word")
        # The address is composed with %2E for each full stop; the browser sends
        # that unreserved character plain, which is the same address.
        dict_url = f"http%3A%2F%2F127.0.0.1%3A{self.port}%2Fdict%2Fos%3Fw%3D"
        self.assertIn(f"/pre?dict={dict_url}&codepage=baltic&word=%C3%B5un", self.requests())

    def test_no_word_shows_the_fallback_page_silently(self):
        self.dictionaries()
        self.drive("noword")
        self.assertEqual(self.requests(), ["/quillbridge/about.html"])

    def test_missing_input_asks_then_shows_the_fallback_page(self):
        self.drive("missing-input")  # no catalogue files: no dictionary to choose
        # The fallback page may come from the browser's cache the second time.
        self.assertEqual(set(self.requests()), {"/quillbridge/about.html"})

    def test_keys_tabs_and_help(self):
        self.dictionaries()
        for host in ((), ("qt-host",)):
            with self.subTest(host=host):
                open(self.log, "w").close()
                self.drive("keys", *host)
                got = self.requests()
                self.assertEqual(got.count("/quillbridge/"), 1, got)
                for word in ("maja", "kass", "koer"):
                    self.assertIn(f"/dict/ru?w={word}", got)

    def test_esc_closes_from_every_page(self):
        self.dictionaries()
        for page in range(4):
            with self.subTest(page=page):
                self.drive(f"esc{page}")

    def test_esc_closes_with_the_focus_inside_the_answer_and_the_help_page(self):
        self.dictionaries()
        for page in (0, 3):
            with self.subTest(page=page):
                self.drive(f"escin{page}")

    def test_the_published_site_from_no_catalogue_files_to_an_answer(self):
        server = subprocess.Popen([os.path.join(HERE, "..", "..", "scripts", "site-server"), KVD],
                                  stdout=subprocess.PIPE, text=True)
        try:
            self.env["QUILLBRIDGE_SITE_BASE"] = f"http://127.0.0.1:{int(server.stdout.readline())}/quillbridge/"
            self.drive("site")
        finally:
            server.kill()
            server.wait()
            server.stdout.close()
        dump = subprocess.run([KVD, "dump", os.path.join(self.dir, "dict.kvd")],
                              capture_output=True, text=True, check=True).stdout
        self.assertIn("Demo: eesti seletav (baltic)\tbaltic\t", dump)

    def test_two_runs_share_choices_and_entries(self):
        for scenario in ("two-runs", "two-threads"):
            with self.subTest(scenario):
                self.dictionaries(selection=0)
                self.drive(scenario)
                dump = subprocess.run([KVD, "dump", os.path.join(self.dir, "dict.kvd")],
                                      capture_output=True, text=True, check=True).stdout
                self.assertTrue(dump.startswith("selection 1\n"), dump)
                self.assertIn("Uus sõnastik\tutf8\thttp://uus/\n", dump)

    def data_folder(self):
        """A data folder of the test's own as HOME and XDG_DATA_HOME, with the
        config and state folders in it."""
        data = os.path.join(self.dir, "data")
        os.makedirs(data, exist_ok=True)
        self.env.update(XDG_DATA_HOME=data, HOME=data, XDG_CONFIG_HOME=os.path.join(data, "config"),
                        XDG_STATE_HOME=os.path.join(data, "state"))
        return data

    def other_user(self, data=None):
        """The command prefix of runs for which permission bits count: as nobody
        when the tests run as root (nobody then owns data and gets a copy of the
        display's key)."""
        if os.geteuid() != 0:
            return ()
        if data:
            os.chown(data, 65534, 65534)
        if self.env.get("XAUTHORITY"):
            key = os.path.join(self.dir, "xauthority")
            shutil.copy(self.env["XAUTHORITY"], key)
            os.chmod(key, 0o644)
            self.env["XAUTHORITY"] = key
        return ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")

    def dump(self, path):
        return subprocess.run([KVD, "dump", path], capture_output=True, text=True, check=True).stdout

    @staticmethod
    def listing(folder):
        """Every file and folder under folder, as paths relative to it, sorted."""
        return sorted(os.path.relpath(os.path.join(top, name), folder)
                      for top, folders, files in os.walk(folder) for name in folders + files)

    def identities(self, folder):
        return {name: (st.st_ino, st.st_mtime_ns, st.st_size)
                for name in os.listdir(folder) if name != "requests.log"
                for st in [os.stat(os.path.join(folder, name))]}

    def test_edits_survive_a_library_folder_that_cannot_be_written(self):
        data = self.data_folder()
        as_user = self.other_user(data)
        self.dictionaries(selection=0)
        beside = {name: open(os.path.join(self.dir, name), "rb").read() for name in os.listdir(self.dir)
                  if name.endswith(".kvd")}
        listing = sorted(os.listdir(self.dir))
        os.chmod(self.dir, 0o555)
        try:
            self.drive("two-runs", as_user=as_user)  # adds an entry and chooses the second row
            self.drive("word", as_user=as_user)
        finally:
            os.chmod(self.dir, 0o755)
        # The next run read the choice saved in the user's folder.
        self.assertIn("/dict/ru?w=%C3%B5un", self.requests())
        dump = subprocess.run([KVD, "dump", os.path.join(data, "quillbridge", "dict.kvd")],
                              capture_output=True, text=True, check=True).stdout
        self.assertIn("Uus sõnastik\tutf8\thttp://uus/\n", dump)
        self.assertEqual(sorted(os.listdir(self.dir)), listing)
        for name, content in beside.items():
            with open(os.path.join(self.dir, name), "rb") as f:
                self.assertEqual(f.read(), content, name)

    def test_a_run_without_edits_writes_nothing(self):
        data = self.data_folder()
        shutil.copy(HOST, self.dir)
        # No catalogue files: none is made, when the run returns or at exit.
        self.drive("files")
        self.assertEqual((self.size("dict.kvd"), self.size("predict.kvd")), (-1, -1))
        # With catalogues, a look-up and --version leave every file as it was;
        # the user's folder gets only the history of the words looked up.
        self.dictionaries()
        before = self.identities(self.dir)
        before.pop("data")
        self.drive("word")
        run = subprocess.run([os.path.join(self.dir, "quillbridge"), "--version"], env=self.env,
                             capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        after = self.identities(self.dir)
        after.pop("data")
        self.assertEqual(after, before)
        history = ["state", "state/quillbridge", "state/quillbridge/history.txt",
                   "state/quillbridge/history.txt.lock"]
        self.assertEqual(self.listing(data), history)
        shutil.rmtree(os.path.join(data, "state"))
        # From the installed published list, which is read and left alone.
        site = os.path.join(self.dir, "site", "quillbridge")
        os.makedirs(site)
        for name in ("dict.kvd", "predict.kvd"):
            os.replace(os.path.join(self.dir, name), os.path.join(site, name))
        self.env["QUILLBRIDGE_SITE_BASE"] = f"file://{site}/"
        before, installed = self.identities(self.dir), self.identities(site)
        before.pop("data")
        open(self.log, "w").close()
        self.drive("word")
        self.assertIn("/dict/ru?w=%C3%B5un", self.requests())
        after = self.identities(self.dir)
        after.pop("data")
        self.assertEqual((after, self.identities(site)), (before, installed))
        self.assertEqual(self.listing(data), history)

    def test_without_a_display_the_run_fails_cleanly(self):
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(name, None)
        self.data_folder()
        self.drive("nodisplay")
        self.assertEqual((self.size("dict.kvd"), self.size("predict.kvd")), (-1, -1))

    def test_the_users_copy_outlives_a_newer_file_beside_the_library(self):
        data = self.data_folder()
        self.catalogue("dict.kvd", [("Vene", "utf8", f"{self.site}/dict/ru?w=")], selection=0)
        os.mkdir(os.path.join(data, "quillbridge"), 0o700)
        users = os.path.join(data, "quillbridge", "dict.kvd")
        os.replace(os.path.join(self.dir, "dict.kvd"), users)
        as_user = self.other_user(data)
        if as_user:
            for path in (os.path.join(data, "quillbridge"), users):
                os.chown(path, 65534, 65534)
        shutil.copy(HOST, self.dir)
        program = os.path.join(self.dir, "quillbridge")
        # The administrator's --version, in a home of its own, creates nothing.
        admin = dict(self.env, HOME=os.path.join(self.dir, "admin"), XDG_DATA_HOME="")
        listing = sorted(os.listdir(self.dir))
        run = subprocess.run([program, "--version"], env=admin, capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(sorted(os.listdir(self.dir)), listing)
        self.assertFalse(os.path.exists(admin["HOME"]))
        # What such a run of an older version left beside the library: empty
        # catalogues newer than the user's copy.
        for name in ("dict.kvd", "predict.kvd"):
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(bytes(4))
        os.utime(users, ns=(0, os.stat(os.path.join(self.dir, "dict.kvd")).st_mtime_ns - 10**9))
        os.chmod(self.dir, 0o555)
        try:
            run = subprocess.run([*as_user, program, "--version"], env=self.env, capture_output=True,
                                 text=True)
            self.drive("word", as_user=as_user)
        finally:
            os.chmod(self.dir, 0o755)
        self.assertIn(f"dict.kvd: {users}\n", run.stdout)
        self.assertIn("/dict/ru?w=%C3%B5un", self.requests())
        self.assertEqual(self.dump(users), f"selection 0\nVene\tutf8\t{self.site}/dict/ru?w=\n")

    def test_two_processes_adding_entries_keep_both(self):
        self.data_folder()
        self.dictionaries()
        go = os.path.join(self.dir, "go")
        names = ("Esimene", "Teine")
        runs = [subprocess.Popen([DRIVER, os.path.join(self.dir, "quillbridge.so"), "add", name, go],
                                 env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                 text=True) for name in names]
        try:
            # Both have read the catalogue and opened their windows before either adds.
            for run in runs:
                self.wait_until_open(run)
            open(go, "w").close()
            for run in runs:
                out = run.stdout.read()
                self.assertEqual(run.wait(timeout=4 * DEADLINE), 0, out)
        finally:
            for run in runs:
                if run.poll() is None:
                    run.kill()
                    run.wait()
                run.stdout.close()
        dump = self.dump(os.path.join(self.dir, "dict.kvd"))
        for name in names:
            self.assertIn(f"{name}\tutf8\thttp://{name}/\n", dump)

    def test_an_unsavable_catalogue_is_asked_about_and_the_old_file_stays(self):
        # Neither the library's folder nor the user's data folder takes a file.
        data = self.data_folder()
        as_user = self.other_user()
        if not as_user:
            os.chmod(data, 0o555)
        self.dictionaries()
        beside = self.identities(self.dir)
        users = os.path.join(data, "quillbridge", "dict.kvd")
        os.chmod(self.dir, 0o555)
        try:
            # Asked twice while the window is open: once more, then closed unsaved.
            self.drive("unsavable", users, as_user=as_user)
        finally:
            os.chmod(self.dir, 0o755)
            os.chmod(data, 0o755)
        # Tried again at exit, when there is no window left to ask in.
        self.assertIn(f"quillbridge: Faili ei saanud salvestada: {users}\nPõhjus: kirjutamisõigus puudub\n", self.stderr)
        self.assertEqual(self.identities(self.dir), beside)
        self.assertEqual(os.listdir(data), [])

    def test_trying_a_failed_save_again_saves_once_the_cause_is_gone(self):
        data = self.data_folder()
        as_user = self.other_user(data)
        self.dictionaries()
        # A file where the user's folder must be made; the run removes it
        # between the second question and its answer.
        blocker = os.path.join(data, "quillbridge")
        open(blocker, "w").close()
        if as_user:
            os.chown(blocker, 65534, 65534)
        os.chmod(self.dir, 0o555)
        try:
            self.drive("unsavable", os.path.join(blocker, "dict.kvd"), blocker, as_user=as_user)
        finally:
            os.chmod(self.dir, 0o755)
        self.assertIn("Uus sõnastik\tutf8\thttp://uus/\n", self.dump(os.path.join(blocker, "dict.kvd")))
        self.assertNotIn("Faili ei saanud salvestada", self.stderr)

    def test_the_end_of_the_session_saves_the_window_as_a_close_does(self):
        for end in ("SIGTERM", "SIGHUP", "SIGINT", "display"):
            with self.subTest(end=end):
                self.dictionaries(selection=0)
                open(self.log, "w").close()
                # A display of its own, which the last case ends under the window.
                xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0",
                                         "1280x1024x24"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True)
                env = dict(self.env, DISPLAY=":" + xvfb.stdout.readline().strip())
                env.pop("XAUTHORITY", None)
                # As a desktop starts it, whatever this test's own runner ignores.
                program = self.program("maja", env=env, preexec_fn=lambda: [
                    signal.signal(number, signal.SIG_DFL) for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT)])
                try:
                    self.wait_for_request("/dict/os?w=maja")
                    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                             "KV Quillbridge"], capture_output=True, text=True,
                                            timeout=DEADLINE, env=env).stdout.split()[0]
                    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=DEADLINE,
                                   env=env)
                    # The other dictionary chosen and looked up in: a choice that
                    # only a close puts into dict.kvd.
                    subprocess.run(["xdotool", "key", "Tab", "Down", "Return"], check=True, env=env)
                    self.wait_for_request("/dict/ru?w=maja")
                    if end == "display":
                        xvfb.kill()
                    else:
                        program.send_signal(getattr(signal, end))
                    _, err = program.communicate(timeout=DEADLINE)
                    self.assertEqual(program.returncode, 0, err[-2000:])
                finally:
                    if program.poll() is None:
                        program.kill()
                        program.communicate()
                    xvfb.kill()
                    xvfb.wait()
                    xvfb.stdout.close()
                self.assertTrue(self.dump(os.path.join(self.dir, "dict.kvd")).startswith("selection 1\n"))

    def test_a_host_keeps_its_own_signal_handlers(self):
        self.dictionaries()
        run = subprocess.Popen([DRIVER, os.path.join(self.dir, "quillbridge.so"), "host-signals"], env=self.env,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            self.wait_until_open(run)
            # Ignored by the host, then the host's own: the window stays open.
            run.send_signal(signal.SIGHUP)
            run.send_signal(signal.SIGTERM)
            out, err = run.communicate(timeout=4 * DEADLINE)
            self.assertEqual(run.returncode, 0, out + err[-3000:])
        finally:
            if run.poll() is None:
                run.kill()
                run.communicate()

    def test_catalogues_beside_a_library_whose_folder_name_is_not_utf8(self):
        folder = os.path.join(os.fsencode(self.dir), b"s\xf5nad")  # "sõnad" in Latin-1
        os.mkdir(folder)
        shutil.copy(LIBRARY, os.path.join(folder, b"quillbridge.so"))
        self.catalogue("dict.kvd", [("Vene", "utf8", f"{self.site}/dict/ru?w=")], selection=0)
        os.replace(os.path.join(self.dir, "dict.kvd"), os.path.join(folder, b"dict.kvd"))
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(name, None)
        run = subprocess.run([DRIVER, os.path.join(folder, b"quillbridge.so"), "nodisplay"],
                             env=self.env, capture_output=True, text=True, timeout=120)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr[-3000:])
        # Loaded from there; unchanged, it is not written, and nothing else is.
        dump = subprocess.run([KVD, "dump", os.path.join(folder, b"dict.kvd")], capture_output=True,
                              text=True, check=True).stdout
        self.assertEqual(dump, f"selection 0\nVene\tutf8\t{self.site}/dict/ru?w=\n")
        self.assertFalse(os.path.exists(os.path.join(folder, b"predict.kvd")))

    def test_the_program_reports_what_keeps_it_from_running(self):
        shutil.copy(HOST, self.dir)
        program = os.path.join(self.dir, "quillbridge")
        run = subprocess.run([program, "--version"], capture_output=True, text=True, env=self.env)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stdout.splitlines()[0],
                         "quillbridge.so: version word 65538 (1.2), file version 2.0.0.1")
        run = subprocess.run([program, "--help"], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0)
        self.assertIn("usage: quillbridge [--] [WORD]", run.stdout)
        # Wrong arguments: the usage on standard error and status 2, as scripts expect.
        for wrong in (["maja", "kass"], ["--no-such-option"]):
            run = subprocess.run([program, *wrong], capture_output=True, text=True, env=self.env)
            self.assertEqual((run.returncode, run.stdout), (2, ""), wrong)
            self.assertTrue(run.stderr.startswith("usage: quillbridge"), run.stderr)
        no_display = {k: v for k, v in self.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        run = subprocess.run([program, "maja"], capture_output=True, text=True, env=no_display)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("no display", run.stderr)
        # A display that does not answer is told as cleanly, before Qt would abort.
        silent = next(n for n in range(55, 200) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
        silent_env = {k: v for k, v in no_display.items() if k != "QT_QPA_PLATFORM"}
        run = subprocess.run([program, "maja"], capture_output=True, text=True,
                             env=dict(silent_env, DISPLAY=f":{silent}"))
        self.assertEqual(run.returncode, 1, run.stderr[-2000:])
        self.assertIn(f"the display :{silent} does not answer", run.stderr)
        os.remove(os.path.join(self.dir, "quillbridge.so"))
        run = subprocess.run([program, "maja"], capture_output=True, text=True, env=self.env)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("cannot load the library", run.stderr)

    def test_the_program_as_a_person_uses_it(self):
        self.dictionaries()
        predict_size = self.size("predict.kvd")
        shutil.copy(HOST, self.dir)
        program = subprocess.Popen([os.path.join(self.dir, "quillbridge"), "maja"], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            self.wait_for_request("/dict/ru?w=maja")
            window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                     "KV Quillbridge"], capture_output=True, text=True,
                                    timeout=DEADLINE).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=DEADLINE)
            subprocess.run(["xdotool", "key", "ctrl+a"], check=True)
            subprocess.run(["xdotool", "type", "kass"], check=True)
            subprocess.run(["xdotool", "key", "Return"], check=True)
            self.wait_for_request("/dict/ru?w=kass")
            shot = os.environ.get("QB_SCREENSHOT")
            if shot:
                time.sleep(1)
                subprocess.run(["import", "-window", window, shot], check=True)
            subprocess.run(["xdotool", "key", "Escape"], check=True)
            self.assertEqual(program.wait(timeout=DEADLINE), 0)
        finally:
            if program.poll() is None:
                program.kill()
            program.communicate()
        self.assertGreater(self.size("dict.kvd"), 4)
        self.assertEqual(self.size("predict.kvd"), predict_size)

    def program(self, *args, **kwargs):
        """Starts the quillbridge program, copied beside the test's library with its helper."""
        for name in ("quillbridge", "quillbridge-selection"):
            if not os.path.exists(os.path.join(self.dir, name)):
                shutil.copy(os.path.join(BUILD, name), self.dir)
        return subprocess.Popen([os.path.join(self.dir, "quillbridge"), *args], env=kwargs.get("env", self.env),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                preexec_fn=kwargs.get("preexec_fn"))

    def windows(self, env=None):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "KV Quillbridge"],
                              capture_output=True, text=True, env=env or self.env).stdout.split()

    def close_window(self, program, env=None):
        env = env or self.env
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "KV Quillbridge"],
                                capture_output=True, text=True, timeout=DEADLINE, env=env).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=DEADLINE, env=env)
        subprocess.run(["xdotool", "key", "Escape"], check=True, env=env)
        try:
            code = program.wait(timeout=DEADLINE)
            err = program.communicate()[1]
            self.assertEqual(code, 0, err[-2000:])
            return err
        finally:
            if program.poll() is None:
                program.kill()
                program.communicate()

    def test_the_selection_and_the_clipboard_are_looked_up(self):
        self.dictionaries()
        # A display of its own: on a shared one any window that selects text
        # takes the selection over.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        env = dict(self.env, DISPLAY=":" + xvfb.stdout.readline().strip())
        env.pop("XAUTHORITY", None)
        cases = [("--selection", "primary", "text/plain", "  Kassid, koerad", "/dict/ru?w=Kassid"),
                 ("--clipboard", "clipboard", "UTF8_STRING", "Õun\nja pirn", "/dict/ru?w=%C3%95un"),
                 # Nothing textual: the window opens with an empty word.
                 ("--selection", "primary", "image/png", "\x89PNG", "/quillbridge/about.html")]
        try:
            for option, selection, kind, text, request in cases:
                with self.subTest(option=option, kind=kind):
                    open(self.log, "w").close()
                    def take():
                        owner = subprocess.Popen(["xclip", "-quiet", "-selection", selection, "-target", kind,
                                                  "-in"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                                 stderr=subprocess.DEVNULL, env=env)
                        try:
                            owner.stdin.write(text.encode())
                            owner.stdin.close()
                        except BrokenPipeError:
                            pass
                        return owner
                    owner = take()
                    try:
                        end = time.monotonic() + DEADLINE
                        while kind not in subprocess.run(["xclip", "-o", "-selection", selection, "-target",
                                                          "TARGETS"], capture_output=True, text=True,
                                                         env=env).stdout:
                            self.assertLess(time.monotonic(), end, "the selection was never taken")
                            # xclip now and then fails to open the display and ends at once;
                            # a new one takes its place.
                            if owner.poll() is not None:
                                owner = take()
                            time.sleep(0.1)
                        program = self.program(option, env=env)
                        self.wait_for_request(request)
                        self.close_window(program, env)
                        self.assertEqual([r for r in self.requests() if r.startswith("/dict/")],
                                         [request] if request.startswith("/dict/") else [])
                    finally:
                        owner.kill()
                        owner.wait()
        finally:
            xvfb.kill()
            xvfb.wait()
            xvfb.stdout.close()

    def keys(self, window, *keys):
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=DEADLINE)
        subprocess.run(["xdotool", "key", "--delay", "100", *keys], check=True)

    def wait_until_open(self, run):
        """Reads the driver's lines until it says its window is open."""
        seen = []
        for line in run.stdout:
            seen.append(line)
            if line == "open\n":
                return
        self.fail("".join(seen))

    def wait_for_window(self, name):
        return subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", name],
                              capture_output=True, text=True, timeout=DEADLINE).stdout.split()[0]

    def wait_for_no_window(self, name):
        end = time.monotonic() + DEADLINE
        while subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], capture_output=True,
                             text=True).stdout.split():
            self.assertLess(time.monotonic(), end, f"{name} is still open")
            time.sleep(0.1)

    def open_entry_dialog(self, window):
        """Presses "Lisa..." on "Sõnastikud" with the keyboard; returns the entry dialog."""
        self.keys(window, "ctrl+Tab", "Tab", "Tab", "space")
        return self.wait_for_window("^Sõnastik$")

    def test_a_second_run_looks_its_word_up_in_the_open_window(self):
        self.dictionaries()
        first = self.program("kass")
        try:
            self.wait_for_request("/dict/ru?w=kass")
            # After "--" a word that starts with a hyphen is a word, not an option
            # (the browser sends the escaped hyphen plain); without, it is refused.
            refused = self.program("-koer")
            self.assertEqual(refused.wait(timeout=DEADLINE), 2)
            refused.communicate()
            for args, request in ((["kala"], "/dict/ru?w=kala"), (["--", "-koer"], "/dict/ru?w=-koer")):
                with self.subTest(args=args):
                    second = self.program(*args)
                    out, err = second.communicate(timeout=DEADLINE)
                    self.assertEqual((second.returncode, err), (0, ""))
                    self.wait_for_request(request)
            self.assertIsNone(first.poll())
            self.assertEqual(len(self.windows()), 1, self.windows())
            # While a dialog of the window waits for the user, the page behind it
            # stays as it is: the window keeps the word, the caller is done at
            # once, and the word is looked up when the dialog closes.
            dialog = self.open_entry_dialog(self.windows()[0])
            busy = self.program("maja")
            _, err = busy.communicate(timeout=DEADLINE)
            self.assertEqual(busy.returncode, 0, err[-2000:])
            self.assertIn("aken ootab vastust ühes oma dialoogis; sõna „maja“ otsitakse, kui see "
                          "dialoog on suletud", err)
            self.assertNotIn("/dict/ru?w=maja", self.requests())
            self.keys(dialog, "Escape")
            self.wait_for_request("/dict/ru?w=maja")
            self.close_window(first)
        finally:
            if first.poll() is None:
                first.kill()
                first.communicate()
        # The window took its socket with it: the next run opens a window again,
        # and so it does when another process hangs holding the socket's lock.
        runtime = self.env["XDG_RUNTIME_DIR"]
        self.assertEqual(os.listdir(runtime), ["quillbridge-window.lock"])
        with open(os.path.join(runtime, "quillbridge-window.lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            alone = self.program("lind")
            try:
                self.wait_for_request("/dict/ru?w=lind")
                # Nothing for the user to worry about.
                self.assertNotIn("quillbridge:", self.close_window(alone))
            finally:
                if alone.poll() is None:
                    alone.kill()
                    alone.communicate()

    def test_a_caller_that_goes_away_cannot_harm_the_open_window(self):
        self.dictionaries()
        first = self.program("kass")
        try:
            self.wait_for_request("/dict/ru?w=kass")
            window = self.windows()[0]
            # An edit, to be saved when the window closes.
            dialog = self.open_entry_dialog(window)
            self.keys(dialog, "U", "u", "s", "Tab", "ctrl+a")
            subprocess.run(["xdotool", "type", "http://uus/"], check=True)
            self.keys(dialog, "Return")
            self.wait_for_no_window("^Sõnastik$")
            address = os.path.join(self.env["XDG_RUNTIME_DIR"], "quillbridge-window")
            # More than a word without its end is cut off, never read on.
            with socket.socket(socket.AF_UNIX) as caller:
                caller.settimeout(DEADLINE)
                caller.connect(address)
                try:
                    caller.sendall(b"a" * (1 << 20) + b"\0")
                    answer = caller.recv(16)
                except (BrokenPipeError, ConnectionResetError):
                    answer = b""
                self.assertEqual(answer, b"")
            # A word the window refuses with a box, its caller gone while the
            # box is up.
            with socket.socket(socket.AF_UNIX) as caller:
                caller.connect(address)
                caller.sendall(b"a" * 300 + b"\0")
                box = self.wait_for_window("^Viga$")
                caller.setblocking(False)
                try:
                    answer = caller.recv(16)
                except BlockingIOError:
                    answer = b""
            self.keys(box, "Return")
            second = self.program("maja")
            end = time.monotonic() + DEADLINE
            while second.poll() is None and first.poll() is None and time.monotonic() < end:
                time.sleep(0.1)
            self.assertIsNone(first.poll(), f"the window ended with {first.returncode}")
            self.assertEqual(second.wait(timeout=DEADLINE), 0, second.communicate()[1][-2000:])
            second.communicate()
            # The caller was answered before the box came up.
            self.assertEqual(answer, b"ok\n")
            self.wait_for_request("/dict/ru?w=maja")
            self.close_window(first)
        finally:
            if first.poll() is None:
                first.kill()
                first.communicate()
        self.assertIn("Uus\tutf8\thttp://uus/\n", self.dump(os.path.join(self.dir, "dict.kvd")))

    def wait_for_request(self, path):
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end:
            if path in self.requests():
                return
            time.sleep(0.1)
        self.fail(f"{path} was never requested: {self.requests()}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
