#!/usr/bin/env python3
"""Prints the results of scripts/bench as one table: every case, then the ratios of the
program's path against its baseline. Reads <dir>/<bench>.json as Google Benchmark writes it."""
import json
import re
import sys
from pathlib import Path

out = Path(sys.argv[1])
loaded = len(sys.argv) > 2 and sys.argv[2] == "1"

UNIT = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load(bench):
    """name -> (wall ms, cpu ms, counters), the median of repetitions where there are any."""
    path = out / f"{bench}.json"
    if not path.exists():
        return {}
    runs = {}
    try:
        data = json.loads(path.read_text())
    except ValueError:
        return {"(output cut short)": None}  # the benchmark died mid-run
    for b in data.get("benchmarks", []):
        if b.get("error_occurred"):
            runs[b["run_name"]] = None
            continue
        aggregate = b.get("aggregate_name")
        if b.get("run_type") == "aggregate" and aggregate != "median":
            continue
        name = b["run_name"]
        if name in runs and aggregate != "median":
            continue  # the median of the repetitions wins over any one of them
        scale = UNIT.get(b.get("time_unit", "ns"), 1e-6)
        counters = {k: v for k, v in b.items() if isinstance(v, (int, float)) and k not in (
            "real_time", "cpu_time", "iterations", "repetitions", "repetition_index", "threads",
            "family_index", "per_family_instance_index")}
        runs[name] = (b["real_time"] * scale, b["cpu_time"] * scale, counters)
    return runs


benches = sorted(p.stem for p in out.glob("*.json"))
results = {b: load(b) for b in benches}

print()
print(f"Benchmarks ({'other core busy' if loaded else 'quiet'}): wall and whole-process CPU, ms")
print(f"{'benchmark':<64} {'wall':>10} {'cpu':>10}  counters")
for b in benches:
    for name, r in results[b].items():
        if r is None:
            print(f"{b + ': ' + name:<64} {'FAILED':>10}")
            continue
        shown = ", ".join(f"{k}={v:.4g}" for k, v in sorted(r[2].items()) if not k.endswith("_per_second"))
        print(f"{b + ': ' + name:<64} {r[0]:>10.2f} {r[1]:>10.2f}  {shown}")
for missing in ("decoder_bench", "catalog_bench", "listing_bench", "startup_bench"):
    if missing not in results:
        print(f"{missing}: no results")


def find(bench, pattern):
    for name, r in results.get(bench, {}).items():
        if r is not None and re.fullmatch(pattern, name):
            return name, r
    return None, None


print()
print("Ratios, baseline / program (above 1: the program is faster or leaner)")
print(f"{'program':<52} {'baseline':<44} {'wall':>7} {'cpu':>7}")
pairs = []
for fn in ("getTypes", "GetListArticlesFromTreeCategory"):
    for base in ("simdjson_OnDemand", "RapidJSON_Parse", "RapidJSON_Insitu"):
        pairs.append(("decoder_bench", f"{fn}/ProgramPath/.*", f"{fn}/{base}/.*"))
    pairs.append(("decoder_bench", f"{fn}/ProgramPath/.*", f"{fn}/ProgramPath_TwoThreads/.*"))
for kind in ("FillAndPaint", "FillExpandedAndPaint", "Clear"):
    for n in ("1000", "10000", "100000"):
        pairs.append(("catalog_bench", f"Products/Model/{kind}/{n}(/.*)?", f"Products/ItemTree/{kind}/{n}(/.*)?"))
pairs.append(("catalog_bench", "BM_CategoryLoadTreeText(/.*)?", "BM_CategoryDirectFill(/.*)?"))
pairs.append(("lists_bench", "BM_SortedAtOnce/4000(/.*)?", "BM_InsertedOneByOne/4000(/.*)?"))
pairs.append(("pricerun_bench", "BM_PriceRun.*", "BM_PlainClient200.*"))
for bench, program, baseline in pairs:
    pn, p = find(bench, program)
    bn, q = find(bench, baseline)
    if p and q:
        print(f"{pn:<52} {bn:<44} {q[0] / p[0]:>7.2f} {q[1] / max(p[1], 1e-9):>7.2f}")

print()
print("Start-up against the floor (a minimal Qt window), program / floor (1 is the floor)")
_, floor = find("startup_bench", r"BM_StartToFirstFrame/trader_folder:2.*")
for arg, label in (("0", "empty folder"), ("1", "trader's folder")):
    _, r = find("startup_bench", rf"BM_StartToFirstFrame/trader_folder:{arg}.*")
    if r and floor:
        print(f"  {label:<20} wall {r[0]:7.1f} ms = {r[0] / floor[0]:4.2f}x floor;"
              f" cpu {r[2].get('cpu_ms', 0):6.1f} ms = {r[2].get('cpu_ms', 0) / max(floor[2].get('cpu_ms', 1), 1e-9):4.2f}x;"
              f" idle {r[2].get('idle_rss_MB', 0):5.1f} MB (floor {floor[2].get('idle_rss_MB', 0):.1f} MB)")

print()
print("First listing of 100,000 products in a fresh process (median of the samples) against its goals")
_, r = find("listing_bench", r"BM_FreshProcessListing.*")
if r:
    c = r[2]
    for key, goal, unit in (("cpu_ms", 300, "ms"), ("beyond_network_ms", 250, "ms"),
                            ("peak_B_per_product", 300, "B"), ("retained_B_per_product", 300, "B"),
                            ("network_ms", None, "ms"), ("minor_faults", None, ""), ("peak_MB", None, "MB")):
        value = c.get(key)
        if value is None:
            continue
        verdict = "" if goal is None else ("  met" if value <= goal else f"  MISSED (goal <= {goal} {unit})")
        print(f"  {key:<24} {value:10.1f} {unit}{verdict}")
else:
    print("  no result")
