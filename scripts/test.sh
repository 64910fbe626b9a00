#!/usr/bin/env bash
# Installs what is needed, builds, and runs the test suite.
#   scripts/test.sh              build in build/ with g++ and run the tests
#   scripts/test.sh --sanitize   the same, built with AddressSanitizer and UBSan, in build-asan/
#   scripts/test.sh --clang      build everything with clang and strict warnings as errors, in
#                                build-clang/, and run the unit tests
#   scripts/test.sh --tsan       the tests of the threaded parts (download worker, event scan,
#                                cross-thread posts) built with ThreadSanitizer, in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

mode=${1:-}
build=build
flags=()
targets=()
ctest_args=()
case "$mode" in
  "") ;;
  --sanitize)
    build=build-asan
    flags=(-DZORVEX_SANITIZE=ON -DZORVEX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --clang)
    build=build-clang
    # What g++ does not report: hidden virtual overloads, shadowed names, fall-through, and
    # results marked [[nodiscard]] that are dropped.
    strict="-Woverloaded-virtual -Wnon-virtual-dtor -Wshadow -Wimplicit-fallthrough"
    strict+=" -Werror=unused-result -Werror"
    flags=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "-DCMAKE_CXX_FLAGS=$strict")
    # The whole-program tests ran in the g++ leg; this leg is about the compiler.
    ctest_args=(-LE whole_program)
    ;;
  --tsan)
    build=build-tsan
    flags=(-DZORVEX_TSAN=ON -DZORVEX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
    targets=(--target test_net test_pbem test_mainwnd)
    ctest_args=(-L "^(net|pbem|mainwnd)$")
    # Qt is not built with ThreadSanitizer: what it does inside itself is not ours to check, and
    # its queue's hand-off to our thread is annotated where we post (src/platform/MsgPump.cpp).
    export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1"
    ;;
  *)
    echo "usage: scripts/test.sh [--sanitize | --clang | --tsan]" >&2
    exit 2
    ;;
esac

cmake -S . -B "$build" -G "Unix Makefiles" "${flags[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "${ctest_args[@]}"
