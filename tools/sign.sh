#!/usr/bin/env bash
# Signs the installer with Authenticode when the builder hands the build a
# code-signing certificate; nothing of it lives in the repository. With one
# certificate the signature is SHA-256. Windows 2000, and XP before SP3, check
# SHA-1 signatures only: given a second, SHA-1 certificate as well, the file is
# signed with it first, and the SHA-256 signature is nested in that one for the
# systems that check it.
#   ZARVO_SIGN_PKCS12         the certificate with its key, as a PKCS#12 file, or
#   ZARVO_SIGN_CERT           the certificate (and its chain) as PEM, with
#   ZARVO_SIGN_KEY            its key as PEM;
#   ZARVO_SIGN_PASSWORD_FILE  a file holding the key's password, or
#   ZARVO_SIGN_PASSWORD       the password itself;
#   ZARVO_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server, if wanted.
#   ZARVO_SIGN_SHA1_PKCS12, ZARVO_SIGN_SHA1_CERT with ZARVO_SIGN_SHA1_KEY,
#   ZARVO_SIGN_SHA1_PASSWORD_FILE, ZARVO_SIGN_SHA1_PASSWORD
#                             the same for the SHA-1 certificate, if wanted;
#   ZARVO_SIGN_SHA1_TIMESTAMP_URL  a time-stamp server of the legacy
#                             Authenticode form, the one those systems check,
#                             for the SHA-1 signature. With the SHA-1
#                             certificate both servers are named or neither: a
#                             signature left without its time stamp stops
#                             verifying when its certificate expires.
# Usage: sign.sh UNSIGNED SIGNED. Without a certificate SIGNED is removed, so
# that no signed file of an older build is left, and one line says so.
set -euo pipefail
unsigned=$1
signed=$2

fail() {
    echo "sign: $*" >&2
    exit 1
}

# The options that give osslsigncode the certificate and key named by the
# variables of that prefix; false when none is named. The password never goes
# on a command line, where other users and build logs could see it:
# osslsigncode reads it from its file or from standard input.
key_options() {
    local pkcs12=${1}PKCS12 cert=${1}CERT key=${1}KEY file=${1}PASSWORD_FILE password=${1}PASSWORD
    if [ -n "${!pkcs12:-}" ]; then
        options=(-pkcs12 "${!pkcs12}")
    elif [ -n "${!cert:-}${!key:-}" ]; then
        [ -n "${!cert:-}" ] && [ -n "${!key:-}" ] || fail "$cert and $key are given together or not at all."
        options=(-certs "${!cert}" -key "${!key}")
    else
        return 1
    fi
    if [ -n "${!file:-}" ]; then
        options+=(-readpass "${!file}")
    elif [ -n "${!password:-}" ]; then
        options+=(-readpass /dev/stdin)
    fi
}

# One signature of IN, written to OUT: sign_with PREFIX DIGEST IN OUT [OPTION...]
sign_with() {
    local prefix=$1 digest=$2 in=$3 out=$4 password=${1}PASSWORD
    shift 4
    key_options "$prefix"
    osslsigncode sign "${options[@]}" "$@" -h "$digest" -in "$in" -out "$out" >/dev/null \
        < <(printf '%s' "${!password:-}")
}

rm -f "$signed"
if ! key_options ZARVO_SIGN_; then
    ! key_options ZARVO_SIGN_SHA1_ ||
        fail "a SHA-1 certificate signs only beside a SHA-256 one (ZARVO_SIGN_PKCS12, or ZARVO_SIGN_CERT and ZARVO_SIGN_KEY)."
    echo "$(basename "$unsigned") is unsigned: no code-signing certificate was given (ZARVO_SIGN_PKCS12, or ZARVO_SIGN_CERT and ZARVO_SIGN_KEY)."
    exit 0
fi
dual=false
key_options ZARVO_SIGN_SHA1_ && dual=true
stamps=${ZARVO_SIGN_TIMESTAMP_URL:+rfc3161}${ZARVO_SIGN_SHA1_TIMESTAMP_URL:+legacy}
if $dual; then
    [ "$stamps" = "" ] || [ "$stamps" = rfc3161legacy ] ||
        fail "with the SHA-1 certificate, ZARVO_SIGN_TIMESTAMP_URL and ZARVO_SIGN_SHA1_TIMESTAMP_URL are given together or not at all."
else
    [ -z "${ZARVO_SIGN_SHA1_TIMESTAMP_URL:-}" ] ||
        fail "ZARVO_SIGN_SHA1_TIMESTAMP_URL time-stamps the SHA-1 signature, and no SHA-1 certificate was given."
fi
rfc3161=()
[ -n "${ZARVO_SIGN_TIMESTAMP_URL:-}" ] && rfc3161=(-ts "$ZARVO_SIGN_TIMESTAMP_URL")
legacy=()
[ -n "${ZARVO_SIGN_SHA1_TIMESTAMP_URL:-}" ] && legacy=(-t "$ZARVO_SIGN_SHA1_TIMESTAMP_URL")

mkdir -p "$(dirname "$signed")"
# Written aside first, so that a failed signing leaves no signed file behind.
trap 'rm -f "$signed.sha1" "$signed.part"' EXIT
if $dual; then
    sign_with ZARVO_SIGN_SHA1_ sha1 "$unsigned" "$signed.sha1" "${legacy[@]}" ||
        fail "osslsigncode could not sign $unsigned with the SHA-1 certificate."
    sign_with ZARVO_SIGN_ sha256 "$signed.sha1" "$signed.part" -nest "${rfc3161[@]}" ||
        fail "osslsigncode could not add the SHA-256 signature to $unsigned."
    kind="SHA-1 with SHA-256 nested${stamps:+, both time-stamped}"
else
    sign_with ZARVO_SIGN_ sha256 "$unsigned" "$signed.part" "${rfc3161[@]}" || fail "osslsigncode could not sign $unsigned."
    kind="SHA-256${stamps:+, time-stamped}"
fi
mv "$signed.part" "$signed"
echo "Signed $signed (Authenticode, $kind)."
