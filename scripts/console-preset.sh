#!/usr/bin/env bash
# Prints the configuration whose console this machine can run under Wine:
# windows (x86) where it executes i386 code, windows64 (x64) where it does
# not.
set -euo pipefail
if "$(dirname "$0")/i386-probe.sh"; then echo windows; else echo windows64; fi
