"""The download of a published list over WinINet under Wine, against the site
server on 127.0.0.1 (and a listener that never answers): what the server
receives, what comes back, and the Estonian messages of the limits.

    test_windows_download.py BUILD TOOLS [unittest arguments]
"""
import os
import socket
import subprocess
import unittest

from wine_session import DEADLINE, WineSession, configure

# A published list as quillbridge-kvd writes it: the selection, then entries
# of three NUL-terminated UTF-16LE strings, no end record.
ROWS = [("Õigekeelsus", "baltic", "http://127.0.0.1/os?w="),
        ("Vene", "utf8", "http://127.0.0.1/ru?w=")]


class WindowsDownload(WineSession):
    def fetch(self, name, *limits):
        program = os.path.join(self.TOOLS, "fetch_published_list.exe")
        run = subprocess.run([self.wine_run, program, name, *map(str, limits)], env=self.env,
                             capture_output=True, timeout=DEADLINE * 3, cwd=self.dir)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout.decode("utf-8").replace("\r\n", "\n").splitlines()

    def test_a_list_comes_from_the_origin_server_within_its_limits(self):
        with open(os.path.join(self.published, "dict.kvd"), "wb") as f:
            f.write(bytes(4))
            for row in ROWS:
                f.write("".join(field + "\0" for field in row).encode("utf-16-le"))
        self.assertEqual(self.fetch("dict.kvd"), ["\t".join(row) for row in ROWS])
        # The module's name as the agent; nothing from a cache on the way.
        self.assertEqual(self.lines(), [["GET", "/quillbridge/dict.kvd", "fetch_published_list",
                                         "no-cache"]])

        # A list far over the cap is stopped there, and said so in Estonian.
        self.env["QUILLBRIDGE_SITE_BASE"] = f"{self.site}/huge/"
        self.assertEqual(self.fetch("dict.kvd", 1048576, 30000, 60000),
                         ["error 12019: Server saatis rohkem kui 1048576 baiti: nii suurt "
                          "sõnastike loendit ei ole. Laadimine katkestati."])

        # A server that takes the request and never answers: the idle limit.
        with socket.socket() as silent:
            silent.bind(("127.0.0.1", 0))
            silent.listen()
            self.env["QUILLBRIDGE_SITE_BASE"] = f"http://127.0.0.1:{silent.getsockname()[1]}/quillbridge/"
            self.assertEqual(self.fetch("dict.kvd", 1048576, 1500, 60000),
                             ["error 12002: Server ei saatnud 1,5 sekundi jooksul oma vastuse päist "
                              "lõpuni. Laadimine katkestati."])
        # Nobody there: the connection's failure, with its number.
        with socket.socket() as closed:
            closed.bind(("127.0.0.1", 0))
            port = closed.getsockname()[1]
        self.env["QUILLBRIDGE_SITE_BASE"] = f"http://127.0.0.1:{port}/quillbridge/"
        [line] = self.fetch("dict.kvd")
        self.assertTrue(line.startswith("error 12029: "), line)


if __name__ == "__main__":
    configure()
    unittest.main()
