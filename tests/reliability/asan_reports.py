"""Reads the AddressSanitizer reports that the sanitizer build's test programs
wrote (ASAN_OPTIONS log_path) and fails on every one that is not Qt WebEngine's
own: a new-delete-type-mismatch whose delete is called from inside
libQt6WebEngineCore.so. That library is built without the sanitizer and frees
some objects with a size its allocation did not have; the sanitizer cannot
leave that out by name itself, so this does it, and nothing else.

usage: asan_reports.py LOG_DIRECTORY
"""
import os
import re
import sys

ALLOWED_KIND = "new-delete-type-mismatch"
ALLOWED_LIBRARY = "libQt6WebEngineCore.so"


def reports(text):
    """Each report: its kind and its lines, from its ERROR line to the next."""
    parts = re.split(r"^(?===\d+==ERROR: AddressSanitizer: )", text, flags=re.M)
    for part in parts:
        match = re.match(r"==\d+==ERROR: AddressSanitizer: ([\w-]+)", part)
        if match:
            yield match.group(1), part


def allowed(kind, report):
    caller = re.search(r"^\s*#1 .*$", report, flags=re.M)
    return kind == ALLOWED_KIND and caller is not None and ALLOWED_LIBRARY in caller.group(0)


def main():
    directory = sys.argv[1]
    left_out, found = 0, []
    for name in sorted(os.listdir(directory)):
        with open(os.path.join(directory, name), encoding="utf-8", errors="replace") as f:
            for kind, report in reports(f.read()):
                if allowed(kind, report):
                    left_out += 1
                else:
                    found.append((name, report))
    for name, report in found:
        print(f"--- {name}\n{report}")
    print(f"sanitizers: {len(found)} reports of ours; {left_out} of Qt WebEngine's own "
          f"{ALLOWED_KIND} inside {ALLOWED_LIBRARY} left out")
    sys.exit(1 if found else 0)


main()
