#!/bin/sh
# usage: build_and_run.sh COMPILER FLAGS INCLUDE_DIR LIB_DIR SOURCE OUTPUT
set -eu
compiler=$1 flags=$2 include=$3 lib=$4 source=$5 output=$6
# shellcheck disable=SC2086 # the flags are a list
"$compiler" -std=c++17 $flags -I"$include" "$source" -L"$lib" -lzuuc421 \
  -Wl,-rpath,"$lib" -o "$output"
"$output"
