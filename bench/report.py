#!/usr/bin/env python3
"""Prints the benchmark report: one Markdown table of what is measured, the figure and the goal.

Reads Google Benchmark's JSON output and bench/goals.tsv, and times two whole processes on the
same large picture: `trasovky-tool render` (read, rasterize, write a PNG) against `wmf2gd`
(another program's metafile-to-PNG converter), each the median of several runs.
"""
import argparse
import json
import statistics
import subprocess
import sys
import time

UNITS = {"ns": 1e-9, "us": 1e-6, "µs": 1e-6, "ms": 1e-3, "s": 1.0}


def read_goals(path):
    goals = {}
    order = []
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            name, what, goal = line.split("\t")
            goals[name] = (what, None if goal == "-" else goal)
            order.append(name)
    return goals, order


def seconds(text):
    number, unit = text.split()
    return float(number) * UNITS[unit]


def shown(value_seconds):
    """Three significant digits in the largest unit that keeps the number at 1 or more."""
    for unit in ("s", "ms", "µs", "ns"):
        value = value_seconds / UNITS[unit]
        if value >= 1 or unit == "ns":
            return f"{value:.3g} {unit}"


def whole_process(command, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--results", required=True, help="Google Benchmark JSON output")
    parser.add_argument("--goals", required=True)
    parser.add_argument("--tool", required=True, help="trasovky-tool")
    parser.add_argument("--track", required=True, help="a track definition of the large picture")
    parser.add_argument("--wmf", required=True, help="the large picture itself")
    parser.add_argument("--size", required=True, help="WIDTHxHEIGHT the track and wmf2gd draw")
    parser.add_argument("--out", required=True, help="a folder for the two PNG files")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()

    goals, order = read_goals(args.goals)
    with open(args.results, encoding="utf-8") as file:
        results = json.load(file)
    rows = []
    failed = False
    measured = {b["name"]: b for b in results["benchmarks"] if b.get("run_type", "iteration") == "iteration"}
    for name in order + sorted(set(measured) - set(order)):
        bench = measured.get(name)
        what, goal = goals.get(name, (name, None))
        if bench is None:
            rows.append((what, "not run", "≤ " + goal if goal else "—", ""))
            continue
        if bench.get("error_occurred"):
            rows.append((what, "error: " + bench.get("error_message", ""), goal or "—", "no"))
            failed = True
            continue
        unit = bench.get("time_unit", "ns")
        figure = bench["real_time"] * UNITS[unit]
        text = shown(figure)
        if bench.get("label"):
            text += f" ({bench['label']})"
        met = ""
        if goal:
            met = "yes" if figure <= seconds(goal) else "no"
        rows.append((what, text, "≤ " + goal if goal else "—", met))

    width, height = args.size.split("x")
    ours = whole_process([args.tool, "render", args.track, f"{args.out}/trasovky.png"], args.runs)
    theirs = whole_process(["wmf2gd", f"--maxwidth={width}", f"--maxheight={height}", "--maxsize",
                            "-o", f"{args.out}/wmf2gd.png", args.wmf], args.runs)
    ratio = ours / theirs
    rows.append((f"whole process: `trasovky-tool render` of a {width} × {height} track picture to PNG",
                 shown(ours), "—", ""))
    rows.append(("whole process: `wmf2gd` of the same metafile at the same size", shown(theirs), "—", ""))
    rows.append(("ratio of the two", f"{ratio:.2f}", "≤ 0.5", "yes" if ratio <= 0.5 else "no"))

    print("| what is measured | figure | goal | met |")
    print("|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
