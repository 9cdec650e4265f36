#!/usr/bin/env python3
"""Prints the table of bench/run.sh from its work directory (reader.json, runs.tsv)."""
import json, os, statistics, sys
from collections import defaultdict

work = sys.argv[1]
print(open(os.path.join(work, "header.txt")).read().rstrip())

def spread(values, fmt):
    return f"{fmt(statistics.median(values))} ({fmt(min(values))}-{fmt(max(values))})"

path = os.path.join(work, "reader.json")
if os.path.exists(path):
    rates = defaultdict(list)
    extremes = defaultdict(list)
    for b in json.load(open(path))["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name, rich, size = b["run_name"].split("/")
        if name == "Extremes":
            extremes[b["label"]].append(b["bytes_per_second"] / 2**20)
            continue
        doc = ("rich" if rich.endswith(":1") else "plain") + {"0": " 60 skills", "1048576": " 1 MiB", "52428800": " 50 MiB"}[size.split(":")[1]]
        rates[doc, name].append(b["bytes_per_second"] / 2**20)
    docs = sorted({d for d, _ in rates}, key=lambda d: (d.split()[0], ["60", "1", "50"].index(d.split()[1])))
    libs = [l for l in ["Mkskills", "Pugixml", "Expat", "Tinyxml2", "Libxml2"] if any(k[1] == l for k in rates)]
    print("\nIn-process reader: text to tree and back, MiB/s, median (min-max) of the repetitions;")
    print("in brackets after a peer: mkskills' median throughput / the peer's")
    print(f"{'document':<18}" + "".join(f"{l:>26}" for l in libs))
    for d in docs:
        row = f"{d:<18}"
        for l in libs:
            r = rates.get((d, l))
            if r is None:
                row += f"{'-':>26}"
                continue
            cell = spread(r, lambda v: f"{v:.0f}")
            if l != "Mkskills":
                cell += f" [{statistics.median(rates[d, 'Mkskills']) / statistics.median(r):.2f}]"
            row += f"{cell:>26}"
        print(row)
    if extremes:
        print("\nmkskills' reader on extreme documents, each at two sizes 16x apart: MiB/s, median (min-max)")
        for label, r in extremes.items():
            print(f"  {label:<48}{spread(r, lambda v: f'{v:.0f}'):>20}")

rows = defaultdict(lambda: {"wall": [], "cpu": [], "rss": [], "same": True})
order = []
for line in open(os.path.join(work, "runs.tsv")):
    doc, program, wall, cpu, rss, same = line.rstrip("\n").split("\t")
    key = (doc, program)
    if key not in rows:
        order.append(key)
    rows[key]["wall"].append(float(wall))
    rows[key]["cpu"].append(float(cpu))
    rows[key]["rss"].append(int(rss) / 1024)
    rows[key]["same"] &= same == "yes"

runs = len(next(iter(rows.values()))["cpu"])
print(f"\nEnd to end, /usr/bin/time -v, {runs} runs: median (min-max); ratios are mkskills/peer of the medians")
print(f"{'document':<14}{'program':<10}{'wall s':>20}{'CPU s':>20}{'peak MiB':>22}{'CPU ratio':>11}{'RSS ratio':>11}  output")
for doc, program in order:
    r = rows[doc, program]
    m = rows[doc, "mkskills"]
    peer_cpu = statistics.median(r["cpu"])
    # /usr/bin/time counts CPU in hundredths: below that no ratio is shown
    own_cpu = statistics.median(m["cpu"])
    cpu_ratio = f"{own_cpu / peer_cpu:.2f}" if min(own_cpu, peer_cpu) >= 0.01 else "-"
    rss_ratio = statistics.median(m["rss"]) / statistics.median(r["rss"])
    print(f"{doc:<14}{program:<10}{spread(r['wall'], lambda v: f'{v:.2f}'):>20}{spread(r['cpu'], lambda v: f'{v:.2f}'):>20}"
          f"{spread(r['rss'], lambda v: f'{v:.0f}'):>22}"
          + (f"{'':>11}{'':>11}" if program == "mkskills" else f"{cpu_ratio:>11}{rss_ratio:>11.2f}")
          + ("  same" if r["same"] else "  DIFFERS"))
