#!/usr/bin/env bash
# Builds the installation benchmark with a payload set of the product's full
# sizes and runs it under Wine on a private display:
#   install.sh [--upgrade] [rounds]       the installation against its floor
#   install.sh --against COMMIT [--upgrade] [rounds]
#       the installation of this tree against that of COMMIT, whose installer
#       is built with this tree's benchmark (in build/winbench-against/COMMIT),
#       one process of each turn about, each after a first installation of its
#       own
# With --upgrade each installation goes over the one before it.
set -euo pipefail
against=
upgrade=()
while [ $# -gt 0 ]; do
    case $1 in
        --against)
            [ $# -ge 2 ] || { echo "install.sh: --against needs a commit." >&2; exit 2; }
            against=$2
            shift 2
            ;;
        --upgrade)
            upgrade=(--upgrade)
            shift
            ;;
        *)
            break
            ;;
    esac
done
source "$(dirname "$0")/winbench.sh" install_bench
if [ -z "$against" ]; then
    wine "$bench/install_bench.exe" "${upgrade[@]}" "$@" </dev/null
    exit
fi

rounds=${1:-15}
commit=$(git -C "$root" rev-parse --short "$against^{commit}")
earlier=$ZARVO_BUILD/winbench-against/$commit
rm -rf "$earlier/src"
mkdir -p "$earlier/src"
git -C "$root" archive "$commit" | tar -x -C "$earlier/src"
cp "$root/bench/InstallBench.cpp" "$root"/bench/*.h "$earlier/src/bench/"
cmake -S "$earlier/src" -B "$earlier/host" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$earlier/host" --target pack -j "$(nproc)" >/dev/null
cmake -S "$earlier/src" -B "$earlier/win" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$earlier/src/cmake/mingw-i686.cmake" -DZARVO_MINGW_THREADS=win32 \
    -DZARVO_HOST_BUILD="$earlier/host" -DZARVO_PAYLOAD_DIR="$payloads" -DZARVO_BENCH=ON >/dev/null
cmake --build "$earlier/win" --target install_bench -j "$(nproc)" >/dev/null

echo "this tree against $commit, $rounds rounds, one process each, turn about${upgrade:+, each an upgrade}"
results=$earlier/rounds.txt
: >"$results"
for round in $(seq "$rounds"); do
    sides=(before after)
    [ $((round % 2)) -eq 0 ] && sides=(after before)
    for side in "${sides[@]}"; do
        exe=$bench/install_bench.exe
        [ "$side" = before ] && exe=$earlier/win/install_bench.exe
        wine "$exe" 1 "${upgrade[@]}" --raw </dev/null | sed "s/^/$side\t/" >>"$results"
    done
done

# Medians of each side's rounds, phase by phase; the whole installation also
# as the median of the ratios of the two runs of each round.
label=$commit perl -F'\t' -lane '
    my $side = shift @F;
    my $kind = shift @F;
    if ($kind eq "phases") { @names = @F; next }
    my $n = @names;
    push @{$total{$side}}, $F[0];
    push @{$phase{$side}[$_]}, $F[$_ + 1] for 0 .. $n - 1;
    push @{$growth{$side}}, $F[$n + 1];
    push @{$floor{$side}}, $F[$n + 2];
    END {
        sub median { my @v = sort { $a <=> $b } @_; return $v[int(@v / 2)] }
        printf "%-42s %10s %10s %8s\n", "median, ms", $ENV{label}, "this tree", "ratio";
        for my $i (0 .. $#names) {
            my ($old, $new) = (median(@{$phase{before}[$i]}), median(@{$phase{after}[$i]}));
            printf "%-42s %10.2f %10.2f %8s\n", $names[$i], $old, $new, $old > 0.05 ? sprintf("%.2f", $new / $old) : "-";
        }
        my ($old, $new) = (median(@{$total{before}}), median(@{$total{after}}));
        printf "%-42s %10.2f %10.2f %8.3f\n", "whole installation", $old, $new, $new / $old;
        my @ratios = map { $total{after}[$_] / $total{before}[$_] } 0 .. $#{$total{after}};
        my @sorted = sort { $a <=> $b } @ratios;
        printf "%-42s %10s %10s %8.3f  (%.3f to %.3f)\n", "whole, the rounds\x27 own ratios", "", "", median(@ratios),
            $sorted[0], $sorted[-1];
        ($old, $new) = (median(@{$floor{before}}), median(@{$floor{after}}));
        printf "%-42s %10.2f %10.2f %8.3f\n", "the floor, in the same processes", $old, $new, $new / $old;
        ($old, $new) = (median(@{$growth{before}}) / 1024, median(@{$growth{after}}) / 1024);
        printf "%-42s %10.0f %10.0f %8.3f\n", "peak working set above the idle wizard, KiB", $old, $new, $new / $old;
    }' "$results"
