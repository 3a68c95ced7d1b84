#!/bin/sh
# Builds the library and the conversion benchmarks in Release and runs them
# single-threaded; the Markdown table at the end goes into docs/performance.md.
#   tools/bench/run_bench.sh [build folder] [extra benchmark arguments]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/bench-release}
[ $# -gt 0 ] && shift
"$root/tools/bench/install_icu.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUUC_BUILD_BENCHMARKS=ON \
  -DZUUC_BUILD_TESTS=OFF -DZUUC_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" -j2 --target zuuc_conversion_bench
echo "machine: $(uname -m), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores; load: $(cut -d' ' -f1-3 /proc/loadavg)"
taskset -c "$(($(nproc) - 1))" "$build/bin/zuuc_conversion_bench" --benchmark_min_time=0.2 "$@"
