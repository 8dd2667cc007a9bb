#!/usr/bin/env bash
# Exits 0 when this machine can run 32-bit x86 programs (and so 32-bit Wine).
# Some sandboxed kernels cannot; the Windows tests then run on the x86-64 twin.
exec /usr/lib/wine/wine --version >/dev/null 2>&1
