"""The installer of scripts/package-windows under Wine, as a user runs it: a
silent install for the user alone, the installed quillbridge.exe looking a word
up and keeping its catalogue beside the library, or in %APPDATA%\\Quillbridge
when the program's folder cannot be written, and a silent uninstall that
leaves the user's catalogues unless told /PURGE.

    test_windows_installer.py INSTALLER BUILD TOOLS [LINUX_KVD] [unittest arguments]

BUILD is a Windows build of the installer's architecture: its wine-run and
prefix run everything, TOOLS holds its window_probe.exe.
"""
import glob
import os
import shutil
import subprocess
import sys
import unittest

from wine_session import DEADLINE, SHEET, WineSession, configure

INSTALLER = os.path.abspath(sys.argv.pop(1))
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbridge"


class WindowsInstaller(WineSession):
    def setUp(self):
        super().setUp()
        self.programs_glob = os.path.join(self.BUILD, "wine-prefix", "drive_c", "users", "*", "AppData",
                                          "Local", "Programs", "Quillbridge")
        self.remove_installation()
        self.addCleanup(self.remove_installation)

    def remove_installation(self):
        for folder in glob.glob(self.programs_glob):
            self.make_writable(folder)
            shutil.rmtree(folder)
        self.wine("reg", "delete", UNINSTALL_KEY, "/f")

    def install(self):
        code, out = self.wine(INSTALLER, "/S", timeout=4 * DEADLINE)
        self.assertEqual(code, 0, out)
        folders = glob.glob(self.programs_glob)
        self.assertEqual(len(folders), 1, "not installed into %LOCALAPPDATA%\\Programs\\Quillbridge")
        return folders[0]

    def uninstall(self, folder, *options):
        self.wine(os.path.join(folder, "uninstall.exe"), "/S", *options, timeout=4 * DEADLINE)
        # The uninstaller goes on in a copy of itself after the first one ends.
        self.wait_for(lambda: not os.path.exists(os.path.join(folder, "uninstall.exe")),
                      "the uninstaller did not remove itself")
        self.wait_for(lambda: not os.path.exists(os.path.join(folder, "quillbridge.dll")),
                      "the uninstaller left the library")

    def registered(self):
        return self.wine("reg", "query", UNINSTALL_KEY)[1]

    def make_unwritable(self, folder):
        # Wine takes its permissions from the folder's: for root, which may
        # write anywhere, only an immutable folder is closed.
        if os.geteuid() == 0:
            subprocess.run(["chattr", "+i", folder], check=True)
        else:
            os.chmod(folder, 0o555)

    def make_writable(self, folder):
        if os.geteuid() == 0:
            subprocess.run(["chattr", "-i", folder], capture_output=True)
        os.chmod(folder, 0o755)

    def add_dictionary_and_look_up(self, host, name):
        """In the installed program: a dictionary added on "Sõnastikud", then
        "kass" looked up in it (the only one, so the chosen one)."""
        run = self.start(host, "kass")
        self.wait_for_window(SHEET)
        page = self.show_tab(1)
        self.click(self.control(page, cls="Button", text="Lisa...")["rect"])
        self.wait_for_window("Sõnastik")
        self.type("Sõnastik", name)
        self.keys("Sõnastik", "Tab")
        self.type("Sõnastik", f"{self.site}/dict/{name}?w=")
        self.keys("Sõnastik", "Return")
        self.wait_for_no_window("Sõnastik")
        self.show_tab(0)
        self.click(self.wait_for_control(SHEET, cls="Edit", id=1002)["rect"])
        self.keys(SHEET, "Return")
        self.wait_for_request(f"/dict/{name}?w=kass")
        self.assertEqual(self.close_sheet(run), 0)
        return f"{name}\tutf8\t{self.site}/dict/{name}?w=\n"

    def test_install_use_and_uninstall_for_one_user(self):
        folder = self.install()
        for name in ("quillbridge.dll", "quillbridge.exe", "quillbridge-kvd.exe", "README.txt",
                     os.path.join("site", "index.html"), os.path.join("site", "dict.kvd")):
            self.assertTrue(os.path.exists(os.path.join(folder, name)), name)
        # For this user alone, the uninstaller registered with the user's settings.
        self.assertIn("uninstall.exe", self.registered())
        host = os.path.join(folder, "quillbridge.exe")
        beside = os.path.join(folder, "dict.kvd")
        entry = self.add_dictionary_and_look_up(host, "Esimene")
        self.assertIn(entry, self.dump(beside))
        # The user's folder has the word history, and no catalogue.
        self.assertFalse(os.path.exists(os.path.join(self.user_folder() or "-", "dict.kvd")))
        # A folder the user cannot write, as Program Files is.
        kept = beside + ".kept"
        os.replace(beside, kept)
        if os.path.exists(os.path.join(folder, "predict.kvd")):
            os.remove(os.path.join(folder, "predict.kvd"))
        self.make_unwritable(folder)
        try:
            entry = self.add_dictionary_and_look_up(host, "Teine")
        finally:
            self.make_writable(folder)
        self.assertFalse(os.path.exists(beside))
        users = os.path.join(self.user_folder(), "dict.kvd")
        self.assertIn(entry, self.dump(users))
        # Uninstalled, the program is gone and both catalogues stay.
        os.replace(kept, beside)
        self.uninstall(folder)
        # The catalogue with the lock of its saves, nothing else.
        self.wait_for(lambda: sorted(os.listdir(folder)) == ["dict.kvd", "dict.kvd.lock"],
                      f"the uninstaller left {sorted(os.listdir(folder))}")
        self.assertTrue(os.path.exists(users))
        self.assertNotIn("uninstall.exe", self.registered())
        # Asked to, it takes them too.
        folder = self.install()
        self.uninstall(folder, "/PURGE")
        self.wait_for(lambda: not os.path.exists(folder), "the purge left the program's folder")
        self.assertIsNone(self.user_folder())



if __name__ == "__main__":
    configure()
    unittest.main(verbosity=2)
