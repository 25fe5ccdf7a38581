#!/usr/bin/env bash
# Signs the installer with Authenticode, SHA-256, when the builder hands the
# build a code-signing certificate; nothing of it lives in the repository.
#   ZARVO_SIGN_PKCS12         the certificate with its key, as a PKCS#12 file, or
#   ZARVO_SIGN_CERT           the certificate (and its chain) as PEM, with
#   ZARVO_SIGN_KEY            its key as PEM;
#   ZARVO_SIGN_PASSWORD_FILE  a file holding the key's password, or
#   ZARVO_SIGN_PASSWORD       the password itself;
#   ZARVO_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server, if wanted.
# Usage: sign.sh UNSIGNED SIGNED. Without a certificate SIGNED is removed, so
# that no signed file of an older build is left, and one line says so.
set -euo pipefail
unsigned=$1
signed=$2

rm -f "$signed"
if [ -n "${ZARVO_SIGN_PKCS12:-}" ]; then
    options=(-pkcs12 "$ZARVO_SIGN_PKCS12")
elif [ -n "${ZARVO_SIGN_CERT:-}${ZARVO_SIGN_KEY:-}" ]; then
    if [ -z "${ZARVO_SIGN_CERT:-}" ] || [ -z "${ZARVO_SIGN_KEY:-}" ]; then
        echo "sign: ZARVO_SIGN_CERT and ZARVO_SIGN_KEY are given together or not at all." >&2
        exit 1
    fi
    options=(-certs "$ZARVO_SIGN_CERT" -key "$ZARVO_SIGN_KEY")
else
    echo "$(basename "$unsigned") is unsigned: no code-signing certificate was given (ZARVO_SIGN_PKCS12, or ZARVO_SIGN_CERT and ZARVO_SIGN_KEY)."
    exit 0
fi
# The password never goes on a command line, where other users and build logs
# could see it: osslsigncode reads it from its file or from standard input.
if [ -n "${ZARVO_SIGN_PASSWORD_FILE:-}" ]; then
    options+=(-readpass "$ZARVO_SIGN_PASSWORD_FILE")
elif [ -n "${ZARVO_SIGN_PASSWORD:-}" ]; then
    options+=(-readpass /dev/stdin)
fi
[ -n "${ZARVO_SIGN_TIMESTAMP_URL:-}" ] && options+=(-ts "$ZARVO_SIGN_TIMESTAMP_URL")

mkdir -p "$(dirname "$signed")"
# Written aside first, so that a failed signing leaves no signed file behind.
if ! osslsigncode sign "${options[@]}" -h sha256 -in "$unsigned" -out "$signed.part" >/dev/null \
    < <(printf '%s' "${ZARVO_SIGN_PASSWORD:-}"); then
    rm -f "$signed.part"
    echo "sign: osslsigncode could not sign $unsigned." >&2
    exit 1
fi
mv "$signed.part" "$signed"
echo "Signed $signed (Authenticode, SHA-256${ZARVO_SIGN_TIMESTAMP_URL:+, time-stamped})."
