#!/usr/bin/env bash
# Runs libFuzzer targets of the `fuzz` preset for a given time each.
#
#   tools/fuzz/run.sh TARGET SECONDS     one target (decode, encode, autodetect, names,
#                                        strings, transforms, sgml, format_output,
#                                        format_input, wcsftime, normalize, collation)
#   tools/fuzz/run.sh all SECONDS        every target in turn
#   tools/fuzz/run.sh smoke              every target for 1000 inputs from a fixed seed,
#                                        a few seconds each (CI; the same inputs every time)
#
# The committed seeds in fuzz/corpus/TARGET are read; new inputs go to
# build/fuzz/corpus/TARGET (never into the committed folder) and crashes to
# build/fuzz/findings/. Each run appends a summary line (target, seconds,
# executions, coverage, status) to build/fuzz/runs.log. Builds the targets
# first unless ZUUC_FUZZ_NO_BUILD=1. Exits non-zero when a target fails.
set -euo pipefail
cd "$(dirname "$0")/../.."

targets=(decode encode autodetect names strings transforms sgml format_output format_input wcsftime normalize
  collation)
what=${1:?usage: tools/fuzz/run.sh TARGET|all|smoke [SECONDS]}
seconds=${2:-5}
extra=()
if [ "$what" = smoke ]; then
  what=all
  seconds=60
  extra=(-seed=1 -runs=1000)
fi
if [ "$what" = all ]; then
  run=("${targets[@]}")
else
  run=("$what")
fi

build=build/fuzz
if [ "${ZUUC_FUZZ_NO_BUILD:-0}" != 1 ]; then
  [ -f "$build/build.ninja" ] || cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz --target "${run[@]/#/fuzz_}"
fi
mkdir -p "$build/findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
for target in "${run[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  echo "== fuzz_$target for ${seconds}s"
  if "$build/bin/fuzz_$target" -max_total_time="$seconds" "${extra[@]}" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    result=clean
  else
    result=FAILED
    status=1
    tail -n 40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  line="$target ${seconds}s executions=${runs:-?} coverage=${cov:-?} $result"
  echo "$line"
  echo "$(date -u +%FT%TZ) $line" >>"$build/runs.log"
done
exit $status
