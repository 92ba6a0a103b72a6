#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs the whole suite twice:
# in a release build, and with AddressSanitizer and UndefinedBehaviorSanitizer. The fuzz corpora
# are replayed in both; the end-to-end tests run in the release build under a real X server.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
source scripts/packages.sh
# shellcheck disable=SC2086
ferrolume_ensure_packages $FERROLUME_BUILD_PACKAGES $FERROLUME_TEST_PACKAGES

echo "== clang-format"
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$jobs"

echo "== sanitizer build"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFERROLUME_SANITIZE=ON \
  -DFERROLUME_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"

echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build/asan && ctest --output-on-failure -j "$jobs" -LE e2e)

echo "== tests in the release build, end-to-end tests under Xvfb"
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
cd build/release
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$jobs"
