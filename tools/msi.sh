#!/usr/bin/env bash
# Writes the package that deploys the installer through the Windows Installer
# (Group Policy assigns nothing else, Intune takes one as a line-of-business
# app): tools/msi/ZarvoSetup.wxs built by Debian's wixl around the installer as
# published, the signed one where the build signed it. Two builds of the same
# files give the same bytes: the package's times and codes come from its
# inputs, never from the clock or chance.
# Usage: msi.sh UNSIGNED SIGNED ACTION_DLL VERSION MSI_VERSION OUT
set -euo pipefail
unsigned=$1
signed=$2
action=$3
version=$4
msi_version=$5
out=$6

root=$(cd "$(dirname "$0")/.." && pwd)
source=$root/tools/msi/ZarvoSetup.wxs
installer=$unsigned
state=unsigned
[ -f "$signed" ] && installer=$signed && state=signed

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# wixl takes the files by names relative to where it runs (bookworm's refuses
# a full path), and puts their times into the cabinet.
cp "$installer" "$stage/ZarvoSetup.exe"
cp "$action" "$stage/RunInstaller.dll"
cp "$source" "$stage/ZarvoSetup.wxs"
touch -d '2000-01-01 00:00:00 UTC' "$stage"/*

# The product code names the release, the package code these exact bytes: each
# a name-based UUID, so that a rebuild gives the same codes.
upgrade_code=$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "$source")
inputs=$(cat "$stage"/* | sha256sum | cut -c1-64)
codes=$(python3 -c 'import sys, uuid
upgrade = uuid.UUID(sys.argv[1])
print(str(uuid.uuid5(upgrade, "Zarvo " + sys.argv[2])).upper(), str(uuid.uuid5(upgrade, sys.argv[3])).upper())' \
    "$upgrade_code" "$version" "$inputs")
product_code=${codes% *}
package_code=${codes#* }

# The clock stands still for wixl, which stamps the summary with the time.
frozen=(env TZ=UTC faketime -f '2000-01-01 00:00:00')
(cd "$stage" && "${frozen[@]}" wixl -a x86 -D "ProductCode=$product_code" -D "ProductVersion=$msi_version" \
    -D "Version=$version" -o package.msi ZarvoSetup.wxs) || {
    echo "msi: wixl could not build the package from $source." >&2
    exit 1
}
# wixl draws the package code at random. Its secure properties, the upgrade's
# own, are the only ones that a standard user's elevated installation needs;
# the folder and the shortcut choices stay out of that list, so that such a
# user cannot choose where an action with the system's rights writes. An
# administrator's command line, or a transform, still sets them.
"${frozen[@]}" msibuild "$stage/package.msi" -s Zarvo Luofei "Intel;2052" "{$package_code}"
mv "$stage/package.msi" "$out"
echo "ZarvoSetup.msi $msi_version (release $version) with the $state installer, in $out"
