#!/usr/bin/env bash
# The release's signing with a throw-away self-signed certificate: every program of the zip and the setup
# verifies against it, the uninstaller inside the setup was signed, a file changed after signing does not
# verify, and a release made without a certificate says that it is unsigned.
# Usage: signing.sh SOURCE_DIR INSTALL_FOLDER ICON
set -euo pipefail
root=$1 install_folder=$2 icon=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out certificate.pem -days 2 \
  -subj "/CN=Velmora test signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
VELMORA_SIGN_PASSWORD=$(openssl rand -hex 16)
export VELMORA_SIGN_PASSWORD
openssl pkcs12 -export -in certificate.pem -inkey key.pem -out signing.pfx -passout env:VELMORA_SIGN_PASSWORD
export VELMORA_SIGN_PFX="$work/signing.pfx"

verifies() { osslsigncode verify -CAfile "$work/certificate.pem" -in "$1" >/dev/null 2>&1; }

"$root/scripts/package" "$install_folder" 1.2.3.4 "$icon" signed >signed.log 2>&1 || { cat signed.log; fail "signed release"; }
# Twelve games, the launcher, the uninstaller and the setup.
[ "$(grep -c '^sign: signed and verified' signed.log)" -eq 15 ] || { cat signed.log; fail "not 15 files signed"; }
grep -q UNSIGNED signed.log && fail "a signed release says it is unsigned"
mkdir zip && (cd zip && cmake -E tar xf ../signed/Velmora-1.2.3.4-portable.zip)
programs=(signed/Velmora-1.2.3.4-setup.exe zip/Velmora-1.2.3.4/Velmora.exe zip/Velmora-1.2.3.4/*/*.exe)
[ "${#programs[@]}" -eq 14 ] || fail "expected 14 programs, found ${#programs[@]}"
for program in "${programs[@]}"; do
  verifies "$program" || fail "$program does not verify"
done

# One byte changed in the code of a signed launcher.
cp zip/Velmora-1.2.3.4/Velmora.exe changed.exe
printf 'X' | dd of=changed.exe bs=1 seek=4096 conv=notrunc 2>/dev/null
cmp -s changed.exe zip/Velmora-1.2.3.4/Velmora.exe && fail "the byte did not change"
verifies changed.exe && fail "a changed file still verifies"

env -u VELMORA_SIGN_PFX -u VELMORA_SIGN_PASSWORD \
  "$root/scripts/package" "$install_folder" 1.2.3.4 "$icon" unsigned >unsigned.log 2>&1 || { cat unsigned.log; fail "unsigned release"; }
grep -q '^release: UNSIGNED' unsigned.log || fail "an unsigned release does not say so"
verifies unsigned/Velmora-1.2.3.4-setup.exe && fail "the unsigned setup carries a signature"
echo "signing: 14 programs verify, the uninstaller was signed, a changed file does not verify"
