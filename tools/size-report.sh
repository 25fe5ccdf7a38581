#!/usr/bin/env bash
# Prints the installer's own weight (the executable without the payload
# containers it carries) and what it is made of, from the linker map of its
# last build: size-report.sh [--check] [build tree with ZarvoSetup.exe, default
# build/win32] [number of objects to list, default 25]. With --check, as the
# tests run it, it prints the weight alone and fails when it is over budget.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=0
[ "${1:-}" = --check ] && check=1 && shift
tree=${1:-${ZARVO_BUILD:-$root/build}/win32}
top=${2:-25}

exec perl -e '
use strict;
use warnings;
my ($tree, $top, $check) = @ARGV;
my $budget = 266000;
my $exe = "$tree/ZarvoSetup.exe";
my $map = "$tree/ZarvoSetup.map";
-f $exe && -f $map or die "size-report: $exe or its map is missing: build first (tools/build.sh)\n";

my $containers = 0;
$containers += -s $_ for glob("$tree/payloads/*.container");
my $weight = (-s $exe) - $containers;
printf "ZarvoSetup.exe %d bytes, payload containers %d bytes, own weight %d bytes (target <= %d)\n",
    -s $exe, $containers, $weight, $budget;
if ($check) {
    $weight <= $budget or die "size-report: the own weight is over its budget by ", $weight - $budget, " bytes\n";
    exit 0;
}

# The memory map lists every input section that was kept as
# " name address size file"; a long name stands on a line of its own, with the
# rest on the next line.
open my $in, "<", $map or die "size-report: $map: $!\n";
my (%object, %library, %section, $output, $pending);
my $inMap = 0;
while (my $line = <$in>) {
    $inMap = 1, next if $line =~ /^Linker script and memory map/;
    next unless $inMap;
    $output = $1 if $line =~ /^(\.\S+)/;
    my ($size, $file);
    if ($line =~ /^ \.\S+\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$/) {
        ($size, $file) = ($1, $2);
    } elsif ($pending && $line =~ /^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$/) {
        ($size, $file) = ($1, $2);
    }
    $pending = $line =~ /^ \.\S+\s*$/;
    next unless defined $size and hex($size) > 0;
    next if $output =~ /^\.(stab|debug|zdebug)/;
    $file =~ s{.*/}{};
    $size = hex $size;
    if ($file =~ /\(Payloads\.rc\.res\)$/) {
        # Only the resource table that finds the containers is own weight.
        $size -= $containers;
        $file = "payload resource table";
    }
    my $library = $file =~ /\.res\)$|^payload resource/ ? "resources"
                : $file =~ /^(objects\.a|libzarvo_)|\.ltrans\.o$/ ? "product code"
                : $file =~ /^(.*?\.a)\(/              ? $1
                :                                      "start-up code and linker";
    # Optimised at link time, the product code comes out as one object
    # under a temporary name.
    $file = "product code, optimised as one unit" if $file =~ /\.ltrans\.o$/;
    $object{$file} += $size;
    $library{$library} += $size;
    $section{$output} += $size;
}

sub table {
    my ($title, $sizes, $limit) = @_;
    print "\n$title\n";
    my @keys = sort { $sizes->{$b} <=> $sizes->{$a} || $a cmp $b } keys %$sizes;
    splice @keys, $limit if $limit && @keys > $limit;
    printf "%9d  %s\n", $sizes->{$_}, $_ for @keys;
}
table("By output section, without the containers (bytes before file alignment):", \%section);
table("By origin:", \%library);
table("Biggest objects:", \%object, $top);
' "$tree" "$top" "$check"
