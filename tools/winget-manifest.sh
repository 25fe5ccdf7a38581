#!/usr/bin/env bash
# Writes the release's winget manifest: the three files of a multi-file
# manifest (version, installer, default locale; schema 1.28.0) for the
# installer as published, the signed one where the build signed it. A
# publisher would otherwise write them by hand, and could get the codes or the
# hash wrong.
# Usage: winget-manifest.sh UNSIGNED SIGNED VERSION DOWNLOAD_URL OUT_DIR
set -euo pipefail
unsigned=$1
signed=$2
version=$3
url=$4
out=$5

root=$(cd "$(dirname "$0")/.." && pwd)

installer=$unsigned
state=unsigned
[ -f "$signed" ] && installer=$signed && state=signed
# In single quotes for YAML, where a quote is written twice.
quoted_url=${url//\'/\'\'}
sha256=$(sha256sum "$installer" | cut -c1-64 | tr a-f A-F)
id=Luofei.Zarvo
schema=https://aka.ms/winget-manifest
header() {
    printf '# yaml-language-server: $schema=%s.%s.1.28.0.schema.json\n' "$schema" "$1"
    printf '# Made by the build for ZarvoSetup.exe, %s.\n\n' "$state"
    printf 'PackageIdentifier: %s\nPackageVersion: %s\n' "$id" "$version"
}

rm -rf "$out"
mkdir -p "$out"
{
    header version
    printf 'DefaultLocale: zh-CN\nManifestType: version\nManifestVersion: 1.28.0\n'
} >"$out/$id.yaml"

# The switches as the installer reads them: /D= last, as winget puts it, and
# the log's path in quotes, for a user name with a space. The exit codes are
# docs/administrators.md's, each with the meaning that winget gives no installer of this
# type unless told; 1603 (failed, or no room) and 1620 (damaged, which winget's
# hash check finds first) stay plain failures. The Apps-and-Features entry is
# the one that the installer writes: DisplayName, Publisher and DisplayVersion
# of the Uninstall key named Zarvo.
{
    header installer
    cat <<EOF
InstallerLocale: zh-CN
Platform:
- Windows.Desktop
InstallerType: exe
Scope: machine
InstallModes:
- interactive
- silent
- silentWithProgress
InstallerSwitches:
  Silent: /quiet
  SilentWithProgress: /passive
  Log: '/LOG="<LOGPATH>"'
  InstallLocation: '/D=<INSTALLPATH>'
ExpectedReturnCodes:
- InstallerReturnCode: 1602
  ReturnResponse: cancelledByUser
- InstallerReturnCode: 1618
  ReturnResponse: installInProgress
- InstallerReturnCode: 1622
  ReturnResponse: invalidParameter
- InstallerReturnCode: 1625
  ReturnResponse: blockedByPolicy
- InstallerReturnCode: 1638
  ReturnResponse: downgrade
- InstallerReturnCode: 1639
  ReturnResponse: invalidParameter
- InstallerReturnCode: 15618
  ReturnResponse: packageInUse
UpgradeBehavior: install
ElevationRequirement: elevationRequired
AppsAndFeaturesEntries:
- DisplayName: 泽沃浏览器
  Publisher: 洛菲工作室
  DisplayVersion: $version
  ProductCode: Zarvo
Installers:
- Architecture: x86
  InstallerUrl: '$quoted_url'
  InstallerSha256: $sha256
ManifestType: installer
ManifestVersion: 1.28.0
EOF
} >"$out/$id.installer.yaml"

# The maker's addresses, as the installer has them.
maker() {
    sed -n "s/.*$1\[\] = L\"\(.*\)\";/\1/p" "$root/system/Product.h"
}
{
    header defaultLocale
    cat <<EOF
PackageLocale: zh-CN
Publisher: 洛菲工作室
PublisherUrl: $(maker kMakerSiteUrl)
PublisherSupportUrl: $(maker kForumUrl)
PackageName: 泽沃浏览器
PackageUrl: $(maker kProductSiteUrl)
License: 免费软件
Copyright: 版权所有 (C) 2008-2010 洛菲工作室
ShortDescription: 泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。
Moniker: zarvo
ManifestType: defaultLocale
ManifestVersion: 1.28.0
EOF
} >"$out/$id.locale.zh-CN.yaml"
echo "winget manifest for ZarvoSetup.exe $version, $state, in $out"
