#!/usr/bin/env python3
"""Runs the machine benchmarks of this tree beside those of an earlier commit, in one script.

The earlier commit's core is built with this tree's benchmark program, so both measure the same
programs the same way; the two are run in turn, several times, and the medians compared.

    python3 bench/compare_with_commit.py COMMIT [--runs N]
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH_FILES = ["bench/bench_machine.cpp", "bench/bench_programs.h"]
COUNTERS = ["execute_instruction_ips", "Maincpu_ips", "Maincpu_over_execute"]


def run(*args, **kw):
    subprocess.run(args, check=True, **kw)


def build(source, build_dir):
    run("cmake", "-S", source, "-B", build_dir, "-G", "Ninja",
        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DTALLYRIG_BUILD_GUI=OFF",
        "-DTALLYRIG_BUILD_TESTS=OFF", stdout=subprocess.DEVNULL)
    run("cmake", "--build", build_dir, "--target", "bench_machine", stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "bench", "bench_machine")


def measure(program):
    out = subprocess.run([program, "--benchmark_format=json",
                          "--benchmark_filter=BM_TightLoop|BM_MixedProgram"],
                         check=True, capture_output=True, text=True).stdout
    return {b["name"].split("/")[0]: b for b in json.loads(out)["benchmarks"]}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("commit")
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        before_src = os.path.join(work, "before")
        os.makedirs(before_src)
        archive = subprocess.run(["git", "-C", ROOT, "archive", options.commit],
                                 check=True, capture_output=True).stdout
        run("tar", "-x", "-C", before_src, input=archive)
        for name in BENCH_FILES:
            with open(os.path.join(ROOT, name), "rb") as f, \
                 open(os.path.join(before_src, name), "wb") as g:
                g.write(f.read())
        print(f"building {options.commit} and this tree ...", file=sys.stderr)
        programs = {"before": build(before_src, os.path.join(work, "before-build")),
                    "after": build(ROOT, os.path.join(work, "after-build"))}

        samples = {side: {} for side in programs}
        for n in range(options.runs):
            for side in (("before", "after") if n % 2 == 0 else ("after", "before")):
                for bench, result in measure(programs[side]).items():
                    for counter in COUNTERS:
                        samples[side].setdefault((bench, counter), []).append(result[counter])

    print(f"medians of {options.runs} runs, {options.commit} (before) against this tree (after)")
    print(f"{'benchmark':18} {'counter':26} {'before':>12} {'after':>12} {'after/before':>13}")
    for key in sorted(samples["after"]):
        before = statistics.median(samples["before"][key])
        after = statistics.median(samples["after"][key])
        print(f"{key[0]:18} {key[1]:26} {before:12.4g} {after:12.4g} {after / before:13.2f}")


if __name__ == "__main__":
    main()
