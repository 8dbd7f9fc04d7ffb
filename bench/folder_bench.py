#!/usr/bin/env python3
"""Times `orvella-convert --verify` and `--join` on the folder of records of one generated code page
932 text, and prints wall time, peak memory and MB/s of each.

    bench/folder_bench.py [--size 50M] [--max-bytes 10000] [--runs 5] [--workdir DIR]

The text is converted once; then --verify, --join to standard output (discarded) and --join -o
FILE run in turn, --runs times each. The first --join's output is compared with the text, which
it must equal byte for byte (a code page 932 text with CR LF line ends). Programs come from
$ORVELLA_BIN_DIR or a Release build in build-bench/, as for bench/convert_bench.py.
"""

import argparse
import filecmp
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

from convert_bench import ROOT, measure, parse_size, release_build


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--size", default="50M", help="text size (K, M, G); default 50M")
    ap.add_argument("--max-bytes", type=int, default=10000)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--workdir", help="folder for the temporary files (default: the system's)")
    args = ap.parse_args()

    bin_dir = os.environ.get("ORVELLA_BIN_DIR") or release_build()
    convert = os.path.join(bin_dir, "orvella-convert")
    helper = os.path.join(bin_dir, "orvella-measure")
    work = tempfile.mkdtemp(prefix="orvella-folder-bench-", dir=args.workdir)
    try:
        text = os.path.join(work, "novel.txt")
        out = os.path.join(work, "out")
        joined = os.path.join(work, "joined.txt")
        os.makedirs(out)
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "gen_text.py"), text,
                        "--size", str(parse_size(args.size)), "--seed", str(args.seed)],
                       check=True, stderr=subprocess.DEVNULL)
        subprocess.run([convert, "-q", "--max-bytes", str(args.max_bytes), "-o", out, text], check=True)
        records = len(os.listdir(out))
        folder_bytes = sum(os.path.getsize(os.path.join(out, n)) for n in os.listdir(out))

        commands = {
            "--verify": [convert, "--verify", out, "--max-bytes", str(args.max_bytes)],
            "--join": [convert, "--join", out],
            "--join -o FILE": [convert, "--join", out, "-o", joined],
        }
        runs = {name: [] for name in commands}
        for _ in range(args.runs):
            for name, argv in commands.items():
                runs[name].append(measure(helper, argv))
        if not filecmp.cmp(joined, text, shallow=False):
            sys.exit("--join -o gave a text that differs from the input")

        mb = folder_bytes / 1e6
        print(f"\n{records} records, {folder_bytes} bytes ({mb:.1f} MB) from a "
              f"{os.path.getsize(text)}-byte text, --max-bytes {args.max_bytes}, {args.runs} runs each")
        print(f"  {'':16}{'best s':>9}{'median s':>9}{'MB/s':>9}{'peak MB':>9}")
        for name in commands:
            walls = [w for w, _ in runs[name]]
            peak = max(p for _, p in runs[name]) / 1024
            print(f"  {name:16}{min(walls):9.3f}{statistics.median(walls):9.3f}{mb / min(walls):9.1f}{peak:9.1f}")
        print("  --join -o FILE equals the text byte for byte")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
