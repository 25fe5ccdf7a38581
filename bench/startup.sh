#!/usr/bin/env bash
# Builds the installer with a payload set of the product's full sizes, once as
# it is and once with its payload check linked out, and times the start-up of
# both under Wine on a private display: startup.sh [rounds].
source "$(dirname "$0")/winbench.sh" ZarvoSetup ZarvoSetupUnchecked startup_bench
wine "$bench/startup_bench.exe" "$(winepath -w "$bench/ZarvoSetup.exe")" \
    "$(winepath -w "$bench/ZarvoSetupUnchecked.exe")" "$@" </dev/null
