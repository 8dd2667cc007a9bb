#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests (ASan, UBSan)
# and the Windows build's tests under Wine. Exits non-zero when any fails.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh || exit 1

failed=()
step() {
  echo "==> $*"
  "$@" || failed+=("$*")
}

step cmake --preset native
step cmake --build --preset native
step ctest --preset native

# The product: the 32-bit Windows build.
step cmake --preset win32
step cmake --build --preset win32
if scripts/can-run-32bit.sh; then
  step ctest --preset win32
else
  echo "==> this machine cannot run 32-bit programs: the Windows tests run on the x86-64 twin"
  step cmake --preset win64
  step cmake --build --preset win64
  step ctest --preset win64
fi

if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "all tests passed"
