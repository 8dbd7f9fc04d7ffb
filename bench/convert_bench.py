#!/usr/bin/env python3
"""Times orvella-convert against `split -C` (the standard tool doing the splitting part of the
same job) on the same generated code page 932 text, and prints wall time, peak memory and MB/s.

    bench/convert_bench.py [--size 50M] [--max-bytes 10000] [--runs 3] [--sizes 50M,200M]
                           [--encoding cp932|utf-8|utf-16le] [--aozora-text] [--with="OPTIONS"]

--encoding converts the generated text into that encoding first (the same characters; the size
names the code page 932 form) and lets orvella-convert detect it, so the figures compare with a
run on the code page 932 form of the same text. `split -C` gets the converted file too.

--aozora-text generates the text with Aozora Bunko notation (tools/gen_text.py --aozora).
--with times orvella-convert a second time with those options (e.g. --with="--wrap"; the "=" keeps
an option that is alone from being read as one of this script's) on the same
text, and prints its time beside the run with every option off.

orvella-convert syncs its records before it reports success, so `split -C` is timed twice: on its
own and followed by `sync -f` of its output folder. `split -C` gets the body budget of one record (the limit less the 97 bytes every record starts
with). orvella-convert and the measuring helper orvella-measure come from $ORVELLA_BIN_DIR, or from
a Release build made in build-bench/ (or $ORVELLA_BENCH_BUILD_DIR).
Inputs and outputs go to a temporary folder (or --workdir) that is removed afterwards.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HEADER_COUNT = 97


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    text = text.strip().upper().rstrip("B")
    if text and text[-1] in units:
        return int(float(text[:-1]) * units[text[-1]])
    return int(text)


def release_build():
    build = os.path.join(ROOT, os.environ.get("ORVELLA_BENCH_BUILD_DIR", "build-bench"))
    subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                    "-DORVELLA_BUILD_UI=OFF", "-DORVELLA_BUILD_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "orvella-convert", "orvella-measure",
                    "-j", "2"], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build, "bin")


def measure(helper, argv):
    """Wall seconds and peak resident memory (KiB) of one run of a command."""
    out = subprocess.run([helper] + argv, check=True, capture_output=True, text=True).stdout.split()
    wall, peak, code = float(out[0]), int(out[1]), int(out[2])
    if code != 0:
        sys.exit(f"{' '.join(argv)} failed with exit code {code}")
    return wall, peak


def empty(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def bench_size(size, args, bin_dir, work):
    convert = os.path.join(bin_dir, "orvella-convert")
    helper = os.path.join(bin_dir, "orvella-measure")
    text = os.path.join(work, "input.txt")
    subprocess.run([sys.executable, os.path.join(ROOT, "tools", "gen_text.py"), text,
                    "--size", str(size), "--seed", str(args.seed)] + (["--aozora"] if args.aozora_text else []),
                   check=True, stderr=subprocess.DEVNULL)
    if args.encoding != "cp932":
        with open(text, "rb") as f:
            data = f.read().decode("cp932")
        with open(text, "wb") as f:
            f.write(data.encode(args.encoding))
        del data
    actual = os.path.getsize(text)
    out_o, out_s = os.path.join(work, "orvella"), os.path.join(work, "split")
    budget = args.max_bytes - HEADER_COUNT

    runs = {"orvella": [], "split": [], "split_sync": [], "with": []}
    files = {}
    extra = args.with_options.split() if args.with_options else []
    for _ in range(args.runs):
        empty(out_o)
        runs["orvella"].append(measure(helper, [convert, "-q", "--max-bytes", str(args.max_bytes),
                                        "-o", out_o, text]))
        files["orvella"] = len(os.listdir(out_o))
        if extra:
            empty(out_o)
            runs["with"].append(measure(helper, [convert, "-q", "--max-bytes", str(args.max_bytes)] + extra +
                                        ["-o", out_o, text]))
            files["with"] = len(os.listdir(out_o))
        empty(out_s)
        runs["split"].append(measure(helper, ["split", "-C", str(budget), "-d", "-a", "6", text,
                                      os.path.join(out_s, "x")]))
        files["split"] = len(os.listdir(out_s))
        # orvella-convert syncs what it wrote before it says done; split does not, so the same
        # split followed by a sync of its folder's filesystem is the fair second measure.
        empty(out_s)
        runs["split_sync"].append(measure(helper, ["sh", "-c", 'split -C "$0" -d -a 6 "$1" "$2/x" && sync -f "$2"',
                                           str(budget), text, out_s]))
        files["split_sync"] = len(os.listdir(out_s))
    shutil.rmtree(out_o, ignore_errors=True)
    shutil.rmtree(out_s, ignore_errors=True)
    os.remove(text)

    mb = actual / 1e6
    print(f"\ninput {actual} bytes ({mb:.1f} MB) in {args.encoding}, --max-bytes {args.max_bytes}, "
          f"split -C {budget}, {args.runs} runs each, alternating")
    print(f"  {'':16}{'best s':>9}{'median s':>9}{'MB/s':>9}{'peak MB':>9}{'files':>8}")
    best = {}
    rows = [("orvella", "orvella-convert"), ("split", "split -C"), ("split_sync", "split -C + sync")]
    if extra:
        rows.insert(1, ("with", "  " + args.with_options))
    for name, label in rows:
        walls = [w for w, _ in runs[name]]
        best[name] = min(walls)
        peak = max(r for _, r in runs[name]) / 1024
        print(f"  {label:16}{best[name]:9.3f}{statistics.median(walls):9.3f}"
              f"{mb / best[name]:9.1f}{peak:9.1f}{files[name]:8}")
    if extra:
        print(f"  ratio with {args.with_options} / every option off (best): {best['with'] / best['orvella']:.2f}")
    print(f"  ratio orvella-convert / split -C (best): {best['orvella'] / best['split']:.2f}")
    print(f"  ratio orvella-convert / split -C + sync (best): {best['orvella'] / best['split_sync']:.2f}")
    return mb / best["orvella"]


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--size", default="50M", help="input size (K, M, G); default 50M")
    ap.add_argument("--sizes", help="several sizes, comma-separated, to see whether time stays linear")
    ap.add_argument("--max-bytes", type=int, default=10000)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--workdir", help="folder for the temporary files (default: the system's)")
    ap.add_argument("--encoding", default="cp932", choices=["cp932", "utf-8", "utf-16le"],
                    help="the encoding of the input file (default cp932)")
    ap.add_argument("--aozora-text", action="store_true", help="a text with Aozora Bunko notation")
    ap.add_argument("--with", dest="with_options", help="options for a second timed run, e.g. \"--aozora strip\"")
    args = ap.parse_args()
    if args.max_bytes <= HEADER_COUNT:
        sys.exit("--max-bytes must leave room for a body line (more than 97)")

    bin_dir = os.environ.get("ORVELLA_BIN_DIR") or release_build()
    sizes = [parse_size(s) for s in (args.sizes.split(",") if args.sizes else [args.size])]
    work = tempfile.mkdtemp(prefix="orvella-bench-", dir=args.workdir)
    try:
        speeds = [bench_size(size, args, bin_dir, work) for size in sizes]
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if len(speeds) > 1:
        print("\norvella-convert MB/s (best) by size: " + ", ".join(f"{s:.1f}" for s in speeds) +
              f"  (spread {max(speeds) / min(speeds):.2f}x; 1.0 is perfectly linear)")


if __name__ == "__main__":
    main()
