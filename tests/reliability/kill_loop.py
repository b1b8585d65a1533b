"""Kills quillbridge-kvd with SIGKILL at random moments while it saves a
catalogue over an older one, and checks after every kill that the catalogue is
whole: the old file or the new one, never a mixture or a cut. A killed save may
leave its temporary file; the next save removes it, and at the end none is left.

usage: kill_loop.py QUILLBRIDGE_KVD [ROUNDS]

Not a CTest test: where the kills land depends on timing. scripts/check runs it.
"""
import os
import random
import subprocess
import sys
import tempfile
import time

KVD = sys.argv[1]
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 100
ROWS = 4000


def tsv(path, letter):
    with open(path, "w", encoding="utf-8") as f:
        for i in range(ROWS):
            f.write(f"Sõnastik {letter}{i}\tutf8\thttp://127.0.0.1/{letter}/{i}?w=\n")


def main():
    random.seed(int(os.environ.get("QB_KILL_SEED", "10")))
    with tempfile.TemporaryDirectory(prefix="qb-kill-") as d:
        sources = [os.path.join(d, "a.tsv"), os.path.join(d, "b.tsv")]
        tsv(sources[0], "A")
        tsv(sources[1], "B")
        path = os.path.join(d, "dict.kvd")
        wholes = []
        start = time.monotonic()
        for source in sources:
            subprocess.run([KVD, "build", source, path], check=True)
            with open(path, "rb") as f:
                wholes.append(f.read())
        one_save = (time.monotonic() - start) / 2
        kept_old = became_new = leftovers = 0
        for n in range(ROUNDS):
            old, new = wholes[(n + 1) % 2], wholes[n % 2]
            save = subprocess.Popen([KVD, "build", sources[n % 2], path])
            time.sleep(random.uniform(0, one_save * 1.2))
            save.kill()
            finished = save.wait() == 0
            with open(path, "rb") as f:
                data = f.read()
            if data == new:
                became_new += 1
            elif data == old:
                kept_old += 1
            else:
                sys.exit(f"kill loop: round {n}: the catalogue is neither the old file nor the new "
                         f"one ({len(data)} bytes)")
            if data != new:
                # The next round saves over the file as it is now.
                wholes[(n + 1) % 2], wholes[n % 2] = wholes[n % 2], wholes[(n + 1) % 2]
                sources.reverse()
            temps = [name for name in os.listdir(d) if ".quillbridge-save-" in name]
            leftovers += bool(temps) and not finished
        subprocess.run([KVD, "build", sources[0], path], check=True)
        remaining = [name for name in os.listdir(d) if ".quillbridge-save-" in name]
        if remaining:
            sys.exit(f"kill loop: temporary files left after a complete save: {remaining}")
    print(f"kill loop: {ROUNDS} saves killed: {kept_old} left the old file whole, "
          f"{became_new} the new one, {leftovers} a temporary file that the next save removed; "
          f"one save takes {one_save * 1000:.0f} ms")


main()
