"""The Windows quillbridge-kvd against the Linux one: from the same lists the
same bytes, and the same lines from a file the other wrote, also under a
folder and file names only a wide-character command line passes whole.

usage: kvd_across_platforms.py SITE LINUX_KVD WINDOWS_COMMAND...
"""
import os
import subprocess
import sys
import tempfile
import unittest

SITE = sys.argv[1]
LINUX = [sys.argv[2]]
WINDOWS = sys.argv[3:]
del sys.argv[1:]


def run(tool, *args):
    r = subprocess.run([*tool, *args], capture_output=True)
    return r.returncode, r.stdout, r.stderr


class KvdAcrossPlatforms(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = os.path.join(self.tmp.name, "kaust õäöü šž")
        os.mkdir(self.dir)

    def tearDown(self):
        self.tmp.cleanup()

    def test_build_and_dump_agree(self):
        lists = [os.path.join(SITE, "quillbridge", n) for n in ("dict.tsv", "predict.tsv")]
        own = os.path.join(self.dir, "sõnastikud ž.tsv")
        with open(own, "w", encoding="utf-8") as f:
            f.write("Õigekeelsus\tbaltic\thttp://a.ee/õ?w=\nРусский\tutf8\thttp://b.ru/слово=\n")
        for tsv in lists + [own]:
            with self.subTest(tsv):
                linux = os.path.join(self.dir, "linux õ.kvd")
                windows = os.path.join(self.dir, "windows õ.kvd")
                self.assertEqual(run(LINUX, "build", "--selection", "2", tsv, linux)[0], 0)
                code, _, err = run(WINDOWS, "build", "--selection", "2", tsv, windows)
                self.assertEqual(code, 0, err)
                with open(linux, "rb") as a, open(windows, "rb") as b:
                    data = a.read()
                    self.assertGreater(len(data), 4)
                    self.assertEqual(b.read(), data)
                # Each reads what the other wrote, line for line.
                self.assertEqual(run(WINDOWS, "dump", linux), run(LINUX, "dump", linux))
                self.assertEqual(run(LINUX, "dump", windows), run(WINDOWS, "dump", linux))


if __name__ == "__main__":
    unittest.main()
