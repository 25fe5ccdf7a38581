#!/usr/bin/env bash
# The build's signing step with a throw-away certificate authority made here:
# the signed installer verifies against that authority and against nothing
# once a byte of it changes, and it still starts under Wine and installs all
# its payloads. Usage: SigningTest.sh INSTALLER GUI_TESTS WORK_DIR
set -euo pipefail
installer=$1
gui_tests=$2
work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
unset ZARVO_SIGN_PKCS12 ZARVO_SIGN_CERT ZARVO_SIGN_KEY ZARVO_SIGN_PASSWORD ZARVO_SIGN_PASSWORD_FILE \
    ZARVO_SIGN_TIMESTAMP_URL
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
rm -rf "$work"
mkdir -p "$work"
cd "$work"

password=$(openssl rand -hex 12)
printf '%s\n' "$password" >password
export password
{
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Zarvo Test CA" \
        -addext basicConstraints=critical,CA:true -addext keyUsage=critical,keyCertSign
    openssl req -newkey rsa:2048 -keyout sign.key -passout env:password -out sign.csr -subj "/CN=Zarvo Test Publisher"
    printf 'basicConstraints=critical,CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >ext
    openssl x509 -req -in sign.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile ext -out sign.pem
    openssl pkcs12 -export -inkey sign.key -passin env:password -in sign.pem -certfile ca.pem -out sign.p12 \
        -passout env:password
} >openssl.log 2>&1 || fail "openssl could not make the test certificates: $(cat openssl.log)"

sign() {
    local status=0
    "$root/tools/sign.sh" "$installer" "$1" >sign.log 2>&1 || status=$?
    ! grep -qF "$password" sign.log || fail "the password shows in the output"
    return $status
}
verify() {
    osslsigncode verify -CAfile ca.pem -in "$1" >verify.log 2>&1
}

# A PKCS#12 file with the password in a file, which ends in a line break.
ZARVO_SIGN_PKCS12=sign.p12 ZARVO_SIGN_PASSWORD_FILE=password sign p12/ZarvoSetup.exe || fail "$(cat sign.log)"
verify p12/ZarvoSetup.exe || fail "the signature does not verify: $(cat verify.log)"
grep -Eq 'Message digest algorithm *: SHA256' verify.log || fail "not signed with SHA-256: $(cat verify.log)"
cp p12/ZarvoSetup.exe changed.exe
middle=$(($(stat -c %s changed.exe) / 2))
byte=$(od -An -tu1 -j "$middle" -N1 changed.exe)
printf "\\$(printf %03o $((byte ^ 1)))" | dd of=changed.exe bs=1 seek="$middle" conv=notrunc 2>/dev/null
verify changed.exe && fail "a changed byte still verifies"

# PEM files with the password in the environment.
ZARVO_SIGN_CERT=sign.pem ZARVO_SIGN_KEY=sign.key ZARVO_SIGN_PASSWORD=$password sign pem/ZarvoSetup.exe ||
    fail "$(cat sign.log)"
verify pem/ZarvoSetup.exe || fail "the PEM signature does not verify: $(cat verify.log)"

# A time stamp that cannot be had fails the signing instead of leaving it out.
ZARVO_SIGN_PKCS12=sign.p12 ZARVO_SIGN_PASSWORD_FILE=password ZARVO_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ \
    sign stamped/ZarvoSetup.exe && fail "signed without the time stamp asked for"
[ ! -e stamped/ZarvoSetup.exe ] || fail "a failed signing left a signed file"

# No certificate: one line, and no signed file of an earlier build is left.
mkdir -p unsigned
cp p12/ZarvoSetup.exe unsigned/ZarvoSetup.exe
sign unsigned/ZarvoSetup.exe || fail "$(cat sign.log)"
[ "$(wc -l <sign.log)" = 1 ] && grep -q unsigned sign.log || fail "not one line saying unsigned: $(cat sign.log)"
[ ! -e unsigned/ZarvoSetup.exe ] || fail "an earlier signed file was left"

# The GUI tests' checks of the resources, and a whole installation, which
# reaches its last page only when the installer found every payload in itself.
# Wine's processes may hold a pipe open: output goes to a file.
signed=$work/p12/ZarvoSetup.exe
"$root/tools/wine-run" "$gui_tests" "--installer=Z:${signed//\//\\}" \
    --gtest_filter='Resources.*:WizardTest.CloseBoxOnTheFinishedPageEndsAtOnce' >gui.log 2>&1 </dev/null ||
    fail "the signed installer: $(cat gui.log)"
grep -q 'OK \] Resources\.' gui.log && grep -q 'OK \] WizardTest\.CloseBox' gui.log ||
    fail "the signed installer's tests did not run: $(cat gui.log)"
