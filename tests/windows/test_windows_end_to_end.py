"""End-to-end tests of quillbridge.dll under Wine, through quillbridge.exe (or
twice_host.exe, which calls the library twice in one process) and a site
server on 127.0.0.1. Wine renders no page here: the tests check what the
server receives, what the windows show and the files left beside the library.

    test_windows_end_to_end.py BUILD TOOLS [LINUX_KVD] [unittest arguments]

QB_SCREENSHOT_DIR=FOLDER also writes pictures of each tab, the entry dialog
and the download selection into FOLDER.
"""
import os
import unittest

from wine_session import SHEET, TABS, WineSession, configure


class WindowsEndToEnd(WineSession):
    def dictionaries(self, selection=0, predict_selection=0):
        self.catalogue(os.path.join(self.dir, "dict.kvd"),
                       [("Vene", "utf8", f"{self.site}/dict/ru?w="),
                        ("Õigekeelsus", "baltic", f"{self.site}/dict/os?w="),
                        ("Lääne", "western", f"{self.site}/dict/we?w=")], selection)
        self.catalogue(os.path.join(self.dir, "predict.kvd"),
                       [("Eel", "utf8", f"{self.site}/pre")], predict_selection)

    def look_up(self, host, *word):
        """Runs the host with the word, waits for the window and returns the run."""
        run = self.start(host, *word)
        self.wait_for_window(SHEET)
        return run

    def test_words_reach_the_dictionary_escaped_in_its_encoding(self):
        host = self.copy_library()
        expected = {"Tere päev": ("Tere%20p%C3%A4ev", "Tere%20p%E4ev", "Tere%20p%E4ev"),
                    "šokk": ("%C5%A1okk", "%F0okk", "%9Aokk"),
                    "100% + 1": ("100%25%20%2B%201",) * 3}
        for selection, path in enumerate(("/dict/ru?w=", "/dict/os?w=", "/dict/we?w=")):
            self.dictionaries(selection)
            for word, escaped in expected.items():
                with self.subTest(word=word, path=path):
                    run = self.look_up(host, word)
                    self.wait_for_request(path + escaped[selection])
                    self.assertEqual(self.close_sheet(run), 0)
        # No word: the fallback page and nothing else.
        open(self.log, "w").close()
        run = self.look_up(host)
        self.wait_for_request("/quillbridge/about.html")
        self.assertEqual(self.close_sheet(run), 0)
        self.assertEqual(self.requests(), ["/quillbridge/about.html"])

    def test_a_pre_dictionary_gets_the_dictionary_its_encoding_and_the_word(self):
        host = self.copy_library()
        self.dictionaries(selection=1, predict_selection=1)
        run = self.look_up(host, "päev")
        # The address is composed with %2E for each full stop; the control sends
        # that unreserved character plain, which is the same address.
        dictionary = f"http%3A%2F%2F127.0.0.1%3A{self.port}%2Fdict%2Fos%3Fw%3D"
        self.wait_for_request(f"/pre?dict={dictionary}&codepage=baltic&word=p%C3%A4ev")
        self.assertEqual(self.close_sheet(run), 0)

    def test_enter_in_the_word_box_looks_up_on_every_visit_of_the_page(self):
        host = self.copy_library()
        self.dictionaries()
        run = self.look_up(host, "maja")
        self.wait_for_request("/dict/ru?w=maja")
        for visit, word in enumerate(("kass", "koer", "lind")):
            with self.subTest(visit=visit):
                if visit:
                    self.show_tab(visit)
                    self.show_tab(0)
                box = self.wait_for_control(SHEET, cls="Edit", id=1002)
                self.click(box["rect"])
                self.keys(SHEET, "End", "shift+Home", "BackSpace")
                self.type(SHEET, word)
                self.keys(SHEET, "Return")
                self.wait_for_request(f"/dict/ru?w={word}")
        self.assertEqual(self.close_sheet(run), 0)

    def test_esc_closes_the_window_from_every_tab(self):
        host = self.copy_library()
        self.dictionaries()
        for index, title in enumerate(TABS):
            with self.subTest(tab=title):
                run = self.look_up(host, "maja")
                self.wait_for_request("/dict/ru?w=maja")
                if index:
                    self.show_tab(index)
                if title == "Abiinfo":
                    self.wait_for_request("/quillbridge/")
                self.screenshot(f"tab-{index}")
                self.assertEqual(self.close_sheet(run), 0)
                open(self.log, "w").close()

    def test_an_entry_added_in_a_first_run_is_listed_in_the_second_and_saved(self):
        host = self.copy_library(host="twice_host.exe")
        self.dictionaries(selection=0)
        dict_file = os.path.join(self.dir, "dict.kvd")
        run = self.look_up(host, "maja")
        self.wait_for_request("/dict/ru?w=maja")
        # The second dictionary chosen on the lookup page.
        combo = self.wait_for_control(SHEET, cls="ComboBox", id=1007)
        self.click(combo["rect"])
        self.keys(SHEET, "Down", "Return")
        self.wait_for(lambda: self.wait_for_control(SHEET, cls="ComboBox", id=1007)["selection"] == 1,
                      "the second dictionary was not chosen")
        # An entry added on "Sõnastikud".
        page = self.show_tab(1)
        self.click(self.control(page, cls="Button", text="Lisa...")["rect"])
        self.wait_for_window("Sõnastik")
        self.screenshot("entry-dialog")
        self.type("Sõnastik", "Uus")
        self.keys("Sõnastik", "Tab")
        self.type("Sõnastik", f"{self.site}/uus?w=")
        self.keys("Sõnastik", "Return")
        self.wait_for_no_window("Sõnastik")
        self.assertEqual(self.close_sheet_of_a_run(run, 1), "run 1: 0")
        # Saved as the first run returned, while the process goes on.
        added = f"Uus\tutf8\t{self.site}/uus?w=\n"
        self.wait_for(lambda: added in self.dump(dict_file), "the first run's entry was not saved")
        self.assertTrue(self.dump(dict_file).startswith("selection 1\n"), self.dump(dict_file))
        # The second window lists it.
        self.wait_for_window(SHEET)
        page = self.show_tab(1)
        rows = [row["texts"] for row in self.control(page, cls="SysListView32")["rows"]]
        self.assertIn(["Uus", "utf8", f"{self.site}/uus?w="], rows)
        self.assertEqual(self.close_sheet_of_a_run(run, 2), "run 2: 0")
        code, _ = self.wait_for_exit(run)
        self.assertEqual(code, 0)
        dump = self.dump(dict_file)
        self.assertEqual(dump, "selection 1\n"
                               f"Vene\tutf8\t{self.site}/dict/ru?w=\n"
                               f"Õigekeelsus\tbaltic\t{self.site}/dict/os?w=\n"
                               f"Lääne\twestern\t{self.site}/dict/we?w=\n" + added)

    def close_sheet_of_a_run(self, run, call):
        """Esc to the sheet of a host that goes on; returns the line the call prints."""
        self.focus_sheet()
        self.keys(SHEET, "Escape")
        return self.wait_for(lambda: [line for line in self.output(run).splitlines()
                                      if line.startswith(f"run {call}:")],
                             f"call {call} did not return")[0]

    def test_the_published_list_is_fetched_and_the_chosen_rows_appended(self):
        host = self.copy_library()
        self.dictionaries()
        self.catalogue(os.path.join(self.published, "dict.kvd"),
                       [("Vene", "utf8", "http://vene/"), ("Soome", "utf8", "http://soome/"),
                        ("Läti", "baltic", "http://lati/")])
        run = self.look_up(host, "maja")
        page = self.show_tab(1)
        self.click(self.control(page, cls="Button", text="Laadi...")["rect"])
        self.wait_for_request("/quillbridge/dict.kvd")
        def listed():
            dialog = self.probe("Sõnastikud: laadimine")
            return dialog if len(self.control(dialog, cls="SysListView32")["rows"]) == 3 else None
        dialog = self.wait_for(listed, "the published list was not listed")
        rows = self.control(dialog, cls="SysListView32")["rows"]
        # What the page lists already is not chosen.
        self.assertEqual([(row["texts"][0], row["selected"]) for row in rows],
                         [("Vene", False), ("Soome", True), ("Läti", True)])
        self.screenshot("download-selection")
        self.click(self.control(dialog, cls="Button", text="Lisa")["rect"])
        self.wait_for_no_window("Sõnastikud: laadimine")
        agents = [line[2] for line in self.lines() if line[:2] == ["GET", "/quillbridge/dict.kvd"]]
        self.assertEqual(agents, ["quillbridge"])
        page = self.probe(SHEET)
        names = [row["texts"][0] for row in self.control(page, cls="SysListView32")["rows"]]
        self.assertEqual(names, ["Vene", "Õigekeelsus", "Lääne", "Soome", "Läti"])
        self.assertEqual(self.close_sheet(run), 0)
        self.assertTrue(self.dump(os.path.join(self.dir, "dict.kvd")).endswith(
            "Soome\tutf8\thttp://soome/\nLäti\tbaltic\thttp://lati/\n"))

    def test_a_list_beyond_the_cap_is_stopped_with_a_message(self):
        host = self.copy_library()
        self.dictionaries()
        self.env["QUILLBRIDGE_SITE_BASE"] = f"{self.site}/huge/"
        run = self.look_up(host, "maja")
        page = self.show_tab(1)
        self.click(self.control(page, cls="Button", text="Laadi...")["rect"])
        box = self.wait_for_window("quillbridge")
        texts = " ".join(child["text"] for child in box["children"])
        self.assertIn("Server saatis rohkem kui 4194304 baiti", texts)
        self.assertIn("Laadimine katkestati.", texts)
        sent = self.wait_for(lambda: [int(line[2]) for line in self.lines() if line[0] == "SENT"],
                             "the server never stopped sending")
        self.assertLess(sent[0], 64 * 1024 * 1024)
        self.keys("quillbridge", "Return")
        dialog = self.wait_for_window("Sõnastikud: laadimine")
        self.assertEqual(self.control(dialog, cls="SysListView32")["rows"], [])
        self.assertFalse(self.control(dialog, cls="Button", text="Lisa")["enabled"])
        self.keys("Sõnastikud: laadimine", "Escape")
        self.wait_for_no_window("Sõnastikud: laadimine")
        self.assertEqual(self.close_sheet(run), 0)


if __name__ == "__main__":
    configure()
    unittest.main(verbosity=2)
