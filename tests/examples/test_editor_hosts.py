"""The editor hosts of examples/, run headless with a stand-in quillbridge on PATH
that records the arguments it was given.
"""
import importlib.util
import json
import os
import shutil
import subprocess
import sys
import tempfile
import textwrap
import time
import unittest

EXAMPLES = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                        "examples")
DEADLINE = 60
# The text in the editor, where the cursor stands (line 1, character), and the
# word the program must get.
CASES = [("Üks õunapuu, kaks", 7, "õunapuu"),
         ("vaata -ism siin", 8, "-ism"),
         ("rock'n'roll!", 1, "rock'n'roll")]
# A selected or given text, and the word that goes: trimmed at both ends, the
# first word when white space is inside, the case kept.
TEXTS = [("  läbi tulema\n", "läbi"),
         ("\t-ism \n", "-ism"),
         ("«TALLINN'i», koerad\n", "TALLINN'i")]


class EditorHosts(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="qb-editors-")
        bin_dir = os.path.join(self.tmp.name, "bin")
        os.mkdir(bin_dir)
        self.record = os.path.join(self.tmp.name, "arguments.json")
        stand_in = os.path.join(bin_dir, "quillbridge")
        with open(stand_in, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(f"""\
                #!{sys.executable}
                import json, os, sys
                with open({self.record!r} + ".part", "w", encoding="utf-8") as f:
                    json.dump([os.fsdecode(a) for a in sys.argv[1:]], f)
                os.rename({self.record!r} + ".part", {self.record!r})
                """))
        os.chmod(stand_in, 0o755)
        self.env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], LC_ALL="C.UTF-8")
        for name in ("HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"):
            folder = os.path.join(self.tmp.name, name.lower())
            os.mkdir(folder, 0o700)
            self.env[name] = folder
        self.text = os.path.join(self.tmp.name, "text.txt")

    def tearDown(self):
        self.tmp.cleanup()

    def recorded(self):
        """The arguments the stand-in got; the editors do not wait for it."""
        end = time.monotonic() + DEADLINE
        while not os.path.exists(self.record):
            self.assertLess(time.monotonic(), end, "quillbridge was never started")
            time.sleep(0.05)
        with open(self.record, encoding="utf-8") as f:
            arguments = json.load(f)
        os.remove(self.record)
        return arguments

    def check(self, command, take):
        """take(column) runs the editor on the word under the cursor, take(None)
        on the file's whole text (its first line in Vim, as an argument)."""
        for text, column, word in [(line + "\n", column, word) for line, column, word in CASES] + \
                [(text, None, word) for text, word in TEXTS]:
            with self.subTest(word=word):
                with open(self.text, "w", encoding="utf-8") as f:
                    f.write(text)
                run = subprocess.run(command(take(column)), env=self.env, capture_output=True, text=True,
                                     stdin=subprocess.DEVNULL, timeout=DEADLINE)
                self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
                self.assertEqual(self.recorded(), ["--", word])

    def test_vim(self):
        plugin = os.path.join(EXAMPLES, "vim", "quillbridge.vim")
        self.check(lambda take: ["vim", "-N", "-u", "NONE", "-i", "NONE", "-es",
                                 "-c", f"source {plugin}", "-c", f"edit {self.text}", "-c", take, "-c", "qa!"],
                   lambda column: f"call cursor(1, {column}) | Quillbridge" if column
                   else "execute 'Quillbridge' getline(1)")

    @unittest.skipUnless(shutil.which("emacs"), "emacs is not installed")
    def test_emacs(self):
        library = os.path.join(EXAMPLES, "emacs", "quillbridge.el")
        self.check(lambda take: ["emacs", "--batch", "-Q", "-l", library, self.text, "--eval",
                                 f"(progn {take} (call-interactively #'quillbridge-at-point))"],
                   lambda column: f"(goto-char {column})" if column
                   else "(transient-mark-mode 1) (push-mark (point-min) t t) (goto-char (point-max))")

    def test_libreoffice_text(self):
        spec = importlib.util.spec_from_file_location(
            "quillbridge_macro", os.path.join(EXAMPLES, "libreoffice", "quillbridge.py"))
        macro = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(macro)
        for text, word in TEXTS + [("õunapuu", "õunapuu"), (" \n ", "")]:
            self.assertEqual(macro._first_word(text), word)


if __name__ == "__main__":
    unittest.main(verbosity=2)
