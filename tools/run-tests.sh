#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine (tools/setup.sh tests) and
# runs the whole test suite twice: a normal build of the shared library
# (warnings are errors, benchmarks compiled too; the package tests also build
# and install a static one), then a build of the static library with
# AddressSanitizer + UndefinedBehaviorSanitizer (leaks fail). A third, small
# build runs the binding test of two threads under ThreadSanitizer (only that
# test, to keep the run short).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh tests
jobs=$(nproc)

echo "== Normal build"
cmake -S . -B build/tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVXBIND_WERROR=ON \
      -DVXBIND_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/tests -j"$jobs"
ctest --test-dir build/tests --output-on-failure --timeout 900 -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVXBIND_WERROR=ON -DBUILD_SHARED_LIBS=OFF \
      -DVXBIND_SANITIZE=address,undefined -DVXBIND_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --timeout 900 -j"$jobs" -LE package

echo "== ThreadSanitizer build (two threads binding)"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVXBIND_WERROR=ON \
      -DVXBIND_SANITIZE=thread -DVXBIND_BUILD_EXAMPLES=OFF -DVXBIND_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/tsan -j"$jobs" --target vxbind_thread_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build/tsan/tests/vxbind_thread_tests
