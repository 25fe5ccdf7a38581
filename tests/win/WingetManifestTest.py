"""The build's winget manifest: its three files valid against the published
schemas and of one package and version, the hash that of the installer as
published, and its switches and codes as the installer itself takes them. The
installer runs under Wine with the command lines that winget makes from the
switches (silent with a log and a folder whose names have spaces; silent with
progress as an upgrade; silent with a word it does not take), and the
Uninstall entry that it writes is the manifest's Apps-and-Features entry.
Usage: WingetManifestTest.py MANIFEST_DIR UNSIGNED SIGNED SCHEMA_DIR
"""
import hashlib
import json
import os
import shutil
import subprocess
import sys

import jsonschema
import yaml

manifests, unsigned, signed, schemas = sys.argv[1:5]
if not os.path.isdir(schemas):
    sys.exit("FAILED: the schemas are not at %s" % schemas)
prefix = os.environ["WINEPREFIX"]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what)


def load(kind, suffix):
    [name] = [n for n in os.listdir(manifests) if n.endswith(suffix)]
    with open(os.path.join(manifests, name), encoding="utf-8") as f:
        document = yaml.safe_load(f)
    with open(os.path.join(schemas, "manifest.%s.1.28.0.json" % kind), encoding="utf-8") as f:
        schema = json.load(f)
    for error in jsonschema.Draft7Validator(schema).iter_errors(document):
        check(False, "%s: %s at %s" % (name, error.message, list(error.absolute_path)))
    return document


files = sorted(os.listdir(manifests))
check(len(files) == 3, "three files, not %s" % files)
version = load("version", "Zarvo.yaml")
installer = load("installer", ".installer.yaml")
locale = load("defaultLocale", ".locale.%s.yaml" % version["DefaultLocale"])
for document in (installer, locale):
    for field in ("PackageIdentifier", "PackageVersion", "ManifestVersion"):
        check(document[field] == version[field], "%s differs between the files" % field)

published = signed if os.path.exists(signed) else unsigned
with open(published, "rb") as f:
    sha256 = hashlib.sha256(f.read()).hexdigest().upper()
check(installer["Installers"][0]["InstallerSha256"] == sha256, "the hash is not that of " + published)

# Windows paths in the prefix, and their places on this machine.
folder = "C:\\Zarvo Winget Test\\Zarvo"
log = "C:\\Zarvo Winget Test\\winget log.txt"
host_root = os.path.join(prefix, "drive_c", "Zarvo Winget Test")
uninstall = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + \
    installer["AppsAndFeaturesEntries"][0]["ProductCode"]
wine_installer = "Z:" + os.path.abspath(published).replace("/", "\\")


def wine(*arguments):
    return subprocess.run(["wine"] + list(arguments), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode


def clean():
    shutil.rmtree(host_root, ignore_errors=True)
    for key in (uninstall, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe"):
        wine("reg", "delete", key, "/reg:32", "/f")
    shutil.rmtree(os.path.join(prefix, "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/泽沃浏览器"),
                  ignore_errors=True)
    desktop = os.path.join(prefix, "drive_c/users/Public/Desktop/泽沃浏览器.lnk")
    if os.path.exists(desktop):
        os.remove(desktop)


def run(switches):
    """The exit code of the installer started with the command line that
    winget makes: the switches after the program, as one text. A batch file
    hands the line over as it stands."""
    batch = os.path.join(host_root, "run.bat")
    line = '"%s" %s' % (wine_installer, " ".join(switches))
    line = line.replace("<LOGPATH>", log).replace("<INSTALLPATH>", folder)
    with open(batch, "w", encoding="ascii", newline="\r\n") as f:
        f.write("@%s\nexit %%errorlevel%%\n" % line)
    return wine("cmd", "/c", "C:\\Zarvo Winget Test\\run.bat")


def log_result():
    try:
        with open(os.path.join(host_root, "winget log.txt"), encoding="utf-8-sig") as f:
            return f.read().splitlines()[-1]
    except (OSError, IndexError):
        return "(no log)"


def uninstall_entry():
    export = os.path.join(host_root, "entry.reg")
    wine("reg", "export", uninstall, "C:\\Zarvo Winget Test\\entry.reg", "/reg:32", "/y")
    values = {}
    if os.path.exists(export):
        with open(export, encoding="utf-16") as f:
            for line in f:
                name, _, value = line.strip().partition("=")
                if value.startswith('"'):
                    values[name.strip('"')] = value.strip('"')
    return values


codes = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in installer["ExpectedReturnCodes"]}
switches = installer["InstallerSwitches"]
clean()
try:
    os.makedirs(host_root)
    code = run([switches["Silent"], switches["Log"], switches["InstallLocation"]])
    check(code == 0, "silent install with a log and a folder ended with %d" % code)
    check(log_result().endswith("（退出代码 0）"), "the silent install's log ends: " + log_result())
    check(os.path.isfile(os.path.join(host_root, "Zarvo", "Zarvo.exe")), "nothing was installed in " + folder)
    entry = uninstall_entry()
    for field in ("DisplayName", "Publisher", "DisplayVersion"):
        expected = installer["AppsAndFeaturesEntries"][0][field]
        check(entry.get(field) == expected, "%s is %r, the manifest says %r" % (field, entry.get(field), expected))

    if os.path.exists(os.path.join(host_root, "winget log.txt")):
        os.remove(os.path.join(host_root, "winget log.txt"))
    code = run([switches["SilentWithProgress"], switches["Log"]])
    check(code == 0, "silent upgrade with progress ended with %d" % code)
    check(log_result().endswith("（退出代码 0）"), "the upgrade's log ends: " + log_result())

    # A newer release installed: winget is told that the package would downgrade it.
    wine("reg", "add", uninstall, "/v", "DisplayVersion", "/d", "65535.0.0.0", "/reg:32", "/f")
    code = run([switches["Silent"], switches["Log"]])
    check(codes.get(1638) == "downgrade" and code == 1638 % 256,
          "over a newer release the installer ended with %d, which the manifest reads as %s" % (code, codes.get(1638)))

    code = run([switches["Silent"], "/unknown"])
    check(codes.get(1639) == "invalidParameter" and code == 1639 % 256,
          "an unknown switch ended with %d, which the manifest reads as %s" % (code, codes.get(1639)))
finally:
    clean()
print("FAILED" if failures else "ok: the manifest is valid, its hash and switches the installer's")
sys.exit(1 if failures else 0)
