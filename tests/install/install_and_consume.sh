#!/bin/sh
# usage: install_and_consume.sh CMAKE BUILD_DIR WORK_DIR CONSUMER_SRC CXX CXXFLAGS
set -eu
cmake=$1 build=$2 work=$3 consumer=$4 cxx=$5 cxxflags=$6
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log"

# The modules sit beside the library, and the SONAME links are there.
for module in zulat421 zujpn421 zukor421 zuchi421 zurow421; do
  test -f "$prefix/lib/$module.so"
done
test -L "$prefix/lib/libzuuc421.so"
test -f "$prefix/lib/default.zct"
test -e "$prefix/lib/libzuuc421.so.4"

# 1. CMake package.
"$cmake" -S "$consumer" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="$cxxflags" >"$work/configure.log"
"$cmake" --build "$work/cmake-build" >"$work/build.log"
"$work/cmake-build/consumer"

# 2. pkg-config.
PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
export PKG_CONFIG_PATH
# shellcheck disable=SC2046,SC2086 # pkg-config prints flag lists
"$cxx" -std=c++17 $cxxflags $(pkg-config --cflags zuuc) "$consumer/consumer.cpp" \
  $(pkg-config --libs zuuc) -o "$work/consumer-pc"
"$work/consumer-pc"

# 3. The installed zuconv finds its library and the modules.
printf 'caf\351' | "$prefix/bin/zuconv" -f CP1252 -t UTF-8 >"$work/zuconv.out"
printf 'caf\303\251' | cmp - "$work/zuconv.out"
# 4. ... and sorts by the installed default collation table.
printf 'c\303\264te\ncotes\ncote\n' | "$prefix/bin/zuconv" -f UTF-8 -t UTF-8 --sort >"$work/sorted.out"
printf 'cote\nc\303\264te\ncotes\n' | cmp - "$work/sorted.out"
echo "install test passed"
