#!/usr/bin/env bash
# Builds Ferrolume (release) and opens it, on the board file given, if any.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/scripts/packages.sh"
# shellcheck disable=SC2086
ferrolume_ensure_packages $FERROLUME_BUILD_PACKAGES
cmake -S "$here" -B "$here/build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DFERROLUME_TESTS=OFF -DFERROLUME_BENCH=OFF >/dev/null
cmake --build "$here/build/run" --target ferrolume ferrolume-convert ferrolume-check
exec "$here/build/run/src/ferrolume" "$@"
