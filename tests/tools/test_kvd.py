"""quillbridge-kvd as the maker and the curious use it: exact bytes, texts and exit codes."""
import os
import subprocess
import sys
import tempfile
import unittest

# The tool's command: its path, or for a Windows build the runner and its path.
KVD = sys.argv[1:] or ["quillbridge-kvd"]
del sys.argv[1:]

EXAMPLE = bytes.fromhex("01000000 41006200 0000 75007400 66003800 0000 7100 0000".replace(" ", ""))


def run(*args):
    return subprocess.run([*KVD, *args], capture_output=True, text=True, encoding="utf-8")


def u16(text):
    return text.encode("utf-16-le") + b"\0\0"


class KvdTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def test_build_writes_the_example_file_and_dump_reads_it(self):
        tsv = self.write("ex.tsv", "Ab\tutf8\tq\n".encode())
        r = run("build", "--selection", "1", tsv, self.path("ex.kvd"))
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(self.path("ex.kvd"), "rb") as f:
            self.assertEqual(f.read(), EXAMPLE)
        r = run("dump", self.path("ex.kvd"))
        self.assertEqual((r.returncode, r.stdout), (0, "selection 1\nAb\tutf8\tq\n"))

    def test_round_trip_of_estonian_and_cyrillic_in_order(self):
        rows = ["Õigekeelsus\tbaltic\thttp://a.ee/õ?w=", "Русский\tutf8\thttp://b.ru/слово=",
                "Šveits\twestern\thttp://c.ch/"]
        # Notes on lines of their own, for whoever keeps the list, are left out.
        text = "# checked at ...\n" + "\n#\tnot\tan entry\n".join(rows) + "\r\n\n"
        tsv = self.write("l.tsv", text.encode())
        self.assertEqual(run("build", tsv, self.path("l.kvd")).returncode, 0)
        r = run("dump", self.path("l.kvd"))
        self.assertEqual(r.stdout, "selection 0\n" + "\n".join(rows) + "\n")

    def test_dump_of_damaged_files(self):
        head = b"\2\0\0\0"
        rec = u16("A") + u16("utf8") + u16("http://a/")
        cases = {
            "cut inside a string": (head + rec + u16("B") + b"u\0t", ["A"], 2),
            "odd final byte": (head + rec + b"\x41", ["A"], 2),
            "three bytes after header": (head + b"\x41\x00\x62", [], 2),
            "header FF FF FF FF": (b"\xff\xff\xff\xff" + rec, ["A"], -1),
            "empty field ends the list": (head + rec + u16("B") + u16("") + u16("b") + rec,
                                          ["A"], 2),
            "header only": (head, [], 2),
        }
        for what, (data, names, selection) in cases.items():
            with self.subTest(what):
                r = run("dump", self.write("d.kvd", data))
                self.assertEqual(r.returncode, 0)
                lines = r.stdout.splitlines()
                self.assertEqual(lines[0], f"selection {selection}")
                self.assertEqual([l.split("\t")[0] for l in lines[1:]], names)

    def test_dump_refuses_missing_and_short_files_folders_and_fifos(self):
        os.mkfifo(self.path("fifo.kvd"))
        os.mkdir(self.path("folder.kvd"))
        for path in (self.path("missing.kvd"), self.write("s.kvd", b"\1\0\0"), self.path("fifo.kvd"),
                     self.path("folder.kvd")):
            r = run("dump", path)
            self.assertEqual(r.returncode, 1)
            self.assertEqual(r.stdout, "")
            self.assertTrue(r.stderr)

    def test_build_rejects_bad_lines_and_leaves_out_alone(self):
        out = self.write("out.kvd", EXAMPLE)
        for body, line in (("a\tutf8\tx\nb\tutf8\n", 2), ("a\tutf8\tx\n\n\tutf8\tx\n", 3),
                           ("a\tutf8\tx\td\n", 1)):
            with self.subTest(body):
                r = run("build", self.write("bad.tsv", body.encode()), out)
                self.assertEqual(r.returncode, 2)
                self.assertIn(f"line {line}", r.stderr)
                with open(out, "rb") as f:
                    self.assertEqual(f.read(), EXAMPLE)
        r = run("build", self.path("bad.tsv"), self.path("new.kvd"))
        self.assertEqual(r.returncode, 2)
        self.assertFalse(os.path.exists(self.path("new.kvd")))

    def test_escape_table(self):
        table = {
            "Tere päev": ("Tere%20p%C3%A4ev", "Tere%20p%E4ev", "Tere%20p%E4ev"),
            "šokk": ("%C5%A1okk", "%F0okk", "%9Aokk"),
            "100% + 1": ("100%25%20%2B%201",) * 3,
        }
        for text, expected in table.items():
            got = tuple(run("escape", enc, text).stdout for enc in ("utf8", "baltic", "western"))
            self.assertEqual(got, tuple(e + "\n" for e in expected))
        self.assertEqual(run("escape", "utf8", "\U0001F600").stdout, "%ED%A0%BD%ED%B8%80\n")
        self.assertEqual(run("escape", "UTF8", "maja").stdout, "\n")

    def test_url(self):
        r = run("url", "maja", "baltic", "http://x.ee/a?b=c&w=")
        self.assertEqual(r.stdout, "http://x.ee/a?b=c&w=maja\n")
        r = run("url", "õ", "baltic", "http://x.ee/a?b=c&w=", "utf8", "http://p.ee/p")
        self.assertEqual(
            r.stdout,
            "http://p.ee/p?dict=http%3A%2F%2Fx%2Eee%2Fa%3Fb%3Dc%26w%3D&codepage=baltic&word=%C3%B5\n")
        r = run("url", "", "utf8", "http://x/")
        self.assertEqual((r.returncode, r.stdout, r.stderr), (1, "", "input missing\n"))

    def test_usage(self):
        r = run("--help")
        self.assertEqual(r.returncode, 0)
        self.assertIn("quillbridge-kvd dump FILE", r.stdout)
        for args in ((), ("dump",), ("url", "a", "b"), ("build", "--selection", "x", "a", "b"),
                     ("frobnicate", "x")):
            r = run(*args)
            self.assertEqual(r.returncode, 2, args)
            self.assertIn("usage:", r.stderr)


if __name__ == "__main__":
    unittest.main()
