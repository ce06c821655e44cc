#!/bin/sh
# A throwaway certificate authority and a code-signing certificate it issued, as a publisher
# would hold them, and a second authority that issued nothing of ours:
#   ca.pem, ca.der       the authority (DER for the Windows certificate store)
#   other-ca.pem         the other authority
#   signer.p12           the signing certificate with its key, protected by the password in
#   password             (made here, random; never on a command line)
# Usage: make_certificates.sh FOLDER
set -eu
out=$1
rm -rf "$out"
mkdir -p "$out"
cd "$out"
umask 077
openssl rand -hex 16 >password
subject() { printf '/O=ZNImportPhotos test/CN=%s' "$1"; }
authority() {
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 30 -subj "$(subject "$2")" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
authority ca "Test signing authority"
authority other-ca "Another authority"
openssl x509 -in ca.pem -outform der -out ca.der
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "$(subject "Test publisher")" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -extfile signer.ext \
    -out signer.pem 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 -passout file:password
rm -f signer.key signer.csr signer.ext ca.key other-ca.key ca.srl
