"""Kills quillbridge-kvd with SIGKILL at random moments while it saves a
catalogue over an older one, and checks after every kill what the catalogue
holds. A file of one name is replaced whole: the old file or the new one, never
a mixture or a cut. A killed save may leave its temporary file; the next save
removes it, and at the end none is left. A file with a second (hard) link is
rewritten in place: it is never shorter than the shorter of the two; it is the
old file, the new one, the new one followed by its end mark and the old tail
(killed before the cut), or, killed inside the one write, the new bytes over
the old.

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


def tsv(path, letter, rows):
    with open(path, "w", encoding="utf-8") as f:
        for i in range(rows):
            f.write(f"Sõnastik {letter}{i}\tutf8\thttp://127.0.0.1/{letter}/{i}?w=\n")


def kill_saves(d, sources, wholes, one_save, linked):
    path = os.path.join(d, "dict.kvd")
    subprocess.run([KVD, "build", sources[0], path], check=True)
    if linked:
        os.link(path, os.path.join(d, "second-name.kvd"))
    counts = {"old": 0, "new": 0, "new before the cut": 0, "cut inside the write": 0}
    leftovers = 0
    for n in range(ROUNDS):
        with open(path, "rb") as f:
            before = f.read()
        # The larger and the smaller file by turns, so that in place the new
        # content is as often shorter than the old as longer.
        which = 0 if before == wholes[1] else 1 if before == wholes[0] else n % 2
        new = wholes[which]
        save = subprocess.Popen([KVD, "build", sources[which], path])
        time.sleep(random.uniform(0, one_save * 1.2))
        save.kill()
        finished = save.wait() == 0
        with open(path, "rb") as f:
            data = f.read()
        if data == new:
            counts["new"] += 1
        elif data == before:
            counts["old"] += 1
        elif linked and data.startswith(new + b"\0\0") and len(data) == max(len(before), len(new) + 2):
            counts["new before the cut"] += 1
        elif linked and len(data) >= min(len(before), len(new)):
            counts["cut inside the write"] += 1
        else:
            sys.exit(f"kill loop: round {n}{' (hard-linked)' if linked else ''}: the catalogue "
                     f"is neither the old file nor the new one ({len(data)} bytes, old "
                     f"{len(before)}, new {len(new)})")
        if linked and os.stat(path).st_nlink != 2:
            sys.exit(f"kill loop: round {n}: the hard link was broken")
        temps = [name for name in os.listdir(d) if ".quillbridge-save-" in name]
        leftovers += bool(temps) and not finished
    subprocess.run([KVD, "build", sources[0], path], check=True)
    remaining = [name for name in os.listdir(d) if ".quillbridge-save-" in name]
    if remaining:
        sys.exit(f"kill loop: temporary files left after a complete save: {remaining}")
    os.remove(path)
    if linked:
        os.remove(os.path.join(d, "second-name.kvd"))
    kinds = ", ".join(f"{count} {kind}" for kind, count in counts.items() if count)
    print(f"kill loop: {ROUNDS} saves of a {'hard-linked' if linked else 'single'} file "
          f"killed: {kinds}; {leftovers} left a temporary file that the next save removed")


def main():
    random.seed(int(os.environ.get("QB_KILL_SEED", "10")))
    with tempfile.TemporaryDirectory(prefix="qb-kill-") as d:
        sources = [os.path.join(d, "a.tsv"), os.path.join(d, "b.tsv")]
        tsv(sources[0], "A", ROWS)
        tsv(sources[1], "B", ROWS // 2)
        path = os.path.join(d, "dict.kvd")
        wholes = []
        start = time.monotonic()
        for source in sources:
            subprocess.run([KVD, "build", source, path], check=True)
            with open(path, "rb") as f:
                wholes.append(f.read())
        os.remove(path)
        one_save = (time.monotonic() - start) / 2
        print(f"kill loop: one save takes {one_save * 1000:.0f} ms")
        kill_saves(d, sources, wholes, one_save, linked=False)
        kill_saves(d, sources, wholes, one_save, linked=True)


main()
