#!/usr/bin/env bash
# Brings a Debian 12 machine to the state the build and the tests need.
# Idempotent: packages already present are skipped, so a second run takes
# a second or two. Prints every package it installs.
set -euo pipefail

# name[:arch] of every Debian package the project uses
packages=(
  # native build, tests, fuzzing, benchmarks
  build-essential cmake ninja-build git pkg-config python3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev valgrind
  # cross build for 32-bit Windows
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  # 64-bit twin: runs the Windows side under Wine where 32-bit programs cannot run
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  # running and driving the Windows build
  wine wine32:i386 wine64 fonts-wine
  xvfb xauth x11-utils imagemagick xdotool
  # reference libraries and tools for comparisons in tests and benchmarks
  libstb-dev libturbojpeg0-dev libjpeg-turbo-progs libmpg123-dev mpg123 lame twolame sox python3-pil libvips-tools
  netpbm  # pnmtopng: bench/tool_bench.py times "djpeg | pnmtopng" beside Pillow
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
# The security suite's i386 index has been seen with a bad size on the
# mirror, which makes 'update' fail although the main suite is fine; the
# install below pins the release so amd64 and i386 libraries agree.
as_root apt-get update -q || true
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
  --no-install-recommends -t bookworm "${missing[@]}"
echo "setup: done"
