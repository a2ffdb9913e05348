#!/usr/bin/env bash
# Installs what is missing, builds everything with the address and
# undefined-behaviour sanitizers and runs the whole test suite through ctest.
# Under CI (CI=true) compiler warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/vm_kernel.sh  # the virtual-camera test must not be skipped for want of it
werror=OFF
[ "${CI:-}" = true ] && werror=ON
VELLUMET_WERROR=$werror cmake --preset asan -DVELLUMET_WERROR=$werror >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$(nproc)"
