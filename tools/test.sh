#!/usr/bin/env bash
# Installs what is missing, builds everything with the address and
# undefined-behaviour sanitizers and runs the whole test suite through ctest.
# Under CI (CI=true) compiler warnings are errors and unformatted C++ files
# fail the run before anything is built.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
if [ "${CI:-}" = true ] && ! tools/format.sh --check; then
  echo "test: the files above are not formatted: run tools/format.sh and commit the result" >&2
  exit 1
fi
tools/vm_kernel.sh  # the virtual-camera test must not be skipped for want of it
werror=OFF
[ "${CI:-}" = true ] && werror=ON
VELLUMET_WERROR=$werror cmake --preset asan -DVELLUMET_WERROR=$werror >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$(nproc)"
