#!/bin/sh
# Installs what the conversion benchmarks need when it is missing: ICU's
# development files (the ICU column) and Google Benchmark. Debian/Ubuntu.
set -e
need=""
if ! pkg-config --exists icu-uc 2>/dev/null && [ ! -f /usr/include/unicode/ucnv.h ]; then
  need="$need libicu-dev"
fi
if [ ! -f /usr/include/benchmark/benchmark.h ]; then
  need="$need libbenchmark-dev"
fi
if [ -n "$need" ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  $sudo_cmd apt-get install -y $need
else
  echo "ICU and Google Benchmark are installed."
fi
