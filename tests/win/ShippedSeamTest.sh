#!/usr/bin/env bash
# The installer's own image carries nothing of the test build's older
# Windows: its code is compiled without the switch, and the image holds none
# of the versions that the switch reports, nor its names. The test build must
# have them, or the look would find nothing anywhere.
# Usage: ShippedSeamTest.sh ZarvoSetup.exe win_tests.exe system/DynamicApi.h TEST_BUILD_TREE
set -euo pipefail
exec perl -e '
use strict;
use warnings;
my ($shipped, $tested, $list, $testTree) = @ARGV;
sub slurp { open my $in, "<:raw", $_[0] or die "ShippedSeamTest: $_[0]: $!\n"; local $/; return <$in>; }
my $status = 0;
my ($switch) = slurp($list) =~ /^#ifdef (ZARVO_\w+)/m or die "FAILED: no switch of older Windows in $list\n";
(my $shippedTree = $shipped) =~ s{/[^/]*$}{};
for ([$shippedTree, 0], [$testTree, 1]) {
    my ($tree, $wanted) = @$_;
    my $has = slurp("$tree/CMakeFiles/zarvo_system.dir/flags.make") =~ /-D$switch\b/ ? 1 : 0;
    print("FAILED: $tree compiles the installer\x27s code ", $has ? "with" : "without", " $switch\n"), $status = 1
        if $has != $wanted;
}
my @marks = ("AsWindows", "WindowsVersion");
# Each version as the image holds a DWORD.
push @marks, map { pack "V", hex } slurp($list) =~ /OlderWindows k\w+\{0x([0-9A-Fa-f]{8})/g;
@marks > 4 or die "FAILED: no versions of older Windows found in $list\n";
my ($in, $out) = (slurp($tested), slurp($shipped));
for my $mark (@marks) {
    my $shown = $mark =~ /^\w+$/ ? $mark : sprintf "0x%08X", unpack "V", $mark;
    print("FAILED: the test build lacks $shown, so its absence proves nothing\n"), $status = 1
        if index($in, $mark) < 0;
    print("FAILED: the installer holds $shown of the test build\x27s older Windows\n"), $status = 1
        if index($out, $mark) >= 0;
}
printf "ok: %d marks of the older Windows in the test build, none in the installer\n", scalar @marks unless $status;
exit $status;
' "$@"
