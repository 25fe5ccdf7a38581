#!/usr/bin/env bash
# A release as a publisher makes it: tools/build.sh --payloads from a folder of
# files other than the stand-ins, in a build tree of its own. A folder that
# lacks one of the files is refused in one sentence naming it, and so is a
# version that the release's package could not keep apart from another's. The
# whole folder, with a file too many and a version of its own, gives an
# installer that names the file it left out, carries that version and no path
# of the folder, and installs every file's bytes exactly when run unattended
# into a folder whose name has a space. The installer of the test run's build,
# an older release, then refuses to replace it unattended (1638) and changes
# nothing, unless its line allows it. Runs in the Wine prefix of the test run.
# Usage: PayloadsBuildTest.sh WORK_DIR OLDER_INSTALLER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
older=$2
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
folder=$work/release-files
rm -rf "$folder"
mkdir -p "$folder/Data" "$folder/Skin" "$folder/Lang"
layout=(whatsnew.txt Data/ZarvConfig.ini Zarvo.exe ZarvService.exe BugReport.exe Lisense.txt ZarvLibrary.dll
    ZarvResources.dll ZarvZip.dll ZarvUpdate.exe Uninstall.exe Skin/default.zsk Lang/0x0804.ini Lang/0x0404.ini
    Lang/0x0409.ini)
size=1000
for file in "${layout[@]}"; do
    head -c "$size" /dev/urandom >"$folder/$file"
    size=$((size + 37000))
done
# An empty file is a file of the product too.
: >"$folder/Lang/0x0409.ini"
echo "not part of the product" >"$folder/notes.txt"

build() {
    ZARVO_BUILD=$work/build "$root/tools/build.sh" --payloads "$folder" "$@" >"$work/build.log" 2>&1
}
mv "$folder/Lang/0x0804.ini" "$work/held-back.ini"
build && fail "a folder without Lang/0x0804.ini was built"
[ "$(grep -c '^build: ' "$work/build.log")" = 1 ] && ! grep -q 'CMake Error' "$work/build.log" &&
    grep -qxF "build: The payload folder $folder lacks Lang/0x0804.ini." "$work/build.log" ||
    fail "not one sentence naming the missing file: $(cat "$work/build.log")"
mv "$work/held-back.ini" "$folder/Lang/0x0804.ini"
# 1.1.10.1 would be 1.20.1 to the Windows Installer, as 1.2.0.1 is.
build --version 1.1.10.1 && fail "version 1.1.10.1 was built"
[ "$(grep -c '^build: ' "$work/build.log")" = 1 ] &&
    grep -q '^build: The version 1.1.10.1 has no version of its own for the Windows Installer' "$work/build.log" ||
    fail "not one sentence refusing version 1.1.10.1: $(cat "$work/build.log")"

build --version 2.0.1.3000 || fail "the release did not build: $(cat "$work/build.log")"
grep -qF "Left out of the installer: notes.txt" "$work/build.log" || fail "notes.txt was not named as left out"
installer=$work/build/win32/ZarvoSetup.exe
! grep -qaF "$folder" "$installer" || fail "the installer holds the path of the folder"
# The caption in UTF-16, the manifest's identity, and the version resource's
# numbers after its signature: 2.0 and 1.3000, each as low word then high word.
perl -0777 -ne 'exit 1 unless index($_, "V\0002\000.\0000\000.\0001\000.\0003\0000\0000\0000\000 \000b\000") >= 0
    && /name="Zarvo\.Setup" version="2\.0\.1\.3000"/ && /\xBD\x04\xEF\xFE.{4}\x00\x00\x02\x00\xB8\x0B\x01\x00/s' \
    "$installer" || fail "the installer does not carry version 2.0.1.3000 in all three places"

dir='C:\Zarvo Release Test\Zarvo'
host_dir="$WINEPREFIX/drive_c/Zarvo Release Test/Zarvo"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvo'
clean() {
    rm -rf "$WINEPREFIX/drive_c/Zarvo Release Test"
    wine reg delete "$uninstall" /reg:32 /f >/dev/null 2>&1 || true
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Zarvo.exe' /reg:32 /f >/dev/null 2>&1 ||
        true
    rm -rf "$WINEPREFIX/drive_c/users/Public/Desktop/泽沃浏览器.lnk" \
        "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/泽沃浏览器"
}
trap clean EXIT
clean
# Wine quotes the argument with the space, as tools that build a command line
# from a list of arguments do.
status=0
wine "$installer" /S "/D=$dir" </dev/null >"$work/install.log" 2>&1 || status=$?
[ $status = 0 ] || fail "the unattended installation ended with $status"
for file in "${layout[@]}"; do
    cmp -s "$folder/$file" "$host_dir/$file" || fail "$file is not installed as it is in the folder"
done
wine reg query "$uninstall" /v DisplayVersion /reg:32 2>/dev/null | grep -q 'REG_SZ *2\.0\.1\.3000' ||
    fail "the Uninstall entry does not show version 2.0.1.3000"
for number in VersionMajor:0x2 VersionMinor:0x0; do
    wine reg query "$uninstall" /v "${number%:*}" /reg:32 2>/dev/null | grep -qE "REG_DWORD +${number#*:}[[:space:]]*\$" ||
        fail "the Uninstall entry's ${number%:*} is not ${number#*:}"
done

status=0
wine "$older" /quiet "/LOG=Z:${work//\//\\}\\older.log" </dev/null >/dev/null 2>&1 || status=$?
[ $status = $((1638 % 256)) ] && cmp -s "$folder/Zarvo.exe" "$host_dir/Zarvo.exe" ||
    fail "an older release replaced the newer one unattended, or did not end with 1638 ($status)"
grep -q '本机已装有较新的泽沃浏览器 2.0.1.3000' "$work/older.log" || fail "the log does not say why: $(cat "$work/older.log")"
wine "$older" /quiet /AllowDowngrade </dev/null >/dev/null 2>&1 && ! cmp -s "$folder/Zarvo.exe" "$host_dir/Zarvo.exe" ||
    fail "/AllowDowngrade did not let the older release replace the newer one"
