#!/usr/bin/env bash
# The build's signing step with throw-away certificate authorities made here:
# the signed installer verifies against its authority and against nothing
# once a byte of it changes; signed twice, SHA-1 first and SHA-256 nested, each
# signature verifies with its own time stamp from a time-stamp server that the
# test runs on 127.0.0.1 (the legacy Authenticode form for the SHA-1 one, RFC
# 3161 for the other); the package for the Windows Installer carries the signed
# installer and is signed too; and the signed installer still starts under
# Wine and installs all its payloads. Usage: SigningTest.sh INSTALLER GUI_TESTS WORK_DIR
set -euo pipefail
installer=$1
gui_tests=$2
work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
unset ZARVO_SIGN_PKCS12 ZARVO_SIGN_CERT ZARVO_SIGN_KEY ZARVO_SIGN_PASSWORD ZARVO_SIGN_PASSWORD_FILE \
    ZARVO_SIGN_TIMESTAMP_URL ZARVO_SIGN_SHA1_PKCS12 ZARVO_SIGN_SHA1_CERT ZARVO_SIGN_SHA1_KEY \
    ZARVO_SIGN_SHA1_PASSWORD ZARVO_SIGN_SHA1_PASSWORD_FILE ZARVO_SIGN_SHA1_TIMESTAMP_URL
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
rm -rf "$work"
mkdir -p "$work"
cd "$work"

password=$(openssl rand -hex 12)
printf '%s\n' "$password" >password
sha1_password=$(openssl rand -hex 12)
export password sha1_password
# An authority NAME.pem whose certificates are signed with DIGEST: a code
# signer NAME-sign.pem, whose key is under the password in that variable, and
# a time-stamping authority NAME-tsa.pem.
authority() {
    local name=$1 digest=$2 password_variable=$3
    openssl req -x509 -newkey rsa:2048 -nodes -"$digest" -keyout "$name.key" -out "$name.pem" -days 2 \
        -subj "/CN=Zarvo Test $name CA" -addext basicConstraints=critical,CA:true -addext keyUsage=critical,keyCertSign
    openssl req -newkey rsa:2048 -keyout "$name-sign.key" -passout "env:$password_variable" -out "$name-sign.csr" \
        -subj "/CN=Zarvo Test $name Publisher"
    openssl req -newkey rsa:2048 -nodes -keyout "$name-tsa.key" -out "$name-tsa.csr" -subj "/CN=Zarvo Test $name TSA"
    for use in sign:codeSigning tsa:critical,timeStamping; do
        printf 'basicConstraints=critical,CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' \
            "${use#*:}" >ext
        openssl x509 -req -"$digest" -in "$name-${use%%:*}.csr" -CA "$name.pem" -CAkey "$name.key" -CAcreateserial \
            -days 2 -extfile ext -out "$name-${use%%:*}.pem"
    done
}
{
    authority ca sha256 password
    authority sha1 sha1 sha1_password
    openssl pkcs12 -export -inkey ca-sign.key -passin env:password -in ca-sign.pem -certfile ca.pem -out sign.p12 \
        -passout env:password
} >openssl.log 2>&1 || fail "openssl could not make the test certificates: $(cat openssl.log)"
cat ca.pem sha1.pem >authorities.pem

# sign SIGNED [UNSIGNED]: the installer, or another file, signed as the build does.
sign() {
    local status=0
    "$root/tools/sign.sh" "${2:-$installer}" "$1" >sign.log 2>&1 || status=$?
    ! grep -qF -e "$password" -e "$sha1_password" sign.log || fail "a password shows in the output"
    return $status
}
verify() {
    osslsigncode verify -CAfile authorities.pem -TSA-CAfile authorities.pem -in "$1" >verify.log 2>&1
}
# A copy of the file with its middle byte changed.
changed() {
    cp "$1" "$2"
    local middle byte
    middle=$(($(stat -c %s "$2") / 2))
    byte=$(od -An -tu1 -j "$middle" -N1 "$2")
    printf "\\$(printf %03o $((byte ^ 1)))" | dd of="$2" bs=1 seek="$middle" conv=notrunc 2>/dev/null
}

# A PKCS#12 file with the password in a file, which ends in a line break.
ZARVO_SIGN_PKCS12=sign.p12 ZARVO_SIGN_PASSWORD_FILE=password sign p12/ZarvoSetup.exe || fail "$(cat sign.log)"
verify p12/ZarvoSetup.exe || fail "the signature does not verify: $(cat verify.log)"
grep -Eq 'Message digest algorithm *: SHA256' verify.log || fail "not signed with SHA-256: $(cat verify.log)"
changed p12/ZarvoSetup.exe changed.exe
verify changed.exe && fail "a changed byte still verifies"

# The winget manifest is of the file as published: the signed one.
"$root/tools/winget-manifest.sh" "$installer" p12/ZarvoSetup.exe 1.1.0.2669 https://download.example.com/ZarvoSetup.exe \
    winget >/dev/null
grep -qx "  InstallerSha256: $(sha256sum p12/ZarvoSetup.exe | cut -c1-64 | tr a-f A-F)" winget/*.installer.yaml ||
    fail "the winget manifest does not give the signed installer's hash"

# The package for the Windows Installer carries the installer as published,
# and is signed as it is.
"$root/tools/msi.sh" "$installer" p12/ZarvoSetup.exe "$(dirname "$installer")/RunInstaller.dll" 1.1.0.2669 \
    1.10.2669 ZarvoSetup.msi >/dev/null
msiextract -C carried ZarvoSetup.msi >/dev/null
cmp -s "carried/Program Files/Zarvo Setup/ZarvoSetup.exe" p12/ZarvoSetup.exe ||
    fail "the package does not carry the signed installer"
ZARVO_SIGN_PKCS12=sign.p12 ZARVO_SIGN_PASSWORD_FILE=password sign p12/ZarvoSetup.msi ZarvoSetup.msi ||
    fail "$(cat sign.log)"
verify p12/ZarvoSetup.msi || fail "the package's signature does not verify: $(cat verify.log)"
changed p12/ZarvoSetup.msi changed.msi
verify changed.msi && fail "a changed byte of the package still verifies"

# PEM files with the password in the environment.
ZARVO_SIGN_CERT=ca-sign.pem ZARVO_SIGN_KEY=ca-sign.key ZARVO_SIGN_PASSWORD=$password sign pem/ZarvoSetup.exe ||
    fail "$(cat sign.log)"
verify pem/ZarvoSetup.exe || fail "the PEM signature does not verify: $(cat verify.log)"

# Both signatures, each time-stamped in its own form by the server on
# 127.0.0.1, which stops with the test.
mkdir tsa
cp ca-tsa.pem tsa/rfc3161.pem
cp ca-tsa.key tsa/rfc3161.key
cp sha1-tsa.pem tsa/authenticode.pem
cp sha1-tsa.key tsa/authenticode.key
printf '%s\n' '[tsa]' 'default_tsa = zarvo' '[zarvo]' "serial = $work/tsa/serial" 'signer_digest = sha256' \
    'default_policy = 1.3.6.1.4.1.55555.1' 'digests = sha1, sha256' 'ess_cert_id_alg = sha256' >tsa/ts.cnf
python3 "$root/tests/win/TimeStampServer.py" "$work/tsa" "$work/tsa/port" 2>tsa/server.log &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || :' EXIT
for _ in $(seq 600); do
    [ -s tsa/port ] && break
    kill -0 $server 2>/dev/null || fail "the time-stamp server did not start: $(cat tsa/server.log)"
    sleep 0.1
done
tsa=http://127.0.0.1:$(cat tsa/port)
# Signed with both certificates, and the RFC 3161 and the legacy server named.
sign_twice() {
    ZARVO_SIGN_PKCS12=sign.p12 ZARVO_SIGN_PASSWORD_FILE=password ZARVO_SIGN_TIMESTAMP_URL=$2 \
        ZARVO_SIGN_SHA1_CERT=sha1-sign.pem ZARVO_SIGN_SHA1_KEY=sha1-sign.key ZARVO_SIGN_SHA1_PASSWORD=$sha1_password \
        ZARVO_SIGN_SHA1_TIMESTAMP_URL=$3 sign "$1"
}
# osslsigncode reports each signature, and succeeds when one of them verifies:
# the report of each is read on its own.
expect_signature() {
    grep -Eq "Message digest algorithm *: $2\$" "$1" && grep -q '^Signature verification: ok' "$1" &&
        grep -q '^Timestamp Server Signature verification: ok' "$1" && grep -qF "Subject: /CN=$3" "$1" ||
        fail "$1: not $2, verified and time-stamped by $3: $(cat verify.log)"
}
sign_twice dual/ZarvoSetup.exe "$tsa/rfc3161" "$tsa/authenticode" || fail "$(cat sign.log)"
verify dual/ZarvoSetup.exe || fail "the dual signature does not verify: $(cat verify.log)"
[ "$(cat tsa/requests.log)" = "$(printf '/authenticode\n/rfc3161')" ] ||
    fail "not one legacy time stamp, then one RFC 3161 time stamp: $(cat tsa/requests.log)"
sed -n '/^Signature Index: 0/,/^Signature Index: 1/p' verify.log >first.log
sed -n '/^Signature Index: 1/,$p' verify.log >nested.log
expect_signature first.log SHA1 "Zarvo Test sha1 TSA"
expect_signature nested.log SHA256 "Zarvo Test ca TSA"
# An RFC 3161 token carries a serial number; the legacy countersignature has none.
! grep -q 'Timestamp serial number' first.log && grep -q 'Timestamp serial number' nested.log ||
    fail "the time stamps are not of the legacy form, then RFC 3161: $(cat verify.log)"
changed dual/ZarvoSetup.exe changed-dual.exe
verify changed-dual.exe && fail "a changed byte still verifies with both signatures"
sign_twice half/ZarvoSetup.exe "$tsa/rfc3161" "" && fail "signed twice with one time stamp"
[ ! -e half/ZarvoSetup.exe ] || fail "a refused signing left a signed file"
kill $server
wait $server 2>/dev/null || true
trap - EXIT

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
