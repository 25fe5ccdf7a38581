#!/usr/bin/env bash
# The package for the Windows Installer as an administrator deploys it: its
# tables read back (the hidden entry, the upgrade rows, the action that runs
# the installer elevated, the properties passed on, the removal), rebuilt byte
# for byte, and run by Wine's msiexec: the product installed with the
# properties and removed by msiexec /x, a refused property or folder failing
# the package with nothing left of it, a package older than the installed
# one refused, one whose folder was deleted by hand removed, and one whose
# product went by the entry's quiet removal. Wine runs the removal of an older
# package after the newer one's installation, as Windows does, but without
# telling it that it is part of an upgrade: the upgrade itself is checked in
# the tables. Runs in the Wine prefix of the test run.
# Usage: MsiTest.sh INSTALLER_BUILD WORK_DIR TEST_BROWSER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=$2
browser=$3
msi=$build/ZarvoSetup.msi
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
rm -rf "$work"
mkdir -p "$work"
table() {
    msiinfo export "$1" "$2" | tr -d '\r'
}
row() {
    grep -qxF "$2" <<<"$1" || fail "no row '$2' in: $1"
}

# The tables. The Upgrade rows: an older release is removed, a newer one only
# found, which the launch condition then refuses; the older package removed
# inside this one's transaction. The action: a DLL of the Binary table (1),
# deferred (1024), with the system's rights (2048), after the package's own
# files and before InstallFinalize.
properties=$(table "$msi" Property)
upgrade_code={3C6F1E52-8A4D-4F0B-9D27-6E1B5A0C7D93}
row "$properties" $'ARPSYSTEMCOMPONENT\t1'
row "$properties" $'ProductVersion\t1.10.2669'
row "$properties" "$(printf 'UpgradeCode\t%s' "$upgrade_code")"
# Secure are the upgrade's own properties, which its removal of the older
# release needs, and nothing a standard user could point the installer with.
secure=$(sed -n 's/^SecureCustomProperties\t//p' <<<"$properties")
[ "$(tr ';' '\n' <<<"$secure" | sort | paste -sd ';')" = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' ] ||
    fail "not the upgrade's properties alone are secure: $secure"
upgrade=$(table "$msi" Upgrade)
row "$upgrade" "$(printf '%s\t\t1.10.2669\t\t1\t\tWIX_UPGRADE_DETECTED' "$upgrade_code")"
row "$upgrade" "$(printf '%s\t1.10.2669\t\t\t2\t\tWIX_DOWNGRADE_DETECTED' "$upgrade_code")"
table "$msi" LaunchCondition | grep -q '^NOT WIX_DOWNGRADE_DETECTED' || fail "a newer release is not refused"
row "$(table "$msi" CustomAction)" $'Install\t3073\tRunInstaller\tRunInstaller\t'
sequence=$(table "$msi" InstallExecuteSequence | awk -F'\t' 'NR > 3 { print $3, $1 "\t" $2 }' | sort -n | cut -d' ' -f2-)
order=$(grep -E '^(InstallInitialize|RemoveExistingProducts|InstallFiles|Set(Repair|Install)Data|Install|InstallFinalize)	' \
    <<<"$sequence")
[ "$order" = "$(printf '%s\t%s\n' InstallInitialize '' RemoveExistingProducts '' InstallFiles '' \
    SetRepairData 'Installed AND NOT REMOVE~="ALL"' SetInstallData 'NOT Installed' Install 'NOT REMOVE~="ALL"' \
    InstallFinalize '' | head -c -1)" ] ||
    fail "not the older package removed inside the transaction, then the installer run after InstallFiles, on" \
        "installing only, with the properties on a first installation only: $order"
# The removal runs the installer's /uninstall before the package's own file
# goes, and not where it is part of an upgrade (which Wine does not say: see
# above), whose newer installer upgrades the product.
row "$(table "$msi" CustomAction)" $'Remove\t3073\tRunInstaller\tRunInstaller\t'
removal=$(grep -E '^(InstallInitialize|SetRemoveData|Remove|RemoveFiles|InstallFinalize)	' <<<"$sequence")
only='REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE'
[ "$removal" = "$(printf '%s\t%s\n' InstallInitialize '' SetRemoveData "$only" Remove "$only" RemoveFiles '' \
    InstallFinalize '' | head -c -1)" ] ||
    fail "not the installer's removal before the package's file goes, on removing only: $removal"

# Rebuilt from the same files, the package is the same; another release's
# has a product code of its own.
package() {
    "$root/tools/msi.sh" "$build/ZarvoSetup.exe" "$build/signed/ZarvoSetup.exe" "$build/RunInstaller.dll" "$@" \
        >/dev/null
}
package 1.1.0.2669 1.10.2669 "$work/again.msi"
cmp -s "$msi" "$work/again.msi" || fail "a second build of the package differs"
package 1.1.0.2670 1.10.2670 "$work/newer.msi"
product_code=$(sed -n 's/^ProductCode\t//p' <<<"$properties")
newer_code=$(table "$work/newer.msi" Property | sed -n 's/^ProductCode\t//p')
[ "$newer_code" != "$product_code" ] || fail "two releases share the product code $product_code"
installer=$build/ZarvoSetup.exe
[ -f "$build/signed/ZarvoSetup.exe" ] && installer=$build/signed/ZarvoSetup.exe
[ $(stat -c %s "$msi") -le $(($(stat -c %s "$installer") + 65536)) ] ||
    fail "the package weighs more than the installer and 64 KiB"

dir='C:\Zarvo Msi Test\Zarvo'
host_dir="$WINEPREFIX/drive_c/Zarvo Msi Test/Zarvo"
keys='HKLM\Software\Microsoft\Windows\CurrentVersion'
desktop="$WINEPREFIX/drive_c/users/Public/Desktop/泽沃浏览器.lnk"
group="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/泽沃浏览器"
clean() {
    wine msiexec /x "$newer_code" /qn >/dev/null 2>&1 || true
    wine msiexec /x "$product_code" /qn >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX/drive_c/Zarvo Msi Test" "$desktop" "$group"
    wine reg delete "$keys\\Uninstall\\Zarvo" /reg:32 /f >/dev/null 2>&1 || true
    wine reg delete "$keys\\App Paths\\Zarvo.exe" /reg:32 /f >/dev/null 2>&1 || true
    for key in Clients\\StartMenuInternet\\Zarvo Classes\\ZarvoHTML Classes\\ZarvoURL; do
        wine reg delete "HKLM\\Software\\$key" /reg:64 /f >/dev/null 2>&1 || true
    done
}
trap clean EXIT
clean
msiexec() {
    local status=0
    wine msiexec "$@" /qn </dev/null >/dev/null 2>&1 || status=$?
    echo $((status % 256))
}
registered() {
    wine reg query "$keys\\Uninstall\\$1" /reg:32 >/dev/null 2>&1
}
# Listed among the browsers, where 64-bit Windows' shell reads it.
browser_registered() {
    wine reg query 'HKLM\Software\Clients\StartMenuInternet\Zarvo' /reg:64 >/dev/null 2>&1
}
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# A shortcut property that is neither true nor false fails the package (1603)
# before the installer runs; a folder that the installer refuses fails it
# with the installer's own code (1625) in the package's log. Neither leaves
# the package registered.
[ "$(msiexec /i "$(windows_path "$msi")" /l*v "$(windows_path "$work/maybe.log")" DESKTOP_SHORTCUT=maybe)" = 67 ] &&
    ! grep -aq '^ZarvoSetup: ' "$work/maybe.log" || fail "DESKTOP_SHORTCUT=maybe reached the installer"
[ "$(msiexec /i "$(windows_path "$msi")" /l*v "$(windows_path "$work/refused.log")" 'INSTALLDIR=C:\Zarvo Msi Test\a*b')" \
    = 67 ] || fail "the package did not fail with a folder that the installer refuses"
# The installer's log, where msiexec names none of its own: the temporary folder.
log=$(sed -n 's/^ZarvoSetup: .* \/LOG="\([^"]*\)" \/D=C:\\Zarvo Msi Test\\a\*b ended with exit code 1625$/\1/p' \
    "$work/refused.log")
[[ "$log" == *'\Temp\ZarvoSetup.log' ]] && grep -q '（退出代码 1625）' "$(winepath -u "$log")" ||
    fail "the package's log does not give the installer's exit code, or its log is not in the temporary folder:" \
        "$(grep -a '^ZarvoSetup' "$work/refused.log")"
! registered "$product_code" || fail "a failed package stayed registered"
# A quote in a field could make the installer's line say more than it was
# given: the action refuses it before the installer runs. (Wine's msiexec
# turns a quote on its command line into a backslash: the value comes from the
# package's table, as a transform would give it.)
cp "$msi" "$work/quote.msi"
msibuild "$work/quote.msi" -q "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('INSTALLDIR', \
'C:\\Zarvo Msi Test\\a\" /D=C:\\Zarvo Msi Test\\b')"
[ "$(msiexec /i "$(windows_path "$work/quote.msi")" /l*v "$(windows_path "$work/quote.log")")" = 67 ] &&
    grep -aq "^ZarvoSetup: the package's INSTALLDIR is refused: " "$work/quote.log" &&
    ! grep -aq '^ZarvoSetup: .* ended with exit code' "$work/quote.log" ||
    fail "a quote in INSTALLDIR was not refused by the action: $(grep -a '^ZarvoSetup' "$work/quote.log")"

# Installed with the properties: the product in INSTALLDIR, the shortcuts as
# chosen, and one entry to see. (Wine's msiexec does not say where it logs,
# MsiLogFileLocation, so the installer's log beside the package's is not seen
# here.)
[ "$(msiexec /i "$(windows_path "$msi")" /l*v "$(windows_path "$work/install.log")" "INSTALLDIR=$dir" \
    DESKTOP_SHORTCUT=false START_MENU_SHORTCUT=TRUE)" = 0 ] || fail "the package did not install: $(cat "$work/install.log")"
[ -f "$host_dir/Zarvo.exe" ] && [ ! -e "$desktop" ] && [ -f "$group/泽沃浏览器.lnk" ] ||
    fail "the product is not installed in INSTALLDIR with the shortcuts chosen"
registered Zarvo && browser_registered || fail "the product's entry or its browser registration is missing"
wine reg query "$keys\\Uninstall\\$product_code" /v SystemComponent /reg:32 2>/dev/null | grep -q 'REG_DWORD *0x1' ||
    fail "the package's own entry is not hidden"

# A repair, even one given a first installation's properties that name
# another product's folder, puts back the kept installer and the product's
# files where the product is, as chosen then, and changes nothing elsewhere;
# the kept installer and its folder get the product's access (which Wine
# keeps as mode bits only: 775, where msiexec makes them 755).
other="$WINEPREFIX/drive_c/Program Files/Other"
mkdir -p "$other/Plugins" "$other/Temp"
printf 'other' >"$other/Uninstall.exe"
printf 'news' >"$other/whatsnew.txt"
# Every name in a folder, a file with its size and time.
listing() {
    (cd "$1" && find . -type d -printf '%p/\n' -o -printf '%p %s %T@\n' | sort)
}
others=$(listing "$other")
kept=$(find "$WINEPREFIX/drive_c" -maxdepth 3 -path '*/Zarvo Setup/ZarvoSetup.exe')
rm "$kept" "$host_dir/Lisense.txt"
[ "$(msiexec /i "$(windows_path "$msi")" /l*v "$(windows_path "$work/repair.log")" REINSTALL=ALL REINSTALLMODE=omus \
    'INSTALLDIR=C:\Program Files\Other' DESKTOP_SHORTCUT=true)" = 0 ] ||
    fail "the repair failed: $(grep -a '^ZarvoSetup' "$work/repair.log")"
[ "$(listing "$other")" = "$others" ] || fail "the repair changed another product's folder"
[ -f "$kept" ] && [ -f "$host_dir/Lisense.txt" ] && [ ! -e "$desktop" ] &&
    wine reg query "$keys\\Uninstall\\Zarvo" /v InstallLocation /reg:32 | grep -qF "$dir" ||
    fail "the repair did not put back the kept installer and the product where they were, as chosen"
[ "$(stat -c %a "$(dirname "$kept")" "$kept")" = $'775\n775' ] ||
    fail "the kept installer and its folder were not given the product's access"

# A repair fails with nothing of the product changed where the kept
# installer's folder is one that others could have changed, and where a
# program of the product runs and will not close, which it leaves running.
product=$(listing "$host_dir")
chmod o+w "$(dirname "$kept")"
[ "$(msiexec /i "$(windows_path "$msi")" /l*v "$(windows_path "$work/open.log")" REINSTALL=ALL REINSTALLMODE=omus)" \
    = 67 ] && grep -aq '^ZarvoSetup: the kept installer is not run: others ' "$work/open.log" &&
    [ "$(listing "$host_dir")" = "$product" ] ||
    fail "a repair ran the installer from a folder that others could change: $(grep -a '^ZarvoSetup' "$work/open.log")"
chmod o-w "$(dirname "$kept")"
cp "$host_dir/ZarvUpdate.exe" "$work/ZarvUpdate.exe"
cp "$browser" "$host_dir/ZarvUpdate.exe"
wine "$dir\\ZarvUpdate.exe" refuse </dev/null >/dev/null 2>&1 &
running=$!
# Its window, titled with its word, says that it runs (within the tests'
# patience, 60 s).
timeout 60 xdotool search --sync --name '^refuse$' >/dev/null || fail "the stand-in browser did not start"
product=$(listing "$host_dir")
[ "$(msiexec /i "$(windows_path "$msi")" /l*v "$(windows_path "$work/held.log")" REINSTALL=ALL REINSTALLMODE=omus)" \
    = 67 ] && grep -aq ' ended with exit code 15618$' "$work/held.log" && kill -0 $running &&
    [ "$(listing "$host_dir")" = "$product" ] ||
    fail "a repair ended a running copy, or changed the product: $(grep -a '^ZarvoSetup' "$work/held.log")"
kill $running
wait $running || true
cp "$work/ZarvUpdate.exe" "$host_dir/ZarvUpdate.exe"

# Removed by msiexec /x: the product through the installer's /uninstall, with
# a file of the user's kept, then the package with the installer it kept.
printf 'mine' >"$host_dir/mine.txt"
[ "$(msiexec /x "$product_code" /l*v "$(windows_path "$work/remove.log")")" = 0 ] ||
    fail "the package was not removed: $(grep -a '^ZarvoSetup' "$work/remove.log")"
grep -aq '^ZarvoSetup: ".*" /uninstall /quiet /LOG="[^"]*" ended with exit code 0$' "$work/remove.log" ||
    fail "the removal did not run the installer's /uninstall: $(grep -a '^ZarvoSetup' "$work/remove.log")"
[ ! -e "$host_dir/Zarvo.exe" ] && [ ! -e "$group" ] && [ "$(cat "$host_dir/mine.txt")" = mine ] ||
    fail "the product stayed, or the user's file went"
! registered Zarvo && ! registered "$product_code" && ! browser_registered || fail "an entry stayed after msiexec /x"
[ -z "$(find "$WINEPREFIX/drive_c" -maxdepth 2 -name 'Zarvo Setup')" ] || fail "the package's installer stayed"

# A newer release's package installed, this one is refused, and changes nothing.
clean
[ "$(msiexec /i "$(windows_path "$work/newer.msi")" "INSTALLDIR=$dir")" = 0 ] || fail "the newer package did not install"
[ "$(msiexec /i "$(windows_path "$msi")")" = 67 ] || fail "an older package was installed over a newer one"
! registered "$product_code" || fail "the older package was registered"
registered "$newer_code" || fail "the newer package was removed"

# Its install folder deleted by hand, the package is still removed by
# msiexec /x: the shortcuts, values and entries go, and the folder that the
# installation made above the install folder, empty by then.
rm -rf "$host_dir"
[ "$(msiexec /x "$newer_code" /l*v "$(windows_path "$work/gone.log")")" = 0 ] ||
    fail "the package whose folder was deleted by hand was not removed: $(grep -a '^ZarvoSetup' "$work/gone.log")"
! registered Zarvo && ! registered "$newer_code" && [ ! -e "$group" ] &&
    [ ! -e "$WINEPREFIX/drive_c/Zarvo Msi Test" ] ||
    fail "the shortcuts, an entry or the folder made above stayed after msiexec /x"

# Removed by the entry's quiet removal, as a deployment tool runs it, the
# product takes the kept installer with it by the next restart: the package's
# removal then has nothing left to remove, and says so.
[ "$(msiexec /i "$(windows_path "$msi")" "INSTALLDIR=$dir")" = 0 ] || fail "the package did not install again"
kept=$(find "$WINEPREFIX/drive_c" -maxdepth 3 -path '*/Zarvo Setup/ZarvoSetup.exe')
quiet=$(wine reg query "$keys\\Uninstall\\Zarvo" /v QuietUninstallString /reg:32 | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
exe=${quiet#\"}
exe=${exe%%\"*}
# shellcheck disable=SC2086 # the entry's switches, one word each
wine "$exe" ${quiet#\""$exe"\"} </dev/null >/dev/null 2>&1 || fail "the entry's quiet removal failed: $quiet"
wine wineboot -r </dev/null >/dev/null 2>&1
[ ! -e "$kept" ] || fail "the kept installer outlived the restart"
[ "$(msiexec /x "$product_code" /l*v "$(windows_path "$work/quiet.log")")" = 0 ] && ! registered "$product_code" &&
    grep -aq '^ZarvoSetup: the kept installer is gone and the product is not installed' "$work/quiet.log" ||
    fail "the package whose product went by its quiet removal was not removed: $(grep -a '^ZarvoSetup' "$work/quiet.log")"
# Without the kept installer but with the product still installed, the
# package's removal fails and the product stays. (Wine's rollback of a removal
# forgets the package, so this comes last.)
[ "$(msiexec /i "$(windows_path "$msi")" "INSTALLDIR=$dir")" = 0 ] || fail "the package did not install a third time"
rm "$kept"
[ "$(msiexec /x "$product_code" /l*v "$(windows_path "$work/missing.log")")" = 67 ] && registered Zarvo &&
    grep -aq '^ZarvoSetup: the kept installer is not run: ' "$work/missing.log" ||
    fail "the package was removed without its installer while the product stayed"
rm -rf "$(dirname "$kept")"
