#!/usr/bin/env bash
# Whole-process timings, all in one run and from the page cache:
#  - kavirel-cli overview of 1 GiB stereo WAV files of 8-, 16-, 24-bit and
#    float samples (width 1024, the .sfv cache removed before every run)
#    beside cat and sox's stats of the same files;
#  - kavirel-cli's averaged spectrum of ten minutes of 44.1 kHz mono (Lfft
#    2048, Shift 2048, Blackman) beside scipy.signal.welch of the same frames,
#    both as whole processes and, for welch, the call alone.
# Run from the source tree after building it (build/ by default, or $BUILD).
# The files are the ones bench_overview and bench_task_spectrum make.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
cli="$build/app/cli/kavirel-cli"
dir="${KAVIREL_BENCH_DIR:-/tmp}"
speech="${KAVIREL_BENCH_SPECTRUM_FILE:-/tmp/kavirel-bench-10min.wav}"

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
command -v sox >/dev/null || need+=(sox)
/usr/bin/python3 -c "import scipy.signal" 2>/dev/null || need+=(python3-scipy)
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${need[@]}"
fi

# One quick run of each benchmark program makes the files that are missing.
"$build/bench/bench_overview" --benchmark_filter='BM_Overview/./1' \
    --benchmark_min_time=0.001 >/dev/null
"$build/bench/bench_task_spectrum" --benchmark_filter='average/1' \
    --benchmark_min_time=0.001 >/dev/null

welch=$(mktemp --suffix=.py)
trap 'rm -f "$welch"' EXIT
cat >"$welch" <<'EOF'
import sys, time
import numpy as np
import scipy.signal

samples = np.fromfile(sys.argv[1], dtype="<i2", offset=44).astype(np.float32)
calls = int(sys.argv[2]) if len(sys.argv) > 2 else 1
best = float("inf")
for _ in range(calls):
    started = time.perf_counter()
    scipy.signal.welch(samples, fs=44100, window="blackman", nperseg=2048, noverlap=0)
    best = min(best, time.perf_counter() - started)
if calls > 1:
    print("scipy.signal.welch, the call alone: best of %d %.1f ms" % (calls, best * 1e3))
EOF

for width in 8bit 16bit 24bit float; do
    file="$dir/kavirel-bench-1g-$width.wav"
    cat "$file" >/dev/null
    runs=(-n "cat $width" "cat $file"
          -n "kavirel-cli overview $width" "$cli overview $file --screen-width 1024")
    hyperfine -N -w 2 -r 10 --prepare "rm -f ${file%.wav}.sfv" "${runs[@]}"
done
# sox takes seconds for a gigabyte: a few runs tell its time.
hyperfine -N -w 1 -r 3 -n "sox stats 16bit" "sox $dir/kavirel-bench-1g-16bit.wav -n stats"

cat "$speech" >/dev/null
hyperfine -N -w 2 -r 10 \
    -n "cat 10 min" "cat $speech" \
    -n "kavirel-cli spectrum" \
    "$cli spectrum $speech --start 0 --end 10m --lfft 2048 --shift 2048 --window 4" \
    -n "python3 welch" "/usr/bin/python3 $welch $speech"
/usr/bin/python3 "$welch" "$speech" 7
