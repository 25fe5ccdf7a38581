#!/usr/bin/env bash
# Builds the installation benchmark with a payload set of the product's full
# sizes and runs it under Wine on a private display: install.sh [rounds].
source "$(dirname "$0")/winbench.sh" install_bench
wine "$bench/install_bench.exe" "$@" </dev/null
