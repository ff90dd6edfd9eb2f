#!/usr/bin/env bash
# Signs FILE (an exe or an msi) in place with osslsigncode when a certificate
# is given: CZASOMIR_SIGN_PFX (a PKCS#12 file) and CZASOMIR_SIGN_PASSWORD; a
# time-stamp server in CZASOMIR_SIGN_TIMESTAMP when wanted. Without the
# certificate it does nothing.
#   bash tools/sign.sh FILE
set -euo pipefail
file=$1
[ -n "${CZASOMIR_SIGN_PFX:-}" ] || exit 0
# The password goes through a file descriptor, never the command line.
args=(sign -pkcs12 "$CZASOMIR_SIGN_PFX" -readpass /dev/stdin -n Czasomir -h sha256)
[ -z "${CZASOMIR_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$CZASOMIR_SIGN_TIMESTAMP")
printf '%s' "${CZASOMIR_SIGN_PASSWORD:-}" | osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv -f "$file.signed" "$file"
