#!/usr/bin/env python3
"""Turns the side-by-side benchmark's raw lines (PROGRAM ROUND METRIC VALUE)
into one table of medians, min-max and per-round ratios to the floor, and
keeps everything as JSON.

    summary.py RAW-FILE JSON-FILE HEADING
"""
import json
import statistics
import sys

METRICS = [
    ("title_s", "start to titled window, s"),
    ("paint_s", "start to first paint, s"),
    ("pss_mb", "PSS of the tree, MB"),
    ("rss_mb", "RSS of the tree, MB"),
    ("ui_pss_mb", "PSS of the UI process, MB"),
    ("processes", "processes"),
    ("idle_cpu_pct", "idle CPU of the tree, 10 s, %"),
    ("wakeups_ui", "wake-ups/s of the UI process"),
    ("wakeups_tree", "wake-ups/s of the tree"),
    ("popup_pss_mb", "extra PSS per pop-up, MB"),
    ("popup_processes", "extra processes per pop-up"),
    ("nav200_growth_pct", "PSS growth over 200 navigations, %"),
]

raw, out, heading = sys.argv[1], sys.argv[2], sys.argv[3]
values = {}  # program -> metric -> round -> value
for line in open(raw):
    parts = line.split()
    if len(parts) != 4:
        continue
    program, rnd, metric, value = parts
    try:
        values.setdefault(program, {}).setdefault(metric, {})[int(rnd)] = float(value)
    except ValueError:
        pass

programs = [p for p in ("floor", "host", "chromium") if p in values]


def cell(program, metric):
    rounds = values.get(program, {}).get(metric, {})
    if not rounds:
        return "-"
    v = sorted(rounds.values())
    med = statistics.median(v)
    fmt = "%.0f" if metric in ("processes", "popup_processes") else "%.2f"
    return (fmt % med) + " (" + (fmt % v[0]) + "-" + (fmt % v[-1]) + ")"


def ratio(program, metric):
    # Per round, so both figures come from the same minute of the machine.
    mine = values.get(program, {}).get(metric, {})
    floor = values.get("floor", {}).get(metric, {})
    r = [mine[k] / floor[k] for k in mine if k in floor and floor[k] > 0]
    return ("%.2f x" % statistics.median(r)) if r else "-"


header = ["", *programs] + ["%s/floor" % p for p in programs if p != "floor"]
rows = [[label, *[cell(p, m) for p in programs], *[ratio(p, m) for p in programs if p != "floor"]]
        for m, label in METRICS]
widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
print(heading + ": median (min-max)")
print("| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |")
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for r in rows:
    print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")

with open(out, "w") as f:
    json.dump({"heading": heading, "rounds": values}, f, indent=1, sort_keys=True)
print("raw figures: " + out)
