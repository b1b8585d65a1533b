#!/usr/bin/env python3
"""Prints the benchmark table from Google Benchmark JSON files (medians of
repetitions) and the JSON lines of the window benchmark: case, our figure, the
reference measured in the same run, the ratio, the goal and whether it holds."""
import json
import sys


def medians(paths):
    found = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for b in json.load(f)["benchmarks"]:
                if b.get("aggregate_name") == "median":
                    found[b["run_name"].split("/real_time")[0]] = b
    return found


def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale


def main():
    gb_files = [a for a in sys.argv[1:] if a.endswith(".json")]
    window_rows = [a for a in sys.argv[1:] if a.endswith(".jsonl")]
    m = medians(gb_files)
    rows = []

    def timed(case, ours, ref, goal_ratio):
        if ours in m and ref in m:
            o, r = ms(m[ours]), ms(m[ref])
            rows.append((case, f"{o:.1f} ms", f"{r:.1f} ms", f"{o / r:.2f}×",
                         f"≤ {goal_ratio}×", o / r <= goal_ratio))

    timed("load a catalogue file of 100,000 entries", "BM_Load_Ours", "BM_Load_Reference", 3)
    if "BM_Load_Floor" in m:
        rows.append(("  least that fills these entries: one read(), then each string allocated and copied",
                     f"{ms(m['BM_Load_Floor']):.1f} ms", "", "", "", None))
    timed("save the same catalogue", "BM_Save_Ours", "BM_Save_Reference", 1.3)
    for i, name in enumerate(["utf8", "baltic", "western"]):
        ours, ref = m.get(f"BM_Escape_Ours/{i}"), m.get(f"BM_Escape_Reference/{i}")
        if ours and ref:
            o, r = ours["bytes_per_second"] / 1e6, ref["bytes_per_second"] / 1e6
            rows.append((f'EscapeParameter over 1 MB of Estonian text, "{name}"', f"{o:.0f} MB/s",
                         f"{r:.0f} MB/s", f"{o / r:.2f}× as fast", "≥ 400 MB/s", o >= 400))
    timed("download of a published list of 20,000 entries from 127.0.0.1",
          "BM_Download_Ours", "BM_Download_Reference", 1.2)
    if "BM_ReadPublishedList" in m:
        rows.append(("  of which reading the list from memory",
                     f"{ms(m['BM_ReadPublishedList']):.1f} ms", "", "", "", None))

    if "BM_SelectionDialog_Ours" in m and "BM_SelectionDialog_ReadList" in m:
        o, r = ms(m["BM_SelectionDialog_Ours"]), ms(m["BM_SelectionDialog_ReadList"])
        rows.append(("selection dialog \"Laadi...\" shown with 50,000 entries from 127.0.0.1, "
                     "beside downloading and reading the list alone", f"{o:.1f} ms", f"{r:.1f} ms",
                     f"{o / r:.2f}×", "≤ 1 s", o <= 1000))

    for path in window_rows:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if not line.strip():
                    continue
                r = json.loads(line)
                unit = r["unit"]
                fmt = (lambda v: f"{v:.3f} s") if unit == "s" else (lambda v: f"{v:.0f} MiB")
                ours, ref = r["ours"], r.get("reference")
                goal = r["goal"].replace("<=", "≤").replace("x", "×")
                limit = float(goal.split()[1].rstrip("×"))
                if ref:
                    ratio = ours / ref
                    rows.append((r["case"], fmt(ours), fmt(ref), f"{ratio:.2f}×",
                                 goal, ratio <= limit))
                elif goal.endswith("×"):
                    rows.append((r["case"], fmt(ours), "", "", goal, None))  # no peer to hold it to
                else:
                    rows.append((r["case"], fmt(ours), "", "", goal, ours <= limit))

    print("| case | Quillbridge | reference, same run | ratio | goal | holds |")
    print("|---|---|---|---|---|---|")
    for case, ours, ref, ratio, goal, holds in rows:
        mark = "" if holds is None else ("yes" if holds else "**no**")
        print(f"| {case} | {ours} | {ref} | {ratio} | {goal} | {mark} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
